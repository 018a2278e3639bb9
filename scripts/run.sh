#!/usr/bin/env bash
# Builds the program and starts it. On a machine with no parallel port it
# starts with the simulated adapter: a 24C16 on LPT1 whose contents are kept in
# a file, so the virtual chip remembers what was programmed into it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZORBIX_BUILD_TESTS=OFF -DZORBIX_BUILD_BENCH=OFF
cmake --build build -j2 --target zorbix32

if ! compgen -G "/dev/parport*" > /dev/null && [ -z "${ZORBIX_SIMULATION:-}" ]; then
  data="${XDG_DATA_HOME:-$HOME/.local/share}/zorbix32"
  mkdir -p "$data"
  export ZORBIX_SIMULATION="LPT1:24C16=$data/puce-simulee.bin"
  echo "Aucun port parallèle sur cette machine : adaptateur simulé, ZORBIX_SIMULATION=$ZORBIX_SIMULATION"
fi
exec build/shell/zorbix32 "$@"
