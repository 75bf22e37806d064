# The same sources built for 64-bit Windows. Machines that cannot execute
# 32-bit code run the Windows tests from this build under 64-bit Wine.
set(VISTREL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
