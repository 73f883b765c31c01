# Cross build for 64-bit Windows from Debian, with Debian's mingw-w64 (the
# g++-mingw-w64-x86-64-posix package): `cmake --preset windows`. Programs are
# linked statically, so that each .exe runs on a bare Windows without a DLL
# beside it, and CTest runs them under Wine (cmake/wine-run.sh.in).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FICHELIA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FICHELIA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FICHELIA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${FICHELIA_MINGW}-windres)

# Headers and libraries from the target's tree only, never the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${FICHELIA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# CTest runs the Windows programs under Wine, in a Wine prefix of this build
# folder (made by the first run, in about 8 s).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine-prefix)
