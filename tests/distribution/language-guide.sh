#!/usr/bin/env bash
# The language guide doc/language.md names every element and attribute the configuration
# schema declares, and its function table is exactly what quilconf --functions --markdown
# prints. (Its keyword and limit tables are compared with the compiler by LanguageGuideTest.)
#   language-guide.sh SOURCE_DIR QUILCONF
set -euo pipefail
guide=$1/doc/language.md
schema=$1/schemas/quillora.xsd
failures=0

# The names in the schema: xmllint prints them as name="..." pairs.
names() {
    xmllint --xpath "//*[local-name()='$1']/@name" "$schema" | grep -oE '"[^"]+"' | tr -d '"' |
        sort -u
}
for kind in element attribute; do
    for name in $(names "$kind"); do
        if ! grep -qF -- "\`$name\`" "$guide" && ! grep -qF -- "\`<$name>\`" "$guide"; then
            echo "$guide does not describe the $kind $name"
            failures=$((failures + 1))
        fi
    done
done

expected=$("$2" --functions --markdown)
checked_in=$(sed -n '/^<!-- functions: quilconf --functions --markdown -->$/,/^<!-- end functions -->$/p' \
    "$guide" | sed '1d;$d')
if [ "$expected" != "$checked_in" ]; then
    echo "$guide: the function table differs from quilconf --functions --markdown:"
    diff <(echo "$checked_in") <(echo "$expected") | head -n 20
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
echo "Language guide: every element and attribute of the schema, the function table current"
