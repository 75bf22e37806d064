#!/bin/sh
# Checks a built format plug-in without running it: the five exports are
# in its export table under their plain names, and in a 32-bit module the
# standard-call ones clean their arguments (ret 16 / ret 4) while the C-call
# ones leave them to the caller (plain ret).
# Usage: check_exports.sh <objdump> <dll> <pointer size>
objdump="$1" dll="$2" pointer="$3"
status=0

exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
for name in Version PluginDesc PluginFormats ReadFromFile FreeFormat; do
  if ! printf '%s\n' "$exports" | grep -q "\] $name\$"; then
    echo "export $name missing or decorated"
    status=1
  fi
done

if [ "$pointer" = 4 ]; then
  code=$("$objdump" -d --no-show-raw-insn "$dll")
  check_ret() {
    found=$(printf '%s\n' "$code" | awk -v sym="<$1>:" '
      $2 == sym { inside = 1; next }
      inside && /\tret/ { sub(/.*\tret */, ""); print "ret " $0; exit }')
    if [ "$found" != "$2" ]; then
      echo "$1 ends in '$found', expected '$2'"
      status=1
    fi
  }
  check_ret _Version "ret "
  check_ret _PluginDesc "ret "
  check_ret _PluginFormats "ret "
  check_ret _ReadFromFile@16 'ret $0x10'
  check_ret _FreeFormat@4 'ret $0x4'
fi

[ $status = 0 ] && echo "exports and calling conventions as expected"
exit $status
