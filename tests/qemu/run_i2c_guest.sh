#!/usr/bin/env bash
# The /dev/i2c-N adapter against the kernel's own SMBus driver: boots a stock
# Debian kernel in QEMU's q35 machine, whose ICH9 SMBus carries eight
# 256-byte EEPROMs at 0x50..0x57, loads i2c-i801 and i2c-dev, and runs
# tests/qemu/i2c/i2c_guest there beside Debian's i2c-tools (i2cdump, i2cset,
# called by their full path: busybox has applets of the same names).
# The guest program then runs the real zorbix32-cli on that bus. Exit code 77
# (skipped) only where QEMU cannot run at all.
#
# Usage: run_i2c_guest.sh [work-dir [zorbix32-cli]]
#   (default: a new temporary folder, and a zorbix32-cli built there)
set -euo pipefail

SOURCES=$(cd "$(dirname "$0")/../.." && pwd)
WORK=${1:-$(mktemp -d "${TMPDIR:-/tmp}/zorbix-qemu-i2c.XXXXXX")}
GUEST_TIMEOUT=240

fail() { echo "FAILED: $*" >&2; exit 1; }
. "$SOURCES/tests/qemu/guest_common.sh"

build_guest() {
  local engine="$SOURCES/engine"
  g++ -std=c++17 -O2 -Wall -Wextra -static -I"$SOURCES" -o "$WORK/i2c_guest" \
    "$SOURCES"/tests/qemu/i2c/*.cpp "$engine"/i2c/i2c_{buses,chip,dev,safety}.cpp "$engine/chips.cpp" \
    "$engine/transfers.cpp" "$engine/i2c_bus.cpp" "$engine/lines.cpp" "$engine/port.cpp"
  find_cli "${2:-}"
}

make_initramfs() {
  local modules=(i2c-smbus i2c-i801 i2c-dev at24)
  start_initramfs "${modules[@]}"
  add_i2c_tools i2cdump i2cset i2ctransfer
  cp "$WORK/i2c_guest" "$ROOT/i2c_guest"
  add_program zorbix32-cli
  write_init i2c_guest "${modules[@]}"
  pack_initramfs initrd-i2c.gz
}

main() {
  mkdir -p "$WORK"
  install_packages
  find_kernel
  build_guest "$@"
  make_initramfs
  boot_guest initrd-i2c.gz i2c_guest console-i2c.log -M q35 -m 256
}

main "$@"
