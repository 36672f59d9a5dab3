#!/bin/sh
# Installs every Debian package the build and the tests need (Debian bookworm, as root).
# Idempotent and quick: when everything is present it only asks dpkg and returns.
#
# Packages are installed with --no-remove, so nothing already on the machine is taken
# away (wine32 pulls in the i386 architecture, which can otherwise trade packages).
# Both Wines are installed on every machine: which one the tests run is decided by what
# the machine can start (tools/lib/wine.sh), not by what is installed.
set -eu

# libgl1-mesa-dri and xcompmgr make the test screen a desktop's: Mesa's GL drivers, which
# GDK would load if the program let it, and a compositor, which gives windows an alpha
# channel.
PACKAGES="
g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
wine wine32:i386 wine64 libasound2:i386 xvfb xdotool x11-utils imagemagick
fonts-ipafont-gothic fonts-noto-cjk
python3-pil python3-numpy python3-cairo
cmake ninja-build dpkg-dev libjpeg62-turbo-dev libgtest-dev libbenchmark-dev
time clang clang-format libclang-rt-14-dev valgrind nsis zip
libgtk-3-dev libsdl2-dev libx11-dev dbus-daemon gsettings-desktop-schemas
libgl1-mesa-dri xcompmgr
"

if [ "$(id -u)" -ne 0 ]; then
    echo "setup.sh: run as root (it installs Debian packages)" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
# Another apt run on the machine (a second checkout's set-up) is waited for, not failed on.
APT="apt-get -o DPkg::Lock::Timeout=600"
need_update=0

# wine32 lives in the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
fi

# The mingw libjpeg and GoogleTest are built from Debian's source packages
# (tools/build-mingw-deps.sh), which needs a deb-src entry. The system's own
# debian.sources is left untouched: the entry goes into a file of our own, copied from
# the main archive's stanza of the system file.
SRC_LIST=/etc/apt/sources.list.d/sablewick-src.sources
has_deb_src() {
    grep -rqsE '^[[:space:]]*(Types:.*deb-src|deb-src[[:space:]])' \
        /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}
if ! has_deb_src; then
    SYS=/etc/apt/sources.list.d/debian.sources
    if [ -f "$SYS" ]; then
        # The first stanza whose URIs are the main archive (not -security).
        awk '
            BEGIN { RS = ""; FS = "\n" }
            {
                main = 0
                for (i = 1; i <= NF; i++)
                    if ($i ~ /^URIs:/ && $i !~ /security/) main = 1
                if (!main || done) next
                print "# Source packages for building the Windows dependencies (tools/setup.sh)."
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^#/) continue
                    if ($i ~ /^Types:/) print "Types: deb-src"
                    else print $i
                }
                done = 1
            }' "$SYS" >"$SRC_LIST.tmp"
    fi
    if [ ! -s "$SRC_LIST.tmp" ] && [ -f /etc/apt/sources.list ]; then
        # The one-line format: the main archive's "deb" lines, as "deb-src".
        {
            echo "# Source packages for building the Windows dependencies (tools/setup.sh)."
            awk '$1 == "deb" && $0 !~ /security/ { $1 = "deb-src"; print }' /etc/apt/sources.list
        } >"$SRC_LIST.oneline"
        if grep -q '^deb-src' "$SRC_LIST.oneline"; then
            mv "$SRC_LIST.oneline" /etc/apt/sources.list.d/sablewick-src.list.tmp
            rm -f "$SRC_LIST.tmp"
            SRC_LIST=/etc/apt/sources.list.d/sablewick-src.list
        else
            rm -f "$SRC_LIST.oneline"
        fi
    fi
    if [ ! -s "$SRC_LIST.tmp" ]; then
        # The archive is the machine's own choice: nothing is made up here.
        rm -f "$SRC_LIST.tmp"
        echo "setup.sh: no Debian archive in /etc/apt/sources.list.d/debian.sources or" >&2
        echo "setup.sh: /etc/apt/sources.list to take a deb-src entry from; add one for the" >&2
        echo "setup.sh: main archive (Types: deb-src) and run this again" >&2
        exit 1
    fi
    mv "$SRC_LIST.tmp" "$SRC_LIST"
    need_update=1
fi

missing=""
for pkg in $PACKAGES; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = installed ] || missing="$missing $pkg"
done

# apt-get source needs the source index too; make sure it has been fetched once.
if [ -z "$(find /var/lib/apt/lists -name '*_source_Sources*' 2>/dev/null | head -n1)" ]; then
    need_update=1
fi

if [ -n "$missing" ] || [ "$need_update" -eq 1 ]; then
    $APT update -q
fi
if [ -n "$missing" ]; then
    echo "setup.sh: installing$missing"
    # shellcheck disable=SC2086
    $APT install -y -q --no-remove $missing
fi
echo "setup.sh: all packages present"
