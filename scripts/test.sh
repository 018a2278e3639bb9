#!/usr/bin/env bash
# Builds the program and runs every test (GUI tests on Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2

export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

ctest --test-dir build --output-on-failure -j2

# The file readers against inputs from anywhere, for a bounded time.
bash scripts/fuzz_files.sh 60
