#!/bin/sh
# Exit status 0 when the 32-bit Wine loader runs here. Some virtual machines'
# kernels refuse 32-bit x86 programs altogether.
[ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
