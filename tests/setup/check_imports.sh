#!/bin/sh
# Reads the import table of every deliverable of each build, and of every
# program and DLL in its installer's payload: each DLL imported must be part
# of Windows as it comes (from XP on) or be shipped beside the importer.
# The 32-bit files must start on Windows XP SP3 too: each function they
# import from Windows, by name or by ordinal, must be one that xp_imports.txt
# beside this script allows; their headers may ask for no Windows above 5.1;
# and comctl32's subclassing functions, which XP's comctl32 5.82 exports by
# ordinal only, may be imported by name only by a file whose manifest asks
# for Common Controls 6.0.
# Usage: check_imports.sh <objdump> <build folder>...
objdump=$1
shift
allowed=$(cd "$(dirname "$0")" && pwd)/xp_imports.txt
windows=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll comctl32.dll comdlg32.dll
 ole32.dll oleaut32.dll ws2_32.dll msvcrt.dll msacm32.dll msvfw32.dll winspool.drv "
status=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Status 0 when the file carries a manifest that asks for Common Controls 6.0
# (read as bytes: dropping the zeros reads a UTF-16 manifest too, and an
# element may span lines).
wants_common_controls_6() {
    tr -d '\000' < "$1" | tr '\r\n\t' '   ' | grep -a -o '<assemblyIdentity[^>]*>' |
        grep 'Microsoft\.Windows\.Common-Controls' | grep -Eq "version=[\"']6\."
}

# check_xp <objdump -p output> <shown name> <1 when a manifest asks for
# Common Controls 6.0>: the Windows XP SP3 rules on a 32-bit file.
check_xp() {
    printf '%s\n' "$1" | awk -v shown="$2" -v cc6="$3" -v windows="$windows" -v list="$allowed" '
        BEGIN {
            gsub(/[ \t\n]+/, " ", windows)
            while ((getline line < list) > 0) {
                if (line ~ /^[ \t]*(#|$)/)
                    continue
                if (split(line, f) >= 3)
                    since[tolower(f[1]) " " f[2]] = f[3]
            }
        }
        /^(Major|Minor)(OSystem|Subsystem)Version[ \t]/ { version[$1] = $2 + 0 }
        /^[ \t]*DLL Name: / {
            dll = tolower($3)
            if (index(windows, " " dll " ") == 0)
                dll = ""   # not part of Windows: the DLL check covers it
            next
        }
        /^[ \t]*$/ { dll = ""; next }
        dll != "" && /^\t[0-9a-fA-F]+\t/ {
            import = $3 == "<none>" ? "#" $2 : $3
            s = since[dll " " import]
            if (s ~ /^(2000|XP|XPSP[123])$/ || (s == "CC6" && cc6 == 1))
                next
            bad = 1
            if (s == "")
                print shown " imports " import " from " dll ", which tests/setup/xp_imports.txt does not list: check its documented minimum client and add it"
            else if (s == "CC6")
                print shown " imports " import " from " dll " by name, which Windows XP'"'"'s comctl32 5.82 exports by ordinal only, and carries no manifest asking for Common Controls 6.0"
            else
                print shown " imports " import " from " dll ", which Windows XP SP3'"'"'s " dll " does not export (it came with Windows " s ")"
            next
        }
        END {
            split("OSystem Subsystem", kinds, " ")
            for (i = 1; i <= 2; i++) {
                major = version["Major" kinds[i] "Version"]
                minor = version["Minor" kinds[i] "Version"]
                if (major > 5 || (major == 5 && minor > 1)) {
                    print shown ": its header asks for " (i == 1 ? "operating system" : "subsystem") " version " major "." minor ", above Windows XP'"'"'s 5.1"
                    bad = 1
                }
            }
            exit bad
        }'
}

# Every line of the list names a DLL, a function and its minimum client.
if ! awk '!/^[ \t]*(#|$)/ && NF < 3 { print "tests/setup/xp_imports.txt: not a line of DLL, function and minimum client: " $0; bad = 1 }
          END { exit bad }' "$allowed"; then
    status=1
fi

# check <file> <shown name> <folder of the files shipped beside it, or "">
check() {
    if ! table=$("$objdump" -p "$1" 2>&1); then
        echo "$2: not readable: $table"
        status=1
        return
    fi
    for dll in $(printf '%s\n' "$table" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
        case "$windows" in *[[:space:]]"$dll"[[:space:]]*) continue ;; esac
        if [ -n "$3" ] && ls "$3" | tr 'A-Z' 'a-z' | grep -qxF "$dll"; then
            continue
        fi
        echo "$2 imports $dll, neither part of Windows nor shipped beside it"
        status=1
    done
    case "$table" in
        *"file format pei-i386"*)
            cc6=0
            wants_common_controls_6 "$1" && cc6=1
            check_xp "$table" "$2" $cc6 || status=1
            xp_files=$((xp_files + 1)) ;;
    esac
}

for build in "$@"; do
    payload=$work/$(basename "$build")
    if ! unzip -qo "$build/setup/payload.zip" -d "$payload"; then
        echo "$build: no payload to read"
        status=1
        continue
    fi
    xp_files=0
    # The installer stands alone; the others are installed from the payload.
    check "$build/setup/setup-vistrel.exe" "$build/setup/setup-vistrel.exe" ""
    check "$build/app/vistrel.exe" "$build/app/vistrel.exe" "$payload"
    for file in plugins/dvdtitles.dll plugins/mediadetect.dll plugins/streamheader.dll \
                plugins/toolbridge/toolbridge.dll tools/vidscan/vidscan.exe; do
        check "$build/$file" "$build/$file" "$payload/plugins"
    done
    count=0
    for file in $(cd "$payload" && find . -type f | sed 's|^\./||'); do
        [ "$(head -c 2 "$payload/$file")" = MZ ] || continue
        check "$payload/$file" "$build payload: $file" "$(dirname "$payload/$file")"
        count=$((count + 1))
    done
    echo "$build: 7 deliverables and $count programs and DLLs of the payload read;" \
         "$xp_files 32-bit files held to Windows XP SP3"
done
exit $status
