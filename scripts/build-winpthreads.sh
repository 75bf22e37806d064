#!/bin/bash
# Cross-builds mingw-w64's winpthreads as a static i686 library for Windows XP
# into a prefix of its own. The toolchain's copy was built for Windows Vista
# and later: its waits (behind std::mutex, the semaphores and
# pthread_delay_np) import GetTickCount64, which XP's kernel32 lacks, so no
# deliverable linked with it would start there. The i686 toolchain file links
# this build ahead of the toolchain's. Skips the work when the prefix is
# already complete. Needs the source entries that build-deps.sh sets up.
set -euo pipefail

prefix=/opt/vistrel-deps/winpthreads-i686
work=/opt/vistrel-deps/src-winpthreads-i686
host=i686-w64-mingw32

# The source of the toolchain's own runtime, so that the library matches the
# headers the compiler uses.
version="$(dpkg-query -W -f='${source:Version}' mingw-w64-i686-dev)"
stamp="$prefix/.complete"
want="$(echo "mingw-w64=$version"; sha1sum < "$0")"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
  exit 0
fi

echo "build-winpthreads: cross-building winpthreads $version into $prefix"
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
log="$work/build.log"
trap 'echo "build-winpthreads: failed; see $log" >&2' ERR
cd "$work"
apt-get source --download-only -qq "mingw-w64=$version" >>"$log" 2>&1
dpkg-source --no-check -x ./*.dsc src >>"$log" 2>&1

# _WIN32_WINNT 0x0501 (XP) keeps the Vista-only calls out; the rest as
# Debian builds it.
mkdir -p build
cd build
"$work/src/mingw-w64-libraries/winpthreads/configure" --host=$host \
  --disable-shared --enable-static --prefix="$prefix" \
  CC=$host-gcc-posix CFLAGS="-O2 -D_WIN32_WINNT=0x0501 -DWINVER=0x0501" >>"$log" 2>&1
make -j"$(nproc)" >>"$log" 2>&1
make install >>"$log" 2>&1
if $host-nm -u "$prefix/lib/libpthread.a" | grep -q GetTickCount64; then
  echo "build-winpthreads: the library still calls GetTickCount64" >&2
  exit 1
fi
# The source tree is large; the log stays.
cd "$work"
rm -rf src build ./*.tar.* ./*.dsc

echo "$want" > "$stamp"
echo "build-winpthreads: done"
