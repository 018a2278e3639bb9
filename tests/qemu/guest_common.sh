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
