// Redirects one function this exe imports, for as long as the patch lives. A test links the
// program into its own exe, so every call the program makes to Windows reads the exe's import
// address table: changing an entry there changes what the program calls, and nothing else
// (Windows' own DLLs call each other directly).
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

class ImportPatch {
 public:
  ImportPatch(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    // IMAGE_NT_HEADERS and IMAGE_THUNK_DATA have the width of the exe being built.
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    // Without its lookup table an import names nothing: the address table holds only addresses.
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imports && d->Name; ++d) {
      if (!d->OriginalFirstThunk || _stricmp(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
      auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
      for (auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
           name->u1.AddressOfData; ++name, ++slot) {
        const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
        if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) && std::strcmp(byName->Name, function) == 0)
          slots_.push_back(&slot->u1.Function);
      }
    }
    if (slots_.empty()) return;
    original_ = reinterpret_cast<void*>(*slots_.front());
    Write(replacement);
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;
  ~ImportPatch() {
    if (original_) Write(original_);
  }

  // What the import led to before; nullptr when the exe doesn't import it.
  void* original() const { return original_; }

 private:
  using Slot = decltype(IMAGE_THUNK_DATA{}.u1.Function);

  void Write(void* target) {
    for (Slot* slot : slots_) {
      DWORD was = 0;
      VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was);
      *slot = reinterpret_cast<Slot>(target);
      VirtualProtect(slot, sizeof *slot, was, &was);
    }
  }

  std::vector<Slot*> slots_;
  void* original_ = nullptr;
};
