# Sourced by test_debian_package.sh and test_fresh_root.sh: a bare Debian 12
# root, made by debootstrap --variant=minbase (what `apt-get install` and the
# README's commands meet on a machine that has nothing else), with the kernel's
# file systems mounted in it for as long as the calling script runs.
#
#   racine_debian [mirror]   makes the root in $racine and mounts /proc, /sys,
#                            /dev (with /dev/pts), a /dev/shm and a /tmp of its
#                            own; everything is unmounted and the root removed
#                            when the script exits, however it exits.
#   dans_racine COMMAND...   runs COMMAND as root in the root, with the
#                            environment of a fresh login (no variable of the
#                            caller's leaks in).

racine=

liberer_racine() {
  [ -n "$racine" ] && [ -d "$racine" ] || return 0
  local point
  # Innermost first; a mount that resists is unmounted lazily so that the
  # removal below never walks into the machine's own /dev or /sys.
  for point in $(findmnt -rn -o TARGET | grep "^$racine/" | sort -r); do
    umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
  done
  if findmnt -rn -o TARGET | grep -q "^$racine/"; then
    echo "Des montages restent sous $racine : il n'est pas supprimé." >&2
    return 1
  fi
  rm -rf --one-file-system "$racine"
}

racine_debian() {
  racine=$(mktemp -d /var/tmp/zorbix32-debian-XXXXXX)
  # The root's "/" as a system has it: mktemp's 0700 would stop every user
  # but root at the first step of any path.
  chmod 755 "$racine"
  trap liberer_racine EXIT
  trap 'exit 130' INT TERM
  debootstrap --variant=minbase bookworm "$racine" "${1:-http://deb.debian.org/debian}"
  mount -t proc proc "$racine/proc"
  mount --rbind /sys "$racine/sys"
  mount --make-rslave "$racine/sys"
  mount --rbind /dev "$racine/dev"
  mount --make-rslave "$racine/dev"
  # Not the machine's: what the tests leave there stays in the root.
  mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$racine/dev/shm"
  mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$racine/tmp"
  # Name resolution for apt, as the machine has it.
  cp -L /etc/resolv.conf "$racine/etc/resolv.conf"
}

dans_racine() {
  chroot "$racine" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}
