#!/bin/bash
# Builds the Debian package, then installs it the strict way: with apt, in a
# bare Debian 12 root made by debootstrap (--variant=minbase), so that every
# dependency the package forgets shows. There it programs, reads and compares
# a simulated chip with zorbix32-cli, and starts zorbix32 on Qt's offscreen
# platform. Takes minutes; needs root (debootstrap, chroot) and a Debian
# mirror (the first argument, deb.debian.org by default).
#
# Usage: bash scripts/test_debian_package.sh [mirror]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
[ "$(id -u)" -eq 0 ] || { echo "debootstrap et chroot demandent les droits root." >&2; exit 2; }

cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DZORBIX_BUILD_TESTS=OFF -DZORBIX_BUILD_BENCH=OFF
cmake --build build-deb -j"$(nproc)"
rm -f build-deb/zorbix32_*.deb
(cd build-deb && cpack -G DEB)
paquet=$(ls build-deb/zorbix32_*_amd64.deb)
dpkg-deb -I "$paquet"

racine=$(mktemp -d /var/tmp/zorbix32-debian-XXXXXX)
nettoyer() {
  umount "$racine/proc" 2>/dev/null || true
  rm -rf --one-file-system "$racine"
}
trap nettoyer EXIT
debootstrap --variant=minbase bookworm "$racine" "${1:-http://deb.debian.org/debian}"
mount -t proc proc "$racine/proc"
cp "$paquet" "$racine/tmp/"
chroot "$racine" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$paquet")"

chroot "$racine" /bin/bash -euo pipefail <<'CONTROLES'
cd /tmp
echo "--- zorbix32-cli contre le simulateur"
export ZORBIX_SIMULATION=LPT1:24C16=/tmp/puce.bin
for i in $(seq 0 2047); do printf "\\x$(printf %02x $(( (i * 37 + 11) % 256 )))"; done > image.bin
zorbix32-cli --version
zorbix32-cli programmer --puce 24C16 image.bin
cmp image.bin puce.bin
zorbix32-cli lire --puce 24c16 copie.hex
head -n 1 copie.hex | grep -q '^:10000000'
zorbix32-cli comparer --puce 24C16 image.bin
set +e
zorbix32-cli programmer --puce 24C17 image.bin 2>/dev/null
code=$?
set -e
[ "$code" -eq 2 ]
[ "$(zorbix32-cli detecter)" = 'Le programmateur a été détecté sur LPT1 (à l'"'"'adresse $378)...' ]
unset ZORBIX_SIMULATION

echo "--- ce que le paquet installe"
ls /usr/share/man/man1/zorbix32-cli.1*
ls /usr/share/applications/zorbix32.desktop /usr/share/mime/packages/zorbix32.xml
dpkg-query -W -f='${Conffiles}\n' zorbix32 | grep -q '/etc/zorbix32/ZORBIXLG.INI'

echo "--- zorbix32 sur la plate-forme offscreen"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/runtime ZORBIX_SIMULATION=LPT1:24C16
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
set +e
timeout 5 zorbix32 >fenetre.log 2>&1
code=$?
set -e
cat fenetre.log
# Still running when the time ran out: it started and waits for the user.
[ "$code" -eq 124 ]
! grep -Eqi 'could not (load|find)|cannot load|failed to load|no Qt platform plugin' fenetre.log
CONTROLES
echo "Paquet Debian : installé par apt dans une Debian 12 nue, zorbix32-cli et zorbix32 y fonctionnent."
