#!/usr/bin/env bash
# Installs the build into a temporary folder, either with cmake --install (tree) or as the
# Debian package cpack makes, unpacked with dpkg-deb (deb), checks that every file is in its
# place and runs both installed programs on the installed examples: they must write the same
# databases as the programs of the build tree.
#   installed.sh tree|deb BUILD_DIR
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "$mode: $*"
    exit 1
}

case $mode in
tree)
    cmake --install "$build" --prefix "$tmp/root" >/dev/null
    prefix=$tmp/root
    ;;
deb)
    cpack -G DEB -B "$tmp/package" --config "$build/CPackConfig.cmake" >/dev/null
    packages=("$tmp"/package/*.deb)
    [ "${#packages[@]}" -eq 1 ] || fail "cpack made ${#packages[@]} packages"
    depends=$(dpkg-deb --field "${packages[0]}" Depends)
    [[ $depends == *"libxml2 (>= "* ]] || fail "no dependency on libxml2: $depends"
    dpkg-deb -x "${packages[0]}" "$tmp/root"
    prefix=$tmp/root/usr
    ;;
*) fail "unknown mode" ;;
esac

doc=$prefix/share/doc/quillora-compilers
schemas=$prefix/share/quillora-compilers/schemas
for file in "$prefix/bin/quilconf" "$prefix/bin/quilxdb" "$prefix/bin/quilinspect" \
    "$prefix/bin/quil-lsp" "$prefix/share/man/man1/quilconf.1.gz" \
    "$prefix/share/man/man1/quilxdb.1.gz" "$prefix/share/man/man1/quilinspect.1.gz" \
    "$prefix/share/man/man1/quil-lsp.1.gz" "$doc/README.md" "$doc/language.md" "$doc/examples/configuration.xml" "$doc/examples/exchange.xml" \
    "$schemas/quillora.xsd" "$schemas/palm-client.xsd"; do
    [ -f "$file" ] || fail "missing ${file#"$tmp"/}"
done
for page in quilconf quilxdb quilinspect quil-lsp; do
    [ -z "$(gzip -dc "$prefix/share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)" ] ||
        fail "$page.1.gz does not render cleanly"
done

# The installed programs from another directory, the output directory named without its
# separator; the build tree's programs on the same inputs for comparison.
mkdir "$tmp/run" "$tmp/run/installed" "$tmp/run/built"
cd "$tmp/run"
"$prefix/bin/quilconf" --locations "$doc/examples/configuration.xml" installed/conf.pdb \
    >conf.log || fail "quilconf failed: $(cat conf.log)"
! grep -E '\[(ERROR|WARNING)' conf.log || fail "quilconf warned"
"$prefix/bin/quilxdb" "$doc/examples/exchange.xml" installed >xdb.log ||
    fail "quilxdb failed: $(cat xdb.log)"
"$build/confcompiler/quilconf" "$doc/examples/configuration.xml" built/conf.pdb >/dev/null
"$build/xchgcompiler/quilxdb" "$doc/examples/exchange.xml" built/ >/dev/null
cmp installed/QL_PalmClientTransferDB.pdb built/QL_PalmClientTransferDB.pdb
# The configuration databases differ in their three header dates only (bytes 37 to 48).
[ "$(stat -c %s installed/conf.pdb)" = "$(stat -c %s built/conf.pdb)" ] || fail "sizes differ"
{ cmp -l installed/conf.pdb built/conf.pdb || true; } |
    awk '$1 < 37 || $1 > 48 { bad = 1 } END { exit bad }' ||
    fail "configuration databases differ beyond the dates"
xmllint --noout --schema "$schemas/quillora.xsd" "$doc/examples/configuration.xml" 2>/dev/null
xmllint --noout --schema "$schemas/palm-client.xsd" "$doc/examples/exchange.xml" 2>/dev/null
echo "$mode: installed programs, man pages, examples and schemas work"
