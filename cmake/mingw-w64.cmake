# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (g++-mingw-w64-x86-64).
# Programs are linked statically, the C and C++ runtimes included, so that they need no DLL
# beside them. Tests run under wine (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUIL_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix thread model gives the C++ standard library its threads and mutexes.
set(CMAKE_C_COMPILER ${QUIL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUIL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUIL_MINGW_TRIPLE}-windres)

# Headers and libraries of the target only; programs of the build machine.
# QUIL_DEPS: the folder where scripts/build-windows.sh installs libxml2 and GoogleTest.
set(CMAKE_FIND_ROOT_PATH /usr/${QUIL_MINGW_TRIPLE} ${QUIL_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Without wine's debugging chatter, and without asking for the .NET and HTML engines that
# console programs never use.
find_program(QUIL_WINE NAMES wine wine64)
if(QUIL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
                                    ${QUIL_WINE})
endif()
