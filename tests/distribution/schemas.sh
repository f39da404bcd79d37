#!/usr/bin/env bash
# The XML Schemas accept the examples and the generator's inputs, and refuse documents in
# which one element, attribute or keyword of an example is misspelt.
#   schemas.sh SOURCE_DIR QUILGEN
set -euo pipefail
source_dir=$1
quilgen=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

schema_of() { [ "$1" = conf ] && echo "$source_dir/schemas/quillora.xsd" ||
    echo "$source_dir/schemas/palm-client.xsd"; }

for size in full half; do
    "$quilgen" configuration "$size" "$tmp/configuration-$size.xml" 2>/dev/null
    "$quilgen" exchange "$size" "$tmp/exchange-$size.xml" 2>/dev/null
done
"$quilgen" configuration dense "$tmp/configuration-dense.xml" 2>/dev/null
for document in "$source_dir/examples/configuration.xml" "$tmp"/configuration-*.xml \
    "$source_dir/examples/exchange.xml" "$tmp"/exchange-*.xml; do
    case $document in *configuration*) schema=$(schema_of conf) ;; *) schema=$(schema_of xchg) ;; esac
    if ! xmllint --noout --schema "$schema" "$document" 2>"$tmp/errors"; then
        echo "refused: $document"
        cat "$tmp/errors"
        failures=$((failures + 1))
    fi
done

# Each row: the language, then a sed substitution applied to its example.
while IFS='|' read -r language substitution; do
    example=$source_dir/examples/configuration.xml
    [ "$language" = conf ] || example=$source_dir/examples/exchange.xml
    sed "$substitution" "$example" >"$tmp/misspelt.xml"
    if cmp -s "$tmp/misspelt.xml" "$example"; then
        echo "changes nothing: $substitution"
        failures=$((failures + 1))
    elif xmllint --noout --schema "$(schema_of "$language")" "$tmp/misspelt.xml" 2>/dev/null; then
        echo "accepted: $substitution"
        failures=$((failures + 1))
    fi
done <<'ROWS'
conf|s/<staticattrs /<staticatrs /
conf|s/<menuitem title="Новый"/<menuitme title="Новый"/
conf|0,/ font="boldFont"/s// fnt="boldFont"/
conf|0,/firstNav="4"/s//firstnav="4"/
conf|0,/type="select"/s//type="selct"/
conf|0,/ x="2"/s// x="two"/
conf|0,/resize="movey"/s//resize="movy"/
conf|0,/dbtype="DATE"/s//dbtype="DAT"/
conf|s/frameType="boldButtonFrame"/frameType="boldbuttonframe"/
xchg|s/<documents url/<document url/
xchg|s/<doc-head>/<dochead>/
xchg|0,/value="0x01"/s//value="one"/
xchg|s/<pdb name/<pdb nmae/
xchg|s/delete="true"/delete="yes"/
ROWS

# Every element and attribute the schemas declare carries its documentation, which editors
# show on hover.
for schema in "$(schema_of conf)" "$(schema_of xchg)"; do
    undocumented=$(xmllint --xpath "count(//*[(local-name()='element' or local-name()='attribute')
        and @name and not(*[local-name()='annotation']/*[local-name()='documentation'])])" "$schema")
    if [ "$undocumented" != 0 ]; then
        echo "$schema: $undocumented elements or attributes without documentation"
        failures=$((failures + 1))
    fi
done

[ "$failures" -eq 0 ] || { echo "$failures schema checks failed"; exit 1; }
echo "Schemas: examples and generated inputs valid, misspelt documents refused, all documented"
