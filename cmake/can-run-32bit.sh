#!/bin/sh
# Exit status 0 when the 32-bit Wine loader runs here. Some virtual machines'
# kernels refuse 32-bit x86 programs altogether. With -v, says why not.
. "$(dirname "$0")/wine-tools.sh"
if [ -z "$WINE_LOADER32" ]; then
  [ "${1:-}" = -v ] && echo "the 32-bit Wine loader is not installed"
  exit 1
fi
if ! "$WINE_LOADER32" --version >/dev/null 2>&1; then
  [ "${1:-}" = -v ] && echo "this machine cannot execute 32-bit x86 programs ($WINE_LOADER32 does not start)"
  exit 1
fi
exit 0
