# Sourced by the scripts that boot a stock Debian kernel in QEMU: the
# packages, the kernel unpacked from its package file (nothing installed in
# /boot), and modules copied into an initramfs. The caller sets SOURCES and
# WORK and defines fail().

SKIP=77

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

# Copies module NAME into $ROOT/modules as a plain .ko: busybox's insmod
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

# Packs $ROOT into $WORK/$1.
pack_initramfs() {
  (cd "$ROOT" && find . | cpio -o -H newc --quiet) | gzip -1 > "$WORK/$1"
}

# A fresh $ROOT ($WORK/root) with busybox and the modules named.
start_initramfs() {
  local module
  ROOT="$WORK/root"
  rm -rf "$ROOT"
  mkdir -p "$ROOT/bin" "$ROOT/modules"
  cp /bin/busybox "$ROOT/bin/busybox"
  for module in "$@"; do add_module "$module"; done
}

# The guest's init: mounts the kernel's file systems, loads the modules named
# after the program (in that order), runs /PROGRAM and powers off.
write_init() {
  local program=$1
  shift
  cat > "$ROOT/init" <<INIT
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /sys /dev /tmp /run
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
for m in $*; do insmod /modules/\$m.ko || echo "insmod \$m failed"; done
/$program
echo "$program exit code: \$?"
poweroff -f
INIT
  chmod 755 "$ROOT/init"
}

# Debian's i2c-tools named (i2cdump, i2ctransfer...) and their library, from
# their package files, with the C library they load from this machine. In
# the guest they are called by their full path: busybox has applets of the
# same names.
add_i2c_tools() {
  local deb tool dir="$WORK/i2c-tools"
  if [ ! -x "$dir/usr/sbin/i2ctransfer" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get download -q i2c-tools libi2c0) || fail "apt-get download i2c-tools libi2c0 failed"
    for deb in "$dir"/*.deb; do dpkg-deb -x "$deb" "$dir"; done
  fi
  mkdir -p "$ROOT/usr/sbin" "$ROOT/lib64" "$ROOT/lib/x86_64-linux-gnu"
  for tool in "$@"; do cp "$dir/usr/sbin/$tool" "$ROOT/usr/sbin/"; done
  cp -L "$dir"/usr/lib/x86_64-linux-gnu/libi2c.so.0 "$ROOT/lib/x86_64-linux-gnu/"
  cp -L /lib/x86_64-linux-gnu/libc.so.6 "$ROOT/lib/x86_64-linux-gnu/"
  cp -L /lib64/ld-linux-x86-64.so.2 "$ROOT/lib64/"
}

# Boots the kernel with $WORK/INITRD (QEMU options after the log's name) and
# keeps the console in $WORK/LOG; fails unless the guest powered off within
# $GUEST_TIMEOUT s and PROGRAM passed every check and exited with 0.
boot_guest() {
  local initrd=$1 program=$2 log="$WORK/$3" status=0
  shift 3
  timeout "$GUEST_TIMEOUT" qemu-system-x86_64 -accel tcg -nographic -no-reboot "$@" \
    -kernel "$KERNEL" -initrd "$WORK/$initrd" -append "console=ttyS0 quiet panic=-1" \
    < /dev/null 2>&1 | tr -d '\r' > "$log" || status=$?
  cat "$log"
  [ "$status" -ne 124 ] || fail "the guest did not power off within $GUEST_TIMEOUT s"
  [ "$status" -eq 0 ] || fail "qemu-system-x86_64 ended with status $status"
  grep -Eq '^[0-9]+ passed, 0 failed$' "$log" || fail "no summary line with 0 failed in $log"
  grep -qx "$program exit code: 0" "$log" || fail "the guest program did not exit with 0"
}

# The program $WORK/NAME as /NAME in $ROOT, and every shared library it
# loads, at the same paths.
add_program() {
  local name=$1 lib
  cp "$WORK/$name" "$ROOT/$name"
  for lib in $(ldd "$WORK/$name" | grep -o '/[^ ]*'); do
    mkdir -p "$ROOT$(dirname "$lib")"
    cp -L "$lib" "$ROOT$lib"
  done
}

# The zorbix32-cli named by the script's second argument (the test passes the
# one CMake built), or one built here with CMake, as $WORK/zorbix32-cli.
find_cli() {
  local cli=${1:-}
  if [ -z "$cli" ]; then
    cmake -S "$SOURCES" -B "$WORK/build-cli" -DCMAKE_BUILD_TYPE=Release -DZORBIX_BUILD_TESTS=OFF \
      -DZORBIX_BUILD_BENCH=OFF >/dev/null || fail "configuring zorbix32-cli failed"
    cmake --build "$WORK/build-cli" -j2 --target zorbix32-cli >/dev/null || fail "building zorbix32-cli failed"
    cli="$WORK/build-cli/cli/zorbix32-cli"
  fi
  [ -x "$cli" ] || fail "no zorbix32-cli at $cli"
  cp "$cli" "$WORK/zorbix32-cli"
}
