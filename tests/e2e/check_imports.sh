#!/bin/sh
# The Windows executables must run on a bare Windows: they may import only DLLs that
# come with the system, never the mingw runtime (libstdc++, libgcc, winpthread).
# usage: check_imports.sh EXE...
set -eu
OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}
# Compared in upper case.
ALLOWED="KERNEL32.DLL USER32.DLL GDI32.DLL WINMM.DLL SHELL32.DLL IMM32.DLL OLE32.DLL MSVCRT.DLL ADVAPI32.DLL COMDLG32.DLL"
status=0
for exe in "$@"; do
    dlls=$("$OBJDUMP" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
    if [ -z "$dlls" ]; then
        echo "FAIL $exe: no import table found"
        status=1
        continue
    fi
    for dll in $dlls; do
        upper=$(echo "$dll" | tr '[:lower:]' '[:upper:]')
        case " $ALLOWED " in
            *" $upper "*) ;;
            *)
                echo "FAIL $exe imports $dll"
                status=1
                ;;
        esac
    done
    echo "$(basename "$exe") imports: $(echo $dlls)"
done
exit $status
