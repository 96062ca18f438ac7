# Cross build of korvane.exe for 64-bit Windows with Debian's mingw-w64
# (posix threads), tested under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANE_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained executable: the C++ runtime, libgcc and winpthread are
# linked in, so only Windows' own DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Every run of a built program goes through wine (see wine-run.sh).
find_program(KORVANE_WINE NAMES wine64 wine
             PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
find_program(KORVANE_WINESERVER NAMES wineserver64 wineserver
             PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KORVANE_WINE AND KORVANE_WINESERVER)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      /bin/sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${KORVANE_WINE}
      ${KORVANE_WINESERVER} ${CMAKE_BINARY_DIR})
endif()
