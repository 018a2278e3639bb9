#!/usr/bin/env bash
# The CH341A adapter on a real Linux USB stack: boots the stock Debian kernel
# in QEMU (software emulation), loads vhci-hcd (USB/IP's virtual host
# controller), and runs tests/qemu/ch341a_guest inside it: an emulated
# CH341A of ours attached through a socket pair enumerates through the USB
# core, and the program's libusb transport and chip operations work on it
# through usbfs. Fails on any failed check, a missing result or a timeout;
# exit code 77 (skipped) only where QEMU cannot run at all.
#
# The guest program is linked dynamically (Debian ships no static libudev,
# which the static libusb needs): it goes into the initramfs with the
# libraries ldd names. The kernel comes from the Debian package file,
# unpacked in the work folder, never installed.
#
# The guest program then runs the real zorbix32-cli on the same device.
#
# Usage: run_usbip_guest.sh [work-dir [zorbix32-cli]]
#   (default: a new temporary folder, and a zorbix32-cli built there)
set -euo pipefail

SOURCES=$(cd "$(dirname "$0")/../.." && pwd)
WORK=${1:-$(mktemp -d "${TMPDIR:-/tmp}/zorbix-usbip.XXXXXX")}
GUEST_TIMEOUT=480

fail() { echo "FAILED: $*" >&2; exit 1; }
. "$SOURCES/tests/qemu/guest_common.sh"

build_guest() {
  local e="$SOURCES/engine"
  # shellcheck disable=SC2046
  g++ -std=c++17 -O2 -Wall -Wextra -I"$SOURCES" -o "$WORK/ch341a_guest" \
    "$SOURCES"/tests/qemu/ch341a_guest.cpp "$SOURCES"/tests/qemu/usbip_ch341a.cpp \
    "$e"/usb/ch341a_protocol.cpp "$e"/usb/ch341a_chip.cpp "$e"/usb/ch341a_usb.cpp \
    "$e"/sim/ch341a_device.cpp "$e"/sim/eeprom_model.cpp "$e"/sim/chip_models.cpp \
    "$e"/sim/bus_transcript.cpp "$e"/chips.cpp "$e"/transfer_messages.cpp "$e"/transfers.cpp "$e"/i2c_bus.cpp \
    "$e"/lines.cpp "$e"/port.cpp "$e"/port_identity.cpp "$SOURCES"/cli/cli_texts.cpp \
    "$SOURCES"/tests/qemu/usbip_server.cpp $(pkg-config --cflags --libs libusb-1.0) \
    -pthread
  find_cli "${2:-}"
}

make_initramfs() {
  local modules=(usb-common usbcore usbip-core vhci-hcd)
  start_initramfs "${modules[@]}"
  add_program ch341a_guest
  add_program zorbix32-cli
  write_init ch341a_guest "${modules[@]}"
  pack_initramfs initrd.gz
}

main() {
  mkdir -p "$WORK"
  install_packages
  need_packages libusb-1.0-0-dev pkg-config || echo "Installation des paquets impossible." >&2
  find_kernel
  echo "Kernel: $KERNEL"
  build_guest "$@"
  make_initramfs
  boot_guest initrd.gz ch341a_guest console-usbip.log -m 512
  echo "The guest passed; benchmark lines:"
  grep -h '^bench:' "$WORK"/console-usbip.log
}

main "$@"
