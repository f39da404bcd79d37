#!/usr/bin/env bash
# Builds both compilers and runs them on the bundled examples, writing the databases into
# out/ and showing what was written.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build || exit 1
mkdir -p out

echo "== quilconf examples/configuration.xml out/QL_Configuration.pdb"
build/confcompiler/quilconf examples/configuration.xml out/QL_Configuration.pdb
echo "(exit status $?)"
echo
echo "== quilxdb examples/exchange.xml out/"
build/xchgcompiler/quilxdb examples/exchange.xml out/
echo "(exit status $?)"
echo
echo "== written:"
ls -l out/
for f in out/*.pdb; do
    [ -f "$f" ] || continue
    echo "-- $f (first 256 bytes)"
    od -A d -t x1 "$f" | head -n 17
done
