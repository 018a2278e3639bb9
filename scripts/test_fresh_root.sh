#!/bin/bash
# Runs the README's two commands where a new user would first meet them: in a
# bare Debian 12 root made by debootstrap (--variant=minbase), on a clone of
# this repository's committed HEAD. There `bash scripts/run.sh` must build the
# program and start it (offscreen, stopped after a few seconds), and
# `bash scripts/test.sh` must install what it needs and pass. A package that
# the scripts forget to install shows here and nowhere else. Takes long (the
# whole build and test suite on a bare system); needs root (debootstrap,
# chroot, mounts) and a Debian mirror (the first argument, deb.debian.org by
# default). Not part of the test command.
#
# Usage: bash scripts/test_fresh_root.sh [mirror]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/debian_root.sh
need_packages "${PACKAGE_PACKAGES[@]}" git
[ "$(id -u)" -eq 0 ] || { echo "debootstrap, chroot et mount demandent les droits root." >&2; exit 2; }
debut=$SECONDS
version=$(git rev-parse HEAD)

racine_debian "${1:-}"
git clone -q --no-hardlinks "$PWD" "$racine/root/zorbix32"
git -C "$racine/root/zorbix32" checkout -q --detach "$version"
echo "--- Debian 12 nue prête en $((SECONDS - debut)) s ; dépôt à $version"

# The run command: the build, then the window on the offscreen platform. It
# has started when run.sh hands over to it (its message on a machine with no
# adapter at all) and is still running a few seconds later; SIGTERM then
# closes it as "Quitter" does, with code 0. Whatever the program says is
# searched for Qt's loading failures (cmake's own "Could NOT find" lines come
# before it).
etape=$SECONDS
dans_racine timeout 3600 /bin/bash -euo pipefail <<'LANCEMENT'
cd /root/zorbix32
QT_QPA_PLATFORM=offscreen bash scripts/run.sh > /root/run.log 2>&1 < /dev/null &
programme=$!
until grep -q '^Ni port parallèle' /root/run.log || ! kill -0 "$programme" 2>/dev/null; do sleep 2; done
sleep 10
if ! kill -0 "$programme" 2>/dev/null; then
  tail -n 40 /root/run.log
  echo "scripts/run.sh s'est arrêté avant que la fenêtre n'attende l'utilisateur." >&2
  exit 1
fi
kill -TERM "$programme"
code=0
wait "$programme" || code=$?
sed -n '/^Ni port parallèle/,$p' /root/run.log
if sed -n '/^Ni port parallèle/,$p' /root/run.log |
    grep -Eqi 'could not (load|find)|cannot load|failed to load|no Qt platform plugin'; then
  echo "zorbix32 n'a pas trouvé tout ce qu'il charge à l'exécution." >&2
  exit 1
fi
[ "$code" -eq 0 ] || { echo "zorbix32 a fini par le code $code après SIGTERM." >&2; exit 1; }
LANCEMENT
echo "--- scripts/run.sh : construit, démarré et fermé par SIGTERM en $((SECONDS - etape)) s"

# The test command, as CI runs it.
etape=$SECONDS
dans_racine /bin/bash -c 'cd /root/zorbix32 && bash scripts/test.sh'
echo "--- scripts/test.sh : réussi en $((SECONDS - etape)) s"
echo "Debian 12 nue : les deux commandes du README y réussissent ($((SECONDS - debut)) s en tout)."
