#!/usr/bin/env bash
# The Windows part of the test command: cross-builds into build-windows/ (scripts/build-windows.sh),
# runs every test of that build under wine, then compiles examples/ with the .exe files and
# with the Linux programs of build/ (built first when missing) and requires the same
# databases, header dates aside, which quilinspect.exe then checks.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX="${WINEPREFIX:-$PWD/build-windows/wine}"
[ -x build/confcompiler/quilconf ] || bash scripts/build.sh
bash scripts/build-windows.sh build-windows
# shellcheck source=scripts/wine-start.sh
source scripts/wine-start.sh
ctest --test-dir build-windows --output-on-failure -j"$(nproc)"

out=$(mktemp -d)
trap 'rm -rf "$out"; wineserver -k || true' EXIT
mkdir -p "$out/linux" "$out/windows"
build/confcompiler/quilconf examples/configuration.xml "$out/linux/QL_Configuration.pdb" >/dev/null
build/xchgcompiler/quilxdb examples/exchange.xml "$out/linux/" >/dev/null
wine build-windows/confcompiler/quilconf.exe examples/configuration.xml \
    "$(winepath -w "$out/windows/QL_Configuration.pdb")" >/dev/null
wine build-windows/xchgcompiler/quilxdb.exe examples/exchange.xml \
    "$(winepath -w "$out/windows")\\" >/dev/null

# The header's dates of creation, modification and backup lie back to back, from the creation
# date to the modification number; their offsets come from the container's layout header.
field_offset() { sed -n "s/.*RecordField $1{\([0-9]*\),.*/\1/p" pdb/PdbLayout.h; }
dates=$(field_offset kCreationDate)
after_dates=$(field_offset kModificationNumber)
[ -n "$dates" ] && [ -n "$after_dates" ] || { echo "pdb/PdbLayout.h: no date offsets" >&2; exit 1; }
without_dates() { head -c "$dates" "$1"; tail -c +"$((after_dates + 1))" "$1"; }
for database in QL_Configuration.pdb QL_PalmClientTransferDB.pdb; do
    if ! cmp <(without_dates "$out/linux/$database") <(without_dates "$out/windows/$database"); then
        echo "$database: the Windows build writes other bytes than the Linux build" >&2
        exit 1
    fi
    echo "$database: the same bytes from Linux and Windows ($(wc -c <"$out/linux/$database") bytes)"
done
# quilinspect.exe reads both back and finds nothing wrong.
wine build-windows/inspector/quilinspect.exe --check \
    "$(winepath -w "$out/windows/QL_Configuration.pdb")" \
    "$(winepath -w "$out/windows/QL_PalmClientTransferDB.pdb")"
