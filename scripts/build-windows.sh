#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian 12 into build-windows/ (or the folder given as
# $1, with extra CMake options after): quilconf.exe, quilxdb.exe and quilinspect.exe, linked
# statically so that they need no DLL beside them, their tests (run under wine by `ctest
# --test-dir build-windows`), and the ZIP of programs, examples, schemas and README.
#
# libxml2 is built for x86_64-w64-mingw32 from Debian's source package of the libxml2 that the
# Linux build uses (fetched with `apt-get source` through a temporary source list made from
# this machine's own Debian sources), without zlib, lzma, iconv, HTTP, FTP or Python;
# GoogleTest from the sources of libgtest-dev. Both are kept in <folder>/deps and rebuilt only
# when their version, this script or the toolchain file changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/deps.sh g++-mingw-w64-x86-64 wine64 wine dpkg-dev

out="${1:-build-windows}"
shift || true
mkdir -p "$out"
out=$(cd "$out" && pwd)
deps=$out/deps
toolchain=$root/cmake/mingw-w64.cmake
jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2

xml_package=$(dpkg-query -W -f='${source:Package}' libxml2-dev)
xml_version=$(dpkg-query -W -f='${source:Version}' libxml2-dev)
gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)

# Debian's deb-src lines for the suites this machine installs from, in a list of their own:
# the system's package lists are left as they are.
source_list() {
    local dir=$1 file
    mkdir -p "$dir/sources.list.d" "$dir/lists/partial" "$dir/cache/archives/partial"
    : >"$dir/sources.list"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -n 's/^deb \(.*bookworm.*\)$/deb-src \1/p' "$file" >>"$dir/sources.list"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # Stanzas of the bookworm suites only, their type turned into deb-src.
        awk -v RS= -v ORS='\n\n' '/Suites:[^\n]*bookworm/ {
                sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$file" \
            >"$dir/sources.list.d/$(basename "$file")"
    done
}

build_deps() {
    local work
    work=$(mktemp -d)
    trap 'rm -rf "$work"; trap - RETURN' RETURN
    source_list "$work/apt"
    local apt=(apt-get -q -o "Dir::Etc::SourceList=$work/apt/sources.list"
        -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
        -o APT::Sandbox::User=root)
    echo "Fetching the source of $xml_package $xml_version"
    "${apt[@]}" update >/dev/null
    mkdir -p "$work/src"
    (cd "$work/src" && "${apt[@]}" source "$xml_package=$xml_version" >/dev/null)
    local xml_source
    xml_source=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name "$xml_package-*")

    rm -rf "$deps"
    local common=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=OFF)
    echo "Building libxml2 for Windows"
    # Single-threaded, as both programs are. (With pthread.h in sight this libxml2 would use
    # pthread_once even without threads, and fail to build.) The parser, the tree, DTD
    # handling and the encodings are built as on Linux, and XPath, with which the drawing
    # tests read the SVGs; modules that nothing reaches (schemas, XInclude, catalogs, HTML,
    # the reader and writer APIs...) are left out to keep the build short.
    cmake -S "$xml_source" -B "$work/libxml2" "${common[@]}" \
        -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_ZLIB=OFF \
        -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
        -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_MODULES=OFF -DLIBXML2_WITH_THREADS=OFF \
        -DHAVE_PTHREAD_H=0 -DLIBXML2_WITH_SCHEMAS=OFF -DLIBXML2_WITH_SCHEMATRON=OFF \
        -DLIBXML2_WITH_XINCLUDE=OFF -DLIBXML2_WITH_XPTR=OFF \
        -DLIBXML2_WITH_C14N=OFF -DLIBXML2_WITH_CATALOG=OFF -DLIBXML2_WITH_DEBUG=OFF \
        -DLIBXML2_WITH_HTML=OFF -DLIBXML2_WITH_DOCB=OFF -DLIBXML2_WITH_READER=OFF \
        -DLIBXML2_WITH_WRITER=OFF -DLIBXML2_WITH_PATTERN=OFF \
        -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF >/dev/null
    cmake --build "$work/libxml2" -j"$jobs" >/dev/null
    cmake --install "$work/libxml2" >/dev/null
    echo "Building GoogleTest for Windows"
    cmake -S /usr/src/googletest -B "$work/googletest" "${common[@]}" \
        -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >/dev/null
    cmake --build "$work/googletest" -j"$jobs" >/dev/null
    cmake --install "$work/googletest" >/dev/null
    echo "$stamp" >"$deps/stamp"
}

# What the folder of dependencies was built from: versions, recipe and toolchain.
stamp="libxml2 $xml_version; googletest $gtest_version; $(
    declare -f source_list build_deps | cat - "$toolchain" | sha256sum)"
if [ "$(cat "$deps/stamp" 2>/dev/null)" != "$stamp" ]; then
    build_deps
else
    echo "Using libxml2 $xml_version and GoogleTest $gtest_version from $deps"
fi

# The JSON library of quilinspect is headers only: Debian's, beside the other two.
mkdir -p "$deps/include" "$deps/share/cmake"
cp -a /usr/include/nlohmann "$deps/include/"
cp -a /usr/share/cmake/nlohmann_json "$deps/share/cmake/"

# Wine lists the tests while building, in a prefix of this build (scripts/wine-start.sh).
export WINEPREFIX="${WINEPREFIX:-$out/wine}"
# shellcheck source=scripts/wine-start.sh
source scripts/wine-start.sh

# The windows preset, in the folder given (its own deps folder with it).
cmake --preset windows -B "$out" -DQUIL_DEPS="$deps" -DCMAKE_PREFIX_PATH="$deps" "$@" >/dev/null
cmake --build "$out" -j"$jobs"
(cd "$out" && cpack -G ZIP >/dev/null)

# Every program must run from the ZIP alone: it may import system DLLs only.
find "$out/_CPack_Packages" -name '*.exe' | while read -r exe; do
    imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
    for dll in $imports; do
        case "${dll,,}" in
        kernel32.dll | msvcrt.dll | advapi32.dll | shell32.dll | user32.dll | ws2_32.dll) ;;
        api-ms-win-*.dll) ;;
        *)
            echo "$exe needs $dll" >&2
            exit 1
            ;;
        esac
    done
done
ls -l "$out"/*.zip
