# Cross-building for Windows with Debian's MinGW-w64 compilers. VARNEL_MINGW_ARCH
# (x86_64 or i686) picks the compiler; the presets set it.
if(NOT VARNEL_MINGW_ARCH)
  set(VARNEL_MINGW_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VARNEL_MINGW_ARCH})

set(CMAKE_C_COMPILER ${VARNEL_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNEL_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${VARNEL_MINGW_ARCH}-w64-mingw32-windres)

# One static exe per program: no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_FIND_ROOT_PATH /usr/${VARNEL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Programs built here run under Wine, in a prefix of the build's own, with the loader
# of their architecture.
set(VARNEL_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh" "${CMAKE_BINARY_DIR}/wineprefix" ${VARNEL_MINGW_ARCH})
set(CMAKE_CROSSCOMPILING_EMULATOR "${VARNEL_WINE_RUN}")
