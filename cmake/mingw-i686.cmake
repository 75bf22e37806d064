# Cross build of the 32-bit Windows deliverables (mingw-w64, posix threads).
set(VISTREL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
