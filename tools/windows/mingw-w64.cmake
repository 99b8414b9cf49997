# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads:
# Qt's threads and std::thread need them).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVRIN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW_TRIPLET}-windres)

# Libraries and headers come from the mingw sysroot and from Qt for Windows
# (added to CMAKE_PREFIX_PATH by whoever configures); programs that run
# during the build (moc, rcc, uic) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
