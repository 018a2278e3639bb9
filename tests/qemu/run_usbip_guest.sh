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
# Usage: run_usbip_guest.sh [work-dir]   (default: a new temporary folder)
set -euo pipefail

SOURCES=$(cd "$(dirname "$0")/../.." && pwd)
WORK=${1:-$(mktemp -d "${TMPDIR:-/tmp}/zorbix-usbip.XXXXXX")}
GUEST_TIMEOUT=300
SKIP=77

fail() { echo "FAILED: $*" >&2; exit 1; }

install_packages() {
  . "$SOURCES/scripts/packages.sh"
  need_packages "${QEMU_PACKAGES[@]}" libusb-1.0-0-dev pkg-config || echo "Installation des paquets impossible." >&2
  if ! command -v qemu-system-x86_64 >/dev/null || ! qemu-system-x86_64 --version >/dev/null 2>&1; then
    echo "SKIPPED: qemu-system-x86_64 is missing or cannot execute here." >&2
    exit $SKIP
  fi
}

kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*\)$/\1/p' | head -n 1
}

find_kernel() {
  local package deb
  package=$(kernel_package)
  [ -n "$package" ] || { apt-get update -qq || true; package=$(kernel_package); }
  [ -n "$package" ] || fail "apt-cache knows no linux-image-amd64"
  KVER=${package#linux-image-}
  KERNEL_ROOT="$WORK/kernel/$KVER"
  KERNEL="$KERNEL_ROOT/boot/vmlinuz-$KVER"
  [ -r "$KERNEL" ] && [ -d "$KERNEL_ROOT/lib/modules/$KVER" ] && return
  rm -rf "$WORK/kernel" && mkdir -p "$WORK/kernel"
  (cd "$WORK/kernel" &&
    { apt-get download -q "$package" || { apt-get update -qq && apt-get download -q "$package"; }; }) ||
    fail "apt-get download $package failed"
  deb=$(ls "$WORK"/kernel/"$package"_*.deb | head -n 1)
  dpkg-deb -x "$deb" "$KERNEL_ROOT" || fail "dpkg-deb -x $deb failed"
  rm -f "$deb"
  [ -r "$KERNEL" ] || fail "no $KERNEL in $package"
}

build_guest() {
  local e="$SOURCES/engine"
  # shellcheck disable=SC2046
  g++ -std=c++17 -O2 -Wall -Wextra -I"$SOURCES" -o "$WORK/ch341a_guest" \
    "$SOURCES"/tests/qemu/ch341a_guest.cpp "$SOURCES"/tests/qemu/usbip_ch341a.cpp \
    "$e"/usb/ch341a_protocol.cpp "$e"/usb/ch341a_chip.cpp "$e"/usb/ch341a_usb.cpp \
    "$e"/sim/ch341a_device.cpp "$e"/sim/ch341a_pin_chip.cpp "$e"/sim/pin_decoder.cpp \
    "$e"/sim/eeprom_model.cpp "$e"/sim/chip_models.cpp \
    "$e"/sim/bus_transcript.cpp "$e"/chips.cpp "$e"/transfer_messages.cpp "$e"/transfers.cpp "$e"/i2c_bus.cpp \
    "$e"/lines.cpp "$e"/port.cpp "$e"/port_identity.cpp $(pkg-config --cflags --libs libusb-1.0) -pthread
}

add_module() {
  local name=$1 file
  file=$(find "$KERNEL_ROOT/lib/modules/$KVER" -name "$name.ko*" | head -n 1)
  [ -n "$file" ] || fail "module $name not found under $KERNEL_ROOT/lib/modules/$KVER"
  case "$file" in
    *.ko) cp "$file" "$ROOT/modules/$name.ko" ;;
    *.ko.xz) xz -dc "$file" > "$ROOT/modules/$name.ko" ;;
    *.ko.zst) zstd -dcq "$file" > "$ROOT/modules/$name.ko" ;;
    *.ko.gz) gzip -dc "$file" > "$ROOT/modules/$name.ko" ;;
    *) fail "unknown module format: $file" ;;
  esac
}

# The program and every shared library it loads, at the same paths.
add_program() {
  local lib
  cp "$WORK/ch341a_guest" "$ROOT/ch341a_guest"
  for lib in $(ldd "$WORK/ch341a_guest" | grep -o '/[^ ]*'); do
    mkdir -p "$ROOT$(dirname "$lib")"
    cp -L "$lib" "$ROOT$lib"
  done
}

write_init() {
  cat > "$ROOT/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /sys /dev /tmp /run
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
for module in usb-common usbcore usbip-core vhci-hcd; do
  insmod /modules/$module.ko || echo "insmod $module failed"
done
/ch341a_guest
echo "ch341a_guest exit code: $?"
poweroff -f
INIT
  chmod 755 "$ROOT/init"
}

make_initramfs() {
  ROOT="$WORK/root"
  rm -rf "$ROOT"
  mkdir -p "$ROOT/bin" "$ROOT/modules"
  cp /bin/busybox "$ROOT/bin/busybox"
  for module in usb-common usbcore usbip-core vhci-hcd; do add_module "$module"; done
  add_program
  write_init
  (cd "$ROOT" && find . | cpio -o -H newc --quiet) | gzip -1 > "$WORK/initrd.gz"
}

run_guest() {
  local log="$WORK/console-usbip.log" status=0
  timeout "$GUEST_TIMEOUT" qemu-system-x86_64 -accel tcg -m 512 -nographic -no-reboot \
    -kernel "$KERNEL" -initrd "$WORK/initrd.gz" -append "console=ttyS0 quiet panic=-1" \
    < /dev/null 2>&1 | tr -d '\r' > "$log" || status=$?
  cat "$log"
  [ "$status" -ne 124 ] || fail "the guest did not power off within $GUEST_TIMEOUT s"
  [ "$status" -eq 0 ] || fail "qemu-system-x86_64 ended with status $status"
  grep -Eq '^[0-9]+ passed, 0 failed$' "$log" || fail "no summary line with 0 failed in $log"
  grep -qx 'ch341a_guest exit code: 0' "$log" || fail "the guest program did not exit with 0"
}

main() {
  mkdir -p "$WORK"
  install_packages
  find_kernel
  echo "Kernel: $KERNEL"
  build_guest
  make_initramfs
  run_guest
  echo "The guest passed; benchmark lines:"
  grep -h '^bench:' "$WORK"/console-usbip.log
}

main
