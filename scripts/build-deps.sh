#!/bin/bash
# Cross-builds libpng, libjpeg-turbo (jpeg62 API), libdvdread and libdvdnav
# from Debian's source packages as static i686 Windows libraries into a prefix
# outside the work tree. Skips the work when the prefix is already complete.
set -euo pipefail

# The i686 libraries go into the deliverables; the x86_64 ones into the
# 64-bit build that runs the Windows tests where 32-bit code can't run.
arch="${1:-i686}"
case "$arch" in
  i686|x86_64) ;;
  *) echo "build-deps: unknown architecture $arch" >&2; exit 2 ;;
esac
prefix="/opt/vistrel-deps/$arch"
work="/opt/vistrel-deps/src-$arch"
host=$arch-w64-mingw32
here="$(cd "$(dirname "$0")" && pwd)"
toolchain="$here/../cmake/mingw-$arch.cmake"

# name=version pairs, pinned to the main archive.
sources=(
  "libpng1.6=1.6.39-2+deb12u5"
  "libjpeg-turbo=1:2.1.5-2"
  "libdvdread=6.1.3-1"
  "libdvdnav=6.1.1-1"
)
stamp="$prefix/.complete"
want="$(printf '%s\n' "${sources[@]}"; sha1sum < "$0")"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
  exit 0
fi

echo "build-deps: cross-building $arch into $prefix"
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  # Source entries for the archives the machine already uses: its own
  # binary entries with the type changed.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -q '^Types:.*\bdeb\b' "$f" || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" > "/etc/apt/sources.list.d/vistrel-src-$(basename "$f")"
  done
  if grep -qs '^deb ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/vistrel-src.list
  fi
  apt-get update -qq || apt-get update -qq ||
    echo "build-deps: some package lists could not be refreshed; going on" >&2
fi

rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
log="$work/build.log"
trap 'echo "build-deps: failed; see $log" >&2' ERR
cd "$work"
for s in "${sources[@]}"; do
  apt-get source --download-only -qq "$s" >>"$log" 2>&1
done
for dsc in *.dsc; do
  dpkg-source --no-check -x "$dsc" >>"$log" 2>&1
done

jobs=$(nproc)

# libjpeg-turbo: jpeg62 API, static, no TurboJPEG, no SIMD (needs no assembler).
cmake -S "$work"/libjpeg-turbo-2.1.5 -B "$work"/build-jpeg -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF \
  -DWITH_SIMD=OFF -DWITH_JAVA=OFF -DCMAKE_INSTALL_LIBDIR="$prefix/lib" \
  -DCMAKE_INSTALL_INCLUDEDIR="$prefix/include" >>"$log" 2>&1
cmake --build "$work"/build-jpeg -j"$jobs" >>"$log" 2>&1
cmake --install "$work"/build-jpeg >>"$log" 2>&1

# libpng over the cross zlib.
cmake -S "$work"/libpng1.6-1.6.39 -B "$work"/build-png -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DCMAKE_INSTALL_LIBDIR=lib >>"$log" 2>&1
cmake --build "$work"/build-png -j"$jobs" >>"$log" 2>&1
cmake --install "$work"/build-png >>"$log" 2>&1

# libdvdread, then libdvdnav against it.
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
for d in libdvdread-6.1.3 libdvdnav-6.1.1; do
  (
    cd "$work/$d"
    [ -x configure ] || autoreconf -fi >>"$log" 2>&1
    ./configure --host=$host --disable-shared --enable-static --prefix="$prefix" \
      CC=$host-gcc-posix >>"$log" 2>&1
    make -j"$jobs" >>"$log" 2>&1
    make install >>"$log" 2>&1
  )
done

echo "$want" > "$stamp"
echo "build-deps: done"
