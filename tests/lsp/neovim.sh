#!/usr/bin/env bash
# quil-lsp in a real editor: a headless Neovim (0.7 or later) with nothing of the user's,
# running tests/lsp/neovim.lua on tests/lsp/mistakes.xml, and what it got compared with what
# the server must give it.
#   neovim.sh SOURCE_DIR QUIL_LSP
set -euo pipefail
source_dir=$1
server=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for dir in config data state cache run; do
    mkdir -p "$work/$dir"
done
cp "$source_dir/tests/lsp/mistakes.xml" "$work/mistakes.xml"

status=0
XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state \
    XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/run HOME=$work \
    QUIL_LSP=$server QUIL_LSP_DOCUMENT=$work/mistakes.xml QUIL_LSP_OUT=$work/got.txt \
    timeout 60 nvim --headless --clean -u NONE -i NONE -n \
    -c "luafile $source_dir/tests/lsp/neovim.lua" </dev/null >"$work/nvim.log" 2>&1 || status=$?

cat >"$work/expected.txt" <<'LINES'
diagnostic 8 quilconf 3844 Отсутствует реквизит document->name журнала  Orders
diagnostic 8 quil-lint L15 the compiler never reads an attribute `title` of `jrndocument`
diagnostic 19 quilconf 772 Неверное определение функции:  
diagnostic 19 quilconf 1 Неизвестная лексема:  SetCurrentDatTime(7)
diagnostic 19 quilconf 772 Ошибка разбора:  NewDocument(); SetCurrentDatTime(7)
diagnostic 25 quilconf 259 Отсутствует реквизит document->prefix документа:  Order
completion 1 static #0
completion 2 button #1
hover **control 2** (button #1) — control index 1 in form "List"; its record is 68 bytes
exit 0
LINES
if [ "$status" -ne 0 ] || ! diff -u "$work/expected.txt" "$work/got.txt"; then
    echo "Neovim ended with status $status"
    cat "$work/got.txt" "$work/nvim.log" 2>/dev/null || true
    exit 1
fi
echo "Neovim: diagnostics, completion and hover from quil-lsp, and its exit status 0"
