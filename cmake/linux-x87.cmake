# The arithmetic that needs no Windows header, as a 32-bit Linux program
# compiled the way the i686 MinGW compiler compiles the program (its own
# defaults): x87 registers, 80-bit long double, floats rounded only when
# stored. The x86_64 compilers use SSE instead, which rounds differently.
# Its tests run only where the kernel runs no 32-bit code, and so no 32-bit
# Wine either: there under qemu-i386, which tools/setup.sh installs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -march=pentiumpro -mfpmath=387")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=pentiumpro -mfpmath=387")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
find_program(QUIMBARA_QEMU_I386 qemu-i386-static)
if(QUIMBARA_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUIMBARA_QEMU_I386})
endif()
