#!/usr/bin/env bash
# quilconf --lint finds nothing in the configurations quilgen writes (no mistake is in them).
# Arguments: quilgen quilconf.
set -euo pipefail
quilgen=$1
quilconf=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$quilgen" configuration half "$dir/half.xml" 2>/dev/null
if ! findings=$("$quilconf" --lint "$dir/half.xml"); then
    echo "quilconf --lint failed on the generated configuration" >&2
    exit 1
fi
if [[ -n $findings ]]; then
    echo "findings in the generated configuration:" >&2
    echo "$findings" | head -20 >&2
    exit 1
fi
echo "generated configuration: no finding"
