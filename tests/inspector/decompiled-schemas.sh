#!/usr/bin/env bash
# The documents that quilinspect --xml writes back validate against the XML Schemas: those of
# the example databases and of a few generated ones.
#   decompiled-schemas.sh SOURCE_DIR QUILCONF QUILXDB QUILINSPECT QUILGEN
set -euo pipefail
source_dir=$1
quilconf=$2
quilxdb=$3
quilinspect=$4
quilgen=$5
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

cp "$source_dir/examples/configuration.xml" "$tmp/configuration-example.xml"
cp "$source_dir/examples/exchange.xml" "$tmp/exchange-example.xml"
"$quilgen" configuration half "$tmp/configuration-half.xml" 2>/dev/null
"$quilgen" configuration dense "$tmp/configuration-dense.xml" 2>/dev/null
"$quilgen" exchange half "$tmp/exchange-half.xml" 2>/dev/null

for source in "$tmp"/configuration-*.xml "$tmp"/exchange-*.xml; do
    name=$(basename "$source" .xml)
    case $name in
    configuration-*)
        "$quilconf" "$source" "$tmp/$name.pdb" >/dev/null
        schema=$source_dir/schemas/quillora.xsd
        ;;
    *)
        "$quilxdb" "$source" "$tmp/$name-" >/dev/null
        mv "$tmp/$name-QL_PalmClientTransferDB.pdb" "$tmp/$name.pdb"
        schema=$source_dir/schemas/palm-client.xsd
        ;;
    esac
    if ! "$quilinspect" --xml "$tmp/$name.pdb" "$tmp/$name.back.xml"; then
        echo "not written back: $name"
        failures=$((failures + 1))
    elif ! xmllint --noout --schema "$schema" "$tmp/$name.back.xml" 2>"$tmp/errors"; then
        echo "refused by $(basename "$schema"): $name"
        head -20 "$tmp/errors"
        failures=$((failures + 1))
    fi
done
echo "$failures failures"
[ "$failures" -eq 0 ]
