# Cross-compiling for 64-bit Windows with Debian's MinGW-w64
# (scripts/build-windows.sh and scripts/windows-deps.sh use it). The compilers
# are the posix-threads flavour: the default names are the win32 one, which
# has no std::thread. Libraries, headers and packages come only from the find
# root, which the caller sets to the dependency prefix (not the MinGW packages
# this machine may have); programs (swig, python) from this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
