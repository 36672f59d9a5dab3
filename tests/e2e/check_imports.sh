#!/bin/bash
# The Windows executables must run on a bare Windows: they may import only DLLs that
# come with the system, never the mingw runtime (libstdc++, libgcc, winpthread). Each
# executable is read with the objdump of its own architecture.
# usage: check_imports.sh EXE...
set -eu
# shellcheck source=tools/lib/pe.sh
. "$(dirname "$0")/../../tools/lib/pe.sh"
# Compared in upper case.
ALLOWED="KERNEL32.DLL USER32.DLL GDI32.DLL WINMM.DLL SHELL32.DLL IMM32.DLL OLE32.DLL MSVCRT.DLL ADVAPI32.DLL COMDLG32.DLL"
status=0
for exe in "$@"; do
    arch=$(pe_arch "$exe") || { echo "FAIL $exe: not a Windows program"; status=1; continue; }
    dlls=$("$(mingw_triplet "$arch")-objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
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
    echo "$(basename "$exe") ($arch) imports: $(echo $dlls)"
done
exit $status
