#!/usr/bin/env bash
# Builds both compilers and runs them on the bundled examples, writing the databases into
# out/, then shows what was written with quilinspect: the record lists, the check and the
# drawings of the forms (out/forms/index.html).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
bash scripts/build.sh || exit 1
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
for f in out/QL_Configuration.pdb out/QL_PalmClientTransferDB.pdb; do
    [ -f "$f" ] || continue
    echo
    echo "== quilinspect $f (its header and record list; the whole report without the filter)"
    build/inspector/quilinspect "$f" |
        awk 'NR == 1 || /^(Header|Records)$/ { show = 1; print; next }
             /^[^ ]/ { show = 0 } show'
done
echo
echo "== quilinspect --check out/*.pdb"
build/inspector/quilinspect --check out/*.pdb
echo "(exit status $?)"
echo
echo "== quilinspect --svg out/forms out/QL_Configuration.pdb (open out/forms/index.html)"
build/inspector/quilinspect --svg out/forms out/QL_Configuration.pdb | wc -l | xargs echo "files written:"
