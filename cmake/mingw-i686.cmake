# Cross build of the 32-bit Windows deliverables (mingw-w64, posix threads).
set(VISTREL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# The toolchain's static winpthreads was built for Windows Vista and later
# (its waits import GetTickCount64); scripts/build-winpthreads.sh builds one
# for XP, which the project links ahead of it (CMakeLists.txt).
set(VISTREL_WINPTHREADS_PREFIX /opt/vistrel-deps/winpthreads-i686)
