#!/bin/bash
# The test command: installs whatever is missing, builds the Windows build and
# the host build, and runs every test of both under one CTest run.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
jobs=$(nproc)

if [ "$(id -u)" = 0 ]; then
  "$root/scripts/bootstrap.sh" || exit 1
else
  sudo "$root/scripts/bootstrap.sh" || exit 1
fi

# Host build: portable code under AddressSanitizer and UBSan, fuzz targets.
CC=clang CXX=clang++ cmake -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
cmake --build "$build/host" -j"$jobs" || exit 1

# The store's stress test under ThreadSanitizer, in a build of its own.
CC=clang CXX=clang++ cmake -S "$root" -B "$build/tsan" -DCMAKE_BUILD_TYPE=Debug \
  -DVISTREL_SANITIZERS=OFF -DVISTREL_TSAN=ON >/dev/null || exit 1
cmake --build "$build/tsan" -j"$jobs" --target collection_stress || exit 1

# Windows builds: the 32-bit deliverables, and the same sources for 64-bit
# Windows with the tests, which run under 64-bit Wine (not every machine can
# execute 32-bit code); the checks of the payload and the import tables read
# the 32-bit build's files as well.
cmake -S "$root" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVISTREL_TESTS=OFF >/dev/null || exit 1
cmake --build "$build/win32" -j"$jobs" || exit 1
cmake -S "$root" -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Debug -DVISTREL_WIN32_BUILD="$build/win32" >/dev/null || exit 1
cmake --build "$build/win64" -j"$jobs" || exit 1

# A display of our own, and one persistent wineserver for the whole run.
source "$root/scripts/wine-env.sh"
wine_env_start "$build" || exit 1
trap wine_env_stop EXIT

printf 'subdirs("host" "tsan" "win64")\n' > "$build/CTestTestfile.cmake"
ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout 600
