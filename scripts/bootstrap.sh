#!/bin/bash
# Installs everything a fresh Debian 12 machine lacks to build and test
# Vistrel, then cross-builds the third-party libraries. Idempotent: a second
# run does nothing but check. Run as root.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"

packages=(
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-tools libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils file
  cmake autoconf automake libtool pkg-config dpkg-dev make
  googletest clang libclang-rt-14-dev
  imagemagick ffmpeg dvdauthor vcdimager zip unzip
  libdvdread-dev
  zlib1g-dev p7zip-full fp-utils libxml2-utils ghostscript chromium
  tinyproxy microsocks dante-server
  libpng-dev libjpeg62-turbo-dev netpbm
)

# A list that fails to download (a mirror in the middle of a sync) is tried
# again; when it still fails, the lists apt has are used.
apt_update() {
  local i
  for i in 1 2 3; do
    apt-get update -qq && return 0
    sleep 10
  done
  echo "bootstrap: some package lists could not be refreshed; going on with the rest" >&2
}
export -f apt_update

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "bootstrap: missing packages (${missing[*]}); run as root" >&2
    exit 1
  fi
  echo "bootstrap: installing ${missing[*]}"
  apt_update
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The 32-bit Wine only helps where this machine can execute 32-bit code; its
# packages need the i386 lists to match the amd64 ones, which a mirror in the
# middle of a sync can break, so it is installed when it can be.
# One try per machine: the stamp keeps later runs from asking again.
tried32=/opt/vistrel-deps/.wine32-tried
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' &&
   [ ! -e "$tried32" ] && [ "$(id -u)" = 0 ]; then
  mkdir -p "$(dirname "$tried32")" && touch "$tried32"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt_update
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine32:i386 >/dev/null ||
    echo "bootstrap: wine32:i386 could not be installed; the 64-bit build runs instead" >&2
fi

"$here/build-deps.sh" i686
"$here/build-deps.sh" x86_64
# The threads library of the i686 deliverables, built for Windows XP; it
# needs the source entries that build-deps.sh sets up.
"$here/build-winpthreads.sh"
