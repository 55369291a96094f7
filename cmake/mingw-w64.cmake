# Cross-compiling pbrain-velmor.exe for 64-bit Windows with Debian's mingw-w64
# (package g++-mingw-w64-x86-64-posix). The posix flavour provides std::thread
# and std::mutex; the top-level CMakeLists links the runtime statically, so the
# .exe runs on its own in a manager's folder.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# A thread started with default attributes gets the stack size written in the
# executable; ask for the 8 MB that Linux gives, since the searches recurse
# with whole board copies on the stack.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--stack,8388608")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
