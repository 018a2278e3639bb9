#!/usr/bin/env bash
# The real parallel-port backends against the real Linux drivers: boots a
# stock Debian kernel in QEMU (software emulation) with emulated ports at
# 0x378, 0x278 and 0xDC00 (where a PCI card's port might sit), runs
# tests/qemu/parport_guest inside it, twice, once with each port order (so
# the kernel numbers them differently), and fails on any failed check, a
# missing result or a timeout. Exit code 77 (skipped) only where QEMU cannot
# run at all.
#
# The kernel and its modules come from the Debian package file, unpacked in
# the work folder: nothing is installed in /boot of the machine running this.
#
# Usage: run_guest.sh [work-dir]   (default: a new temporary folder)
set -euo pipefail

SOURCES=$(cd "$(dirname "$0")/../.." && pwd)
WORK=${1:-$(mktemp -d "${TMPDIR:-/tmp}/zorbix-qemu.XXXXXX")}
GUEST_TIMEOUT=120

fail() { echo "FAILED: $*" >&2; exit 1; }
. "$SOURCES/tests/qemu/guest_common.sh"

# Linked with the whole engine, as the programs are: the port set-up knows
# every kind of adapter. libusb has no static build in Debian, so the program
# takes its shared libraries into the guest.
build_guest() {
  local e="$SOURCES/engine"
  # shellcheck disable=SC2046
  g++ -std=c++17 -O2 -Wall -Wextra -I"$SOURCES" -o "$WORK/parport_guest" \
    "$SOURCES"/tests/qemu/parport_guest.cpp "$SOURCES"/tests/qemu/guest_system.cpp \
    "$e"/*.cpp "$e"/backends/*.cpp "$e"/sim/*.cpp "$e"/usb/*.cpp "$e"/i2c/*.cpp "$SOURCES"/fileio/*.cpp \
    $(pkg-config --cflags --libs libusb-1.0) -pthread
}

write_init() {
  cat > "$ROOT/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /sys /dev /tmp
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
# parport_pc probes exactly the addresses given, in that order (which sets
# the parportN numbers), without interrupts; the ECP registers it looks for
# at base + 0x400 are absent in QEMU.
io=$(sed -n 's/.*zorbix_io=\([^ ]*\).*/\1/p' /proc/cmdline)
irq=$(echo "$io" | sed 's/[^,]*/none/g')
insmod /modules/parport.ko || echo "insmod parport failed"
insmod /modules/parport_pc.ko io=$io irq=$irq || echo "insmod parport_pc failed"
insmod /modules/ppdev.ko || echo "insmod ppdev failed"
/parport_guest
echo "parport_guest exit code: $?"
poweroff -f
EOF
  chmod 755 "$ROOT/init"
}

make_initramfs() {
  ROOT="$WORK/root"
  rm -rf "$ROOT"
  mkdir -p "$ROOT/bin" "$ROOT/modules"
  cp /bin/busybox "$ROOT/bin/busybox"
  for module in parport parport_pc ppdev; do add_module "$module"; done
  add_program parport_guest
  write_init
  (cd "$ROOT" && find . | cpio -o -H newc --quiet) | gzip -1 > "$WORK/initrd.gz"
}

# Boots with the ports (iobase,irq pairs) probed in the order given and
# checks the console log for the guest's summary and exit code.
run_guest() {
  local log="$WORK/console-$1.log" devices=() i=0 port io=""
  shift
  for port in "$@"; do
    devices+=(-chardev "null,id=p$i" -device "isa-parallel,chardev=p$i,iobase=${port%,*},irq=${port#*,}")
    io="$io${io:+,}${port%,*}"
    i=$((i + 1))
  done
  echo "== Guest with ports in the order: $*"
  local status=0
  timeout "$GUEST_TIMEOUT" qemu-system-x86_64 -accel tcg -m 256 -nographic -no-reboot \
    -kernel "$KERNEL" -initrd "$WORK/initrd.gz" -append "console=ttyS0 quiet panic=-1 zorbix_io=$io" \
    -parallel none "${devices[@]}" < /dev/null 2>&1 | tr -d '\r' > "$log" || status=$?
  cat "$log"
  [ "$status" -ne 124 ] || fail "the guest did not power off within $GUEST_TIMEOUT s"
  [ "$status" -eq 0 ] || fail "qemu-system-x86_64 ended with status $status"
  grep -Eq '^[0-9]+ passed, 0 failed$' "$log" || fail "no summary line with 0 failed in $log"
  grep -qx 'parport_guest exit code: 0' "$log" || fail "the guest program did not exit with 0"
}

main() {
  mkdir -p "$WORK"
  install_packages
  need_packages libusb-1.0-0-dev pkg-config || echo "Installation des paquets impossible." >&2
  find_kernel
  echo "Kernel: $KERNEL"
  build_guest
  make_initramfs
  run_guest 378-first 0x378,7 0x278,5 0xdc00,3
  run_guest dc00-first 0xdc00,3 0x278,5 0x378,7
  # The extra port had another number in each guest and was found by its address both times.
  [ "$(grep -h '^kernel: 0xDC00 is parport' "$WORK"/console-*.log | sort -u | wc -l)" -eq 2 ] ||
    fail "0xDC00 did not get a different parport number in the two guests"
  echo "Both guests passed; benchmark lines:"
  grep -h '^bench:' "$WORK"/console-*.log
}

main
