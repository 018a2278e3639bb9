#!/usr/bin/env bash
# Builds the program and runs every test (GUI tests on Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${QEMU_PACKAGES[@]}"

# The tests and benchmarks named on: run.sh turns them off in the same build
# folder, and the cache would keep them off.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZORBIX_BUILD_TESTS=ON -DZORBIX_BUILD_BENCH=ON
cmake --build build -j2

export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

# Every reader of a user's input against inputs from anywhere, 60 s shared
# among them. Its output goes to a log, shown only when it finds something.
echo "Fuzzing the readers of user input for 60 s (log: build/fuzz.log)"
if ! bash scripts/fuzz_files.sh 60 > build/fuzz.log 2>&1; then
  tail -n 60 build/fuzz.log
  echo "The fuzzer found a fault in a reader of user input." >&2
  exit 1
fi

ctest --test-dir build --output-on-failure -j2 --no-tests=error
