#!/usr/bin/env bash
# Every program's --version and every man page (as configured into the build folder) name
# the package version.
#   versions.sh VERSION PAGES_DIR PROGRAM...
set -euo pipefail
version=$1
pages_dir=$2
failures=0
for program in "${@:3}"; do
    line=$("$program" --version)
    if [[ $line != *" $version" ]]; then
        echo "$(basename "$program") --version: $line (package $version)"
        failures=$((failures + 1))
    fi
    page=$pages_dir/$(basename "$program").1
    if ! head -n 1 "$page" | grep -qF "\"quillora\\-compilers $version\""; then
        echo "$page: $(head -n 1 "$page") (package $version)"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "Versions: every program and man page names $version"
