#!/usr/bin/env bash
# The man pages render without a single groff warning, and each names every option its
# program's --help names.
#   man-pages.sh PAGES_DIR PROGRAM...   (the pages as configured into the build folder)
set -euo pipefail
pages_dir=$1
failures=0
for program in "${@:2}"; do
    page=$pages_dir/$(basename "$program").1
    warnings=$(groff -man -ww -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "$page: $warnings"
        failures=$((failures + 1))
    fi
    for option in $("$program" --help | grep -oE -- '--[a-z]+' | sort -u); do
        if ! grep -qF -- "${option//-/\\-}" "$page"; then
            echo "$page does not name $option"
            failures=$((failures + 1))
        fi
    done
done
[ "$failures" -eq 0 ] || exit 1
echo "Man pages: no groff warning, every option of --help described"
