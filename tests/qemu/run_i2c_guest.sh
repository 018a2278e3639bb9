#!/usr/bin/env bash
# The /dev/i2c-N adapter against the kernel's own SMBus driver: boots a stock
# Debian kernel in QEMU's q35 machine, whose ICH9 SMBus carries eight
# 256-byte EEPROMs at 0x50..0x57, loads i2c-i801 and i2c-dev, and runs
# tests/qemu/i2c/i2c_guest there beside Debian's i2c-tools (i2cdump, i2cset,
# called by their full path: busybox has applets of the same names).
# Exit code 77 (skipped) only where QEMU cannot run at all.
#
# Usage: run_i2c_guest.sh [work-dir]   (default: a new temporary folder)
set -euo pipefail

SOURCES=$(cd "$(dirname "$0")/../.." && pwd)
WORK=${1:-$(mktemp -d "${TMPDIR:-/tmp}/zorbix-qemu-i2c.XXXXXX")}
GUEST_TIMEOUT=120

fail() { echo "FAILED: $*" >&2; exit 1; }
. "$SOURCES/tests/qemu/guest_common.sh"

build_guest() {
  local engine="$SOURCES/engine"
  g++ -std=c++17 -O2 -Wall -Wextra -static -I"$SOURCES" -o "$WORK/i2c_guest" \
    "$SOURCES"/tests/qemu/i2c/*.cpp "$engine"/i2c/*.cpp "$engine/chips.cpp" "$engine/transfers.cpp" \
    "$engine/i2c_bus.cpp" "$engine/lines.cpp" "$engine/port.cpp"
}

# i2c-tools and its library from their package files, with the C library
# they load from this machine.
add_i2c_tools() {
  local deb dir="$WORK/i2c-tools"
  if [ ! -x "$dir/usr/sbin/i2cdump" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get download -q i2c-tools libi2c0) || fail "apt-get download i2c-tools libi2c0 failed"
    for deb in "$dir"/*.deb; do dpkg-deb -x "$deb" "$dir"; done
  fi
  mkdir -p "$ROOT/usr/sbin" "$ROOT/lib64" "$ROOT/lib/x86_64-linux-gnu"
  cp "$dir"/usr/sbin/i2cdump "$dir"/usr/sbin/i2cset "$dir"/usr/sbin/i2ctransfer "$ROOT/usr/sbin/"
  cp -L "$dir"/usr/lib/x86_64-linux-gnu/libi2c.so.0 "$ROOT/lib/x86_64-linux-gnu/"
  cp -L /lib/x86_64-linux-gnu/libc.so.6 "$ROOT/lib/x86_64-linux-gnu/"
  cp -L /lib64/ld-linux-x86-64.so.2 "$ROOT/lib64/"
}

write_init() {
  cat > "$ROOT/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /sys /dev /tmp
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
for m in i2c-smbus i2c-i801 i2c-dev at24; do insmod /modules/$m.ko || echo "insmod $m failed"; done
/i2c_guest
echo "i2c_guest exit code: $?"
poweroff -f
INIT
  chmod 755 "$ROOT/init"
}

make_initramfs() {
  ROOT="$WORK/root"
  rm -rf "$ROOT"
  mkdir -p "$ROOT/bin" "$ROOT/modules"
  cp /bin/busybox "$ROOT/bin/busybox"
  for module in i2c-smbus i2c-i801 i2c-dev at24; do add_module "$module"; done
  add_i2c_tools
  cp "$WORK/i2c_guest" "$ROOT/i2c_guest"
  write_init
  pack_initramfs initrd-i2c.gz
}

main() {
  mkdir -p "$WORK"
  install_packages
  find_kernel
  build_guest
  make_initramfs
  local log="$WORK/console-i2c.log" status=0
  timeout "$GUEST_TIMEOUT" qemu-system-x86_64 -M q35 -accel tcg -m 256 -nographic -no-reboot \
    -kernel "$KERNEL" -initrd "$WORK/initrd-i2c.gz" -append "console=ttyS0 quiet panic=-1" \
    < /dev/null 2>&1 | tr -d '\r' > "$log" || status=$?
  cat "$log"
  [ "$status" -ne 124 ] || fail "the guest did not power off within $GUEST_TIMEOUT s"
  [ "$status" -eq 0 ] || fail "qemu-system-x86_64 ended with status $status"
  grep -Eq '^[0-9]+ passed, 0 failed$' "$log" || fail "no summary line with 0 failed in $log"
  grep -qx 'i2c_guest exit code: 0' "$log" || fail "the guest program did not exit with 0"
}

main
