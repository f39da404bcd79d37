#!/usr/bin/env bash
# Configures and builds with a preset of CMakePresets.json: default (build/) unless another is
# given as $1 (asan: build-asan/), with extra CMake options after it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
preset="${1:-default}"
shift || true
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
