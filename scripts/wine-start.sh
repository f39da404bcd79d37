# shellcheck shell=bash
# Sourced by the Windows build and test scripts: starts wine's server and services for the
# prefix in WINEPREFIX (made when missing) and stops them when the script ends. They are
# started here, detached from every pipe, because services that a test program started would
# inherit its output and keep CTest waiting for them; the server is kept up between programs.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true  # fails when one runs already
if ! wine cmd /c exit </dev/null >/dev/null 2>&1; then
    echo "wine does not start in $WINEPREFIX" >&2
    exit 1
fi
trap 'wineserver -k 2>/dev/null || true' EXIT
