# CMake toolchain: Windows x86_64 with Debian 12's mingw-w64 GCC 12, posix thread model
# (g++-mingw-w64-x86-64-posix). scripts/windows builds Jotlark with it.
#
# A Qt built for the target is found through CMAKE_PREFIX_PATH / QT_MINGW_PREFIX:
#   cmake -DCMAKE_TOOLCHAIN_FILE=this-file -DQT_MINGW_PREFIX=/opt/qt6-mingw -DQT_HOST_PATH=/usr ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_SYSTEM_VERSION 10)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${_triple}-windres)
set(CMAKE_AR           /usr/bin/${_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${_triple}-ranlib CACHE FILEPATH "")

# Target headers and libraries only from the mingw sysroot (and the target Qt);
# programs (moc, rcc, ...) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
if(DEFINED QT_MINGW_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${QT_MINGW_PREFIX})
  list(APPEND CMAKE_PREFIX_PATH ${QT_MINGW_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -DMINGW_USE_WINE=ON: ctest runs the test .exe files through Wine, by way of
# scripts/wine-run.sh, which hands the QT_* variables on.
if(MINGW_USE_WINE)
  find_program(_wine NAMES wine REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
