# The same sources as a 64-bit Windows program: tested under 64-bit Wine
# where the machine runs no 32-bit code. It is never shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
