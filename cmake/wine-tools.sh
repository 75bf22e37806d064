# Sourced by the scripts that run Wine: picks its loaders and its server
# wherever this Wine installs them.
#   WINE_LOADER64  the loader of 64-bit programs ("" when not installed)
#   WINE_LOADER32  the loader of 32-bit programs ("" when not installed)
#   WINE_SERVER    the server of the prefixes the scripts make: the 64-bit
#                  one where the 64-bit loader is there (its prefixes run
#                  32-bit programs too, given the 32-bit loader), else the
#                  32-bit one
#   WINE_LOADER    the loader that makes those prefixes
# wine_loader_for FILE prints the loader of a Windows program (by its header).

wine_first_of() {
    for candidate in "$@"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ] && [ ! -d "$candidate" ]; then
            printf '%s\n' "$candidate"
            return 0
        fi
    done
    return 1
}

# The distribution keeps the real loaders in /usr/lib/wine (its "wine" on the
# path is a script that prefers the 32-bit loader, or takes the 64-bit one
# when the other is missing); Wine's own packages keep them in /opt.
WINE_LOADER64=$(wine_first_of /usr/lib/wine/wine64 /opt/wine-stable/bin/wine64 \
    "$(command -v wine64 2>/dev/null)") || WINE_LOADER64=
WINE_LOADER32=$(wine_first_of /usr/lib/wine/wine /opt/wine-stable/bin/wine) || WINE_LOADER32=
if [ -n "$WINE_LOADER64" ]; then
    WINE_LOADER=$WINE_LOADER64
    WINE_SERVER=$(wine_first_of "$(dirname "$WINE_LOADER64")/wineserver64" \
        "$(dirname "$WINE_LOADER64")/wineserver" "$(command -v wineserver 2>/dev/null)") || WINE_SERVER=wineserver
else
    WINE_LOADER=${WINE_LOADER32:-wine}
    WINE_SERVER=$(wine_first_of "$(dirname "$WINE_LOADER")/wineserver32" \
        "$(dirname "$WINE_LOADER")/wineserver" "$(command -v wineserver 2>/dev/null)") || WINE_SERVER=wineserver
fi

wine_loader_for() {
    case "$(file -b "$1" 2>/dev/null)" in
        *"PE32+"*) printf '%s\n' "${WINE_LOADER64:-$WINE_LOADER}" ;;
        *"PE32"*) printf '%s\n' "${WINE_LOADER32:-$WINE_LOADER}" ;;
        *) printf '%s\n' "$WINE_LOADER" ;;
    esac
}
