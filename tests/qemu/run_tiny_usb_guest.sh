#!/usr/bin/env bash
# The /dev/i2c-N adapter's plain I2C path on a real kernel: boots the stock
# Debian kernel in QEMU (software emulation) with vhci-hcd (USB/IP's virtual
# host controller), the i2c-tiny-usb driver and i2c-dev, and runs
# tests/qemu/tiny_usb_guest there: an emulated i2c-tiny-usb of ours attached
# through a socket pair becomes an I2C bus, on which the program's chip
# operations work through I2C_RDWR, beside Debian's i2ctransfer. Fails on
# any failed check, a missing result or a timeout; exit code 77 (skipped)
# only where QEMU cannot run at all.
#
# The guest program then runs the real zorbix32-cli on the same bus.
#
# Usage: run_tiny_usb_guest.sh [work-dir [zorbix32-cli]]
#   (default: a new temporary folder, and a zorbix32-cli built there)
set -euo pipefail

SOURCES=$(cd "$(dirname "$0")/../.." && pwd)
WORK=${1:-$(mktemp -d "${TMPDIR:-/tmp}/zorbix-tiny-usb.XXXXXX")}
GUEST_TIMEOUT=360

fail() { echo "FAILED: $*" >&2; exit 1; }
. "$SOURCES/tests/qemu/guest_common.sh"

build_guest() {
  local e="$SOURCES/engine" q="$SOURCES/tests/qemu"
  g++ -std=c++17 -O2 -Wall -Wextra -static -I"$SOURCES" -o "$WORK/tiny_usb_guest" \
    "$q"/tiny_usb_guest.cpp "$q"/usbip_tiny_usb.cpp "$q"/usbip_server.cpp "$e"/i2c/i2c_{buses,chip,dev}.cpp \
    "$e"/sim/eeprom_model.cpp "$e"/sim/chip_models.cpp "$e"/chips.cpp "$e"/transfers.cpp "$e"/i2c_bus.cpp \
    "$e"/lines.cpp "$e"/port.cpp "$e"/port_identity.cpp "$e"/transfer_messages.cpp \
    "$SOURCES"/cli/cli_texts.cpp -pthread
  find_cli "${2:-}"
}

make_initramfs() {
  local modules=(usb-common usbcore usbip-core vhci-hcd i2c-dev i2c-tiny-usb)
  start_initramfs "${modules[@]}"
  add_i2c_tools i2ctransfer
  cp "$WORK/tiny_usb_guest" "$ROOT/tiny_usb_guest"
  add_program zorbix32-cli
  write_init tiny_usb_guest "${modules[@]}"
  pack_initramfs initrd-tiny-usb.gz
}

main() {
  local debut
  mkdir -p "$WORK"
  install_packages
  find_kernel
  build_guest "$@"
  make_initramfs
  debut=$(date +%s.%N)
  boot_guest initrd-tiny-usb.gz tiny_usb_guest console-tiny-usb.log -m 256
  echo "The guest passed; benchmark lines:"
  grep -h '^bench:' "$WORK"/console-tiny-usb.log
  awk -v debut="$debut" -v fin="$(date +%s.%N)" 'BEGIN { printf "bench: boot to power-off in %.1f s\n", fin - debut }'
}

main "$@"
