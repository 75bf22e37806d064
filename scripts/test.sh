#!/bin/bash
# The test command: installs whatever is missing, builds the Windows builds and
# the host builds, and runs every test of them under one CTest run. Where this
# machine can execute 32-bit code, the Windows tests run from an i686 build
# too; the builds' outputs of float arithmetic are compared at the end.
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

# The x87 build: the test programs whose code does float arithmetic, built by
# GCC with the i686 programs' x87 arithmetic (a check of that class where
# i686 code cannot run).
CC=gcc CXX=g++ cmake -S "$root" -B "$build/x87" -DCMAKE_BUILD_TYPE=Release \
  -DVISTREL_SANITIZERS=OFF -DVISTREL_X87=ON >/dev/null || exit 1
cmake --build "$build/x87" -j"$jobs" --target x87_tests || exit 1

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

# The i686 test programs, Release like the deliverables, where this machine
# runs 32-bit code; they run under Wine beside the x86_64 ones.
builds=(host tsan x87 win64)
compared=("host=$build/host/compare-out" "x87=$build/x87/compare-out" "x86_64=$build/win64/compare-out")
if why=$("$root/cmake/can-run-32bit.sh" -v); then
  cmake -S "$root" -B "$build/win32-tests" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVISTREL_WIN32_BUILD="$build/win32" >/dev/null || exit 1
  cmake --build "$build/win32-tests" -j"$jobs" || exit 1
  builds+=(win32-tests)
  compared+=("i686=$build/win32-tests/compare-out")
else
  echo "test: the i686 tests are skipped: $why"
  compared=(-s i686 "$why" "${compared[@]}")
fi

# A display of our own, and one persistent wineserver for the whole run.
source "$root/scripts/wine-env.sh"
wine_env_start "$build" || exit 1
trap wine_env_stop EXIT
if [[ " ${builds[*]} " == *" win32-tests "* ]]; then
  wine_env_add_prefix32 "$build/wineprefix-i686" || exit 1
fi

# The builds' tests, and the comparison of their outputs once each build has
# written them (the compare_outputs fixture).
{
  printf 'subdirs('; printf ' "%s"' "${builds[@]}"; printf ')\n'
  printf 'add_test(compare_builds "sh" "%s"' "$root/tests/compare/compare.sh"
  printf ' "%s"' "${compared[@]}"; printf ')\n'
  printf 'set_tests_properties(compare_builds PROPERTIES FIXTURES_REQUIRED "compare_outputs")\n'
} > "$build/CTestTestfile.cmake"
ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout 600
