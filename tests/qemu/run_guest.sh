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
SKIP=77

fail() { echo "FAILED: $*" >&2; exit 1; }

install_packages() {
  . "$SOURCES/scripts/packages.sh"
  need_packages "${QEMU_PACKAGES[@]}" || echo "Installation des paquets de QEMU impossible." >&2
  if ! command -v qemu-system-x86_64 >/dev/null || ! qemu-system-x86_64 --version >/dev/null 2>&1; then
    echo "SKIPPED: qemu-system-x86_64 is missing or cannot execute here." >&2
    exit $SKIP
  fi
}

# The kernel package linux-image-amd64 points to today, downloaded (not
# installed) and unpacked under $WORK/kernel once.
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
  (cd "$WORK/kernel" && { apt-get download -q "$package" || { apt-get update -qq && apt-get download -q "$package"; }; }) ||
    fail "apt-get download $package failed"
  deb=$(ls "$WORK"/kernel/"$package"_*.deb | head -n 1)
  dpkg-deb -x "$deb" "$KERNEL_ROOT" || fail "dpkg-deb -x $deb failed"
  rm -f "$deb"
  [ -r "$KERNEL" ] || fail "no $KERNEL in $package"
}

build_guest() {
  local engine="$SOURCES/engine"
  g++ -std=c++17 -O2 -Wall -Wextra -static -I"$SOURCES" -o "$WORK/parport_guest" \
    "$SOURCES"/tests/qemu/*.cpp "$engine/port.cpp" "$engine/port_claim.cpp" "$engine/lines.cpp" \
    "$engine/chips.cpp" \
    "$engine"/backends/*.cpp "$engine"/sim/*.cpp \
    "$SOURCES"/fileio/*.cpp
}

# Copies module NAME into the initramfs as a plain .ko: busybox's insmod
# loads no compressed module.
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
  cp "$WORK/parport_guest" "$ROOT/parport_guest"
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
