# libjpeg from Debian's libjpeg-turbo source package, as the Windows and the web builds
# take it. Sourced by tools/build-mingw-deps.sh and tools/build-wasm-deps.sh (POSIX sh);
# each builds the library with its own toolchain between the two steps below.

# jpeg_source DEPS WHO [OTHER_SRC_DIR...]: prints the unpacked source folder, found under
# DEPS/src, else in one of the other folders (only read from there), else fetched into
# DEPS/src with apt-get source. WHO names the script in messages. Fails with a message
# when there is none.
jpeg_source() {
    _deps=$1 _who=$2
    shift 2
    mkdir -p "$_deps/src"
    for _dir in "$_deps/src" "$@"; do
        [ -d "$_dir" ] || continue
        _src=$(find "$_dir" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
        if [ -n "$_src" ] && [ -f "$_src/CMakeLists.txt" ]; then
            echo "$_src"
            return 0
        fi
    done
    echo "$_who: libjpeg: fetching Debian's libjpeg-turbo source package" >&2
    # apt drops privileges to _apt for downloads; give it a directory it may write.
    (cd "$_deps/src" && chmod 0777 . && apt-get source -q libjpeg-turbo >&2) || {
        echo "$_who: 'apt-get source libjpeg-turbo' failed; run tools/setup.sh first (it adds the deb-src entry)" >&2
        return 1
    }
    _src=$(find "$_deps/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
    [ -n "$_src" ] || { echo "$_who: libjpeg-turbo sources not unpacked" >&2; return 1; }
    echo "$_src"
}

# jpeg_install BUILD SRC PREFIX STAMP: puts the static library built in BUILD and its
# headers into PREFIX (the command-line tools are not built), and leaves the stamp, the
# only one of its kind.
jpeg_install() {
    mkdir -p "$3/lib" "$3/include"
    cp "$1/libjpeg.a" "$3/lib/libjpeg.a"
    cp "$2/jpeglib.h" "$2/jmorecfg.h" "$2/jerror.h" "$1/jconfig.h" "$3/include/"
    rm -f "$(dirname "$4")"/libjpeg.*.stamp
    touch "$4"
}
