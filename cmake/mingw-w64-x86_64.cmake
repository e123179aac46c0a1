# CMake toolchain file: cross-compile for 64-bit Windows from Debian with MinGW-w64
# (package g++-mingw-w64-x86-64-posix: the "-posix" compilers use the winpthreads
# thread model, which std::thread, std::mutex and Qt need).
#
# Used to build Qt for Windows (scripts/build-qt-windows). The program itself is then
# configured with that Qt's own <prefix>/lib/cmake/Qt6/qt.toolchain.cmake, which chains
# to this file.
#
# Extra find roots (e.g. a Qt for Windows prefix) may be given with
#   -DXELT_WINDOWS_EXTRA_ROOTS="/path/one;/path/two"
# or by appending to CMAKE_FIND_ROOT_PATH after this file is read.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLET}-windres)
# Binutils for the target, so CMake does not pick the host's ar/ranlib/nm/objdump.
find_program(CMAKE_AR      ${MINGW_TRIPLET}-ar)
find_program(CMAKE_RANLIB  ${MINGW_TRIPLET}-ranlib)
find_program(CMAKE_NM      ${MINGW_TRIPLET}-nm)
find_program(CMAKE_OBJDUMP ${MINGW_TRIPLET}-objdump)
find_program(CMAKE_STRIP   ${MINGW_TRIPLET}-strip)

# Search headers, libraries and CMake packages only in the target's roots; programs
# (moc, rcc, ninja, ...) only on the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
if(DEFINED XELT_WINDOWS_EXTRA_ROOTS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${XELT_WINDOWS_EXTRA_ROOTS})
endif()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Pass the extra roots on to try_compile() projects as well.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES XELT_WINDOWS_EXTRA_ROOTS)
