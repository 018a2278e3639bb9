#!/bin/bash
# Builds the two Debian packages with the distribution's hardening flags,
# checks them with lintian (no error, no warning), then installs them the
# strict way: with apt, in a bare Debian 12 root made by debootstrap
# (--variant=minbase), so that every dependency a package forgets shows.
# There zorbix32-cli, installed alone, must bring no Qt and program, read and
# compare a simulated chip; then zorbix32 must start on Qt's offscreen
# platform. Takes minutes; needs root (debootstrap, chroot) and a Debian
# mirror (the first argument, deb.debian.org by default).
#
# Usage: bash scripts/test_debian_package.sh [mirror]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/debian_root.sh
need_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
[ "$(id -u)" -eq 0 ] || { echo "debootstrap et chroot demandent les droits root." >&2; exit 2; }
debut=$SECONDS

# Debian's hardening flags, all of them (bindnow and PIE included).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DZORBIX_BUILD_TESTS=OFF -DZORBIX_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build-deb -j2
rm -f build-deb/*.deb
(cd build-deb && cpack -G DEB)
cli=$(ls build-deb/zorbix32-cli_*_amd64.deb)
fenetre=$(ls build-deb/zorbix32_*_amd64.deb)
for paquet in "$cli" "$fenetre"; do dpkg-deb -I "$paquet"; dpkg-deb -c "$paquet"; done
if dpkg-deb -f "$cli" Depends | grep -qi qt; then
  echo "zorbix32-cli dépend de Qt : $(dpkg-deb -f "$cli" Depends)" >&2
  exit 1
fi

echo "--- lintian"
lintian --pedantic --display-info --fail-on error,warning "$cli" "$fenetre"
echo "--- paquets construits et vérifiés en $((SECONDS - debut)) s"

racine_debian "${1:-}"
cp "$cli" "$fenetre" "$racine/tmp/"
cli=/tmp/$(basename "$cli")
fenetre=/tmp/$(basename "$fenetre")

echo "--- zorbix32-cli seul"
dans_racine env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$cli"
dans_racine /bin/bash -euo pipefail <<'CONTROLES'
cd /tmp
if dpkg-query -W -f='${Package}\n' | grep -i qt || ldd /usr/bin/zorbix32-cli | grep -i qt; then
  echo "zorbix32-cli a fait installer Qt ou en dépend." >&2
  exit 1
fi
ls /usr/share/man/man1/zorbix32-cli.1.gz /usr/share/doc/zorbix32-cli/copyright
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
CONTROLES

echo "--- zorbix32"
dans_racine env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$fenetre"
dans_racine /bin/bash -euo pipefail <<'CONTROLES'
cd /tmp
ls /usr/share/man/man1/zorbix32.1.gz /usr/share/doc/zorbix32/copyright /usr/share/doc/zorbix32/changelog.Debian.gz
ls /usr/share/applications/zorbix32.desktop /usr/share/mime/packages/zorbix32.xml
dpkg-query -W -f='${Conffiles}\n' zorbix32 | grep -q '/etc/zorbix32/ZORBIXLG.INI'
# The icon the desktop entry names, if it names one, is the window's package's.
icone=$(sed -n 's/^Icon=//p' /usr/share/applications/zorbix32.desktop)
if [ -n "$icone" ]; then
  dpkg-query -L zorbix32 | grep "^/usr/share/icons/hicolor/.*/apps/$icone\."
fi

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
echo "Paquets Debian ($((SECONDS - debut)) s) : sans erreur ni avertissement de lintian, installés par apt dans une" \
  "Debian 12 nue, zorbix32-cli sans Qt, zorbix32-cli et zorbix32 y fonctionnent."
