#!/usr/bin/env bash
# The real parallel-port backends against the real Linux drivers: boots the
# installed Debian kernel in QEMU (software emulation) with emulated ports at
# 0x378 and 0x278, runs tests/qemu/parport_guest inside it, twice, once with
# each port order, and fails on any failed check, a missing result or a
# timeout. Exit code 77 (skipped) only where QEMU cannot run at all.
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

# The newest kernel under /boot whose modules hold the parport drivers.
find_kernel() {
  local image version
  for image in $(ls -v /boot/vmlinuz-* 2>/dev/null | sort -rV); do
    version=${image#/boot/vmlinuz-}
    if [ -n "$(find "/lib/modules/$version" -name 'ppdev.ko*' 2>/dev/null)" ]; then
      [ -r "$image" ] || fail "$image is readable only by root: run this test as root"
      KERNEL=$image
      KVER=$version
      return
    fi
  done
  fail "no kernel with the parport modules under /boot and /lib/modules (package linux-image-amd64)"
}

build_guest() {
  local engine="$SOURCES/engine"
  g++ -std=c++17 -O2 -Wall -Wextra -static -I"$SOURCES" -o "$WORK/parport_guest" \
    "$SOURCES"/tests/qemu/*.cpp "$engine/port.cpp" "$engine/lines.cpp" "$engine/chips.cpp" \
    "$engine"/backends/*.cpp "$engine"/sim/*.cpp \
    "$SOURCES"/fileio/*.cpp
}

# Copies module NAME into the initramfs as a plain .ko: busybox's insmod
# loads no compressed module.
add_module() {
  local name=$1 file
  file=$(find "/lib/modules/$KVER" -name "$name.ko*" | head -n 1)
  [ -n "$file" ] || fail "module $name not found under /lib/modules/$KVER"
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
for module in parport parport_pc ppdev; do
  insmod /modules/$module.ko || echo "insmod $module failed"
done
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

# Boots with the two ports in the order given (iobase,irq pairs) and checks
# the console log for the guest's summary and exit code.
run_guest() {
  local log="$WORK/console-$1.log" devices=() i=0 port
  shift
  for port in "$@"; do
    devices+=(-chardev "null,id=p$i" -device "isa-parallel,chardev=p$i,iobase=${port%,*},irq=${port#*,}")
    i=$((i + 1))
  done
  echo "== Guest with ports in the order: $*"
  local status=0
  timeout "$GUEST_TIMEOUT" qemu-system-x86_64 -accel tcg -m 256 -nographic -no-reboot \
    -kernel "$KERNEL" -initrd "$WORK/initrd.gz" -append "console=ttyS0 quiet panic=-1" \
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
  run_guest 378-first 0x378,7 0x278,5
  run_guest 278-first 0x278,5 0x378,7
  echo "Both guests passed; benchmark lines:"
  grep -h '^bench:' "$WORK"/console-*.log
}

main
