#!/bin/bash
# The real program on a real X server with a reparenting window manager (Xvfb
# and openbox), over a simulated 24C16, with a private HOME. Three runs check
# what the offscreen platform cannot show:
#   1. no settings: the whole frame on the screen at (5,5); a middle-click
#      paste into the hex entry box is refused; the byte typed is programmed;
#      the window is moved; SIGTERM writes the settings and the chip's file.
#   2. the frame reopens where it was left; the wiring diagram copied to the
#      clipboard is read back as PNG by xclip; SIGINT, with the diagram and a
#      message box open, still closes the program cleanly.
#   3. the frame is still there; "Quitter" (Ctrl+Q) stores it again.
# Exit code 77 (skipped) only when the tools are missing or Xvfb cannot start.
# Usage: desktop_test.sh path/to/zorbix32
set -u
PROGRAMME=$1
IGNORE=77
ATTENTE=60  # seconds any one wait may take on a busy machine

for outil in Xvfb openbox xdotool xclip xprop xwininfo; do
  command -v "$outil" >/dev/null || { echo "SKIP: $outil is not installed"; exit $IGNORE; }
done

TMP=$(mktemp -d)
PIDS=()
nettoyer() {
  local p
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$TMP"
}
trap nettoyer EXIT

echec() { echo "FAIL: $*"; exit 1; }

# Polls `commande` every 0.1 s until it succeeds, for at most ATTENTE seconds.
attendre() {
  local fin=$((SECONDS + ATTENTE))
  until "$@"; do
    [ $SECONDS -lt $fin ] || return 1
    sleep 0.1
  done
}

# --- The desktop: Xvfb on a free display, openbox, a private session. ---
export HOME=$TMP/home XDG_RUNTIME_DIR=$TMP/run XDG_CONFIG_HOME=$TMP/home/.config
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM XDG_DATA_HOME WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$TMP/ecran" 2>"$TMP/xvfb.log" &
PIDS+=($!)
numero_ecrit() { [ -s "$TMP/ecran" ] || ! kill -0 "${PIDS[0]}" 2>/dev/null; }
attendre numero_ecrit
[ -s "$TMP/ecran" ] || { echo "SKIP: Xvfb cannot start: $(tail -3 "$TMP/xvfb.log")"; exit $IGNORE; }
export DISPLAY=:$(head -1 "$TMP/ecran")
openbox >"$TMP/openbox.log" 2>&1 &
PIDS+=($!)
gestionnaire_pret() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
attendre gestionnaire_pret || echec "openbox did not start: $(tail -3 "$TMP/openbox.log")"

PUCE=$HOME/puce.bin
REGLAGES=$XDG_CONFIG_HOME/KELVANO/TRAMEX.reg

# --- The program. ---
demarrer() {
  ZORBIX_SIMULATION="LPT1:24C16=$PUCE" "$PROGRAMME" >"$TMP/programme.log" 2>&1 &
  PID=$!
  PIDS+=($PID)
  FENETRE=$(timeout $ATTENTE xdotool search --all --sync --onlyvisible --pid $PID --name '^ Programmateur de m') ||
    echec "the main window did not appear; visible: $(xdotool search --onlyvisible --name . getwindowname %@ 2>&1)"
  FENETRE=$(echo "$FENETRE" | head -1)
  attendre cadre_connu || echec "openbox did not frame the window"
  xdotool windowactivate --sync "$FENETRE" || echec "the main window could not be activated"
}

# The frame's extents (left, top), once openbox has set them.
cadre_connu() { xprop -id "$FENETRE" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }

# Prints the outer frame's top-left corner, "x y".
cadre() {
  local x y gauche haut
  x=$(xwininfo -id "$FENETRE" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$FENETRE" | awk '/Absolute upper-left Y/ {print $4}')
  read -r gauche _ haut _ < <(xprop -id "$FENETRE" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo "$((x - gauche)) $((y - haut))"
}

# Waits until the frame is at "x y" (the window manager places it on its own time).
cadre_en() { [ "$(cadre)" = "$1" ]; }
attendre_cadre() { attendre cadre_en "$1" || echec "$2: frame at ($(cadre)), expected ($1)"; }

# Waits for the program to end and checks its exit code.
fin_attendue() {
  local fin=$((SECONDS + ATTENTE))
  while kill -0 $PID 2>/dev/null; do
    [ $SECONDS -lt $fin ] || echec "$1: the program did not end"
    sleep 0.1
  done
  wait $PID
  local code=$?
  [ $code -eq 0 ] || echec "$1: exit code $code"
}

# The stored origin, "x y" (32-bit values, the negative ones too).
origine_stockee() {
  local x y
  x=$(sed -n 's/^"X_origine"=dword:\([0-9a-f]*\).*/\1/p' "$REGLAGES")
  y=$(sed -n 's/^"Y_origine"=dword:\([0-9a-f]*\).*/\1/p' "$REGLAGES")
  [ -n "$x" ] && [ -n "$y" ] || return 1
  x=$((16#$x)); y=$((16#$y))
  [ $x -ge $((1 << 31)) ] && x=$((x - (1 << 32)))
  [ $y -ge $((1 << 31)) ] && y=$((y - (1 << 32)))
  echo "$x $y"
}

# Clicks button $3 at ($1, $2) of the main window.
cliquer() { xdotool mousemove --sync --window "$FENETRE" "$1" "$2" click "$3"; }

# Waits for a box titled by `motif` (a regular expression) and returns its id.
boite() {
  local trouvees
  trouvees=$(timeout $ATTENTE xdotool search --all --sync --onlyvisible --pid $PID --name "$1") || return 1
  echo "$trouvees" | head -1
}

# --- Run 1. ---
demarrer
attendre_cadre "5 5" "first run, no settings"
# The hex box holds the byte at 0 once Enter is pressed in the grid; two
# digits typed, then the X selection "1234" middle-clicked into the box.
hauteur=$(xwininfo -id "$FENETRE" | awk '/Height:/ {print $2}')
barre=$((hauteur - 403))  # the menu bar over the fixed client area
xdotool key --window "$FENETRE" Return a b
printf 1234 | xclip -quiet -selection primary 2>/dev/null &  # serves until the test ends
PIDS+=($!)
selection_prete() { [ "$(xclip -selection primary -o 2>/dev/null)" = 1234 ]; }
attendre selection_prete || echec "the X selection could not be set"
cliquer 338 $((barre + 388)) 2
xdotool key --window "$FENETRE" Return ctrl+m
programmee=$(boite '^Programmation de la m') || echec "no box after programming"
xdotool windowactivate --sync "$programmee" key Return
xdotool windowmove --sync "$FENETRE" 300 300
attendre_cadre "300 300" "after the move"
kill -TERM $PID
fin_attendue "SIGTERM"
[ "$(origine_stockee)" = "300 300" ] || echec "SIGTERM: stored origin ($(origine_stockee)), expected (300 300)"
[ "$(od -An -tx1 -N2 "$PUCE" | tr -d ' ')" = abff ] ||
  echec "SIGTERM: chip file starts with $(od -An -tx1 -N2 "$PUCE"), expected ab ff (the middle-click pasted?)"
[ "$(stat -c %s "$PUCE")" = 2048 ] || echec "the chip file does not hold a 24C16"

# --- Run 2. ---
demarrer
attendre_cadre "300 300" "second run"
# The toolbar's button rather than Ctrl+E: a key sent by xdotool can stay
# pressed in Xvfb and reach the next run.
cliquer 558 $((barre + 21)) 1
schema=$(boite 'EEPROMs I2C :$') || echec "the wiring diagram did not open"
xdotool mousemove --sync --window "$schema" 324 319 click 1  # "Copier (presse-papier)"
boite '^Sch.*lectrique\.\.\.$' >/dev/null || echec "no box after the copy"
image_copiee() { xclip -selection clipboard -t image/png -o >"$TMP/schema.png" 2>"$TMP/xclip.log"; }
attendre image_copiee || echec "xclip could not read the diagram: $(cat "$TMP/xclip.log")"
[ "$(head -c 8 "$TMP/schema.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
  echec "the clipboard does not hold a PNG image"
[ "$(od -An -tu1 -j16 -N8 "$TMP/schema.png" | awk '{print $3*256+$4, $7*256+$8}')" = "541 339" ] ||
  echec "the clipboard's image is not the 541 x 339 diagram"
kill -INT $PID
fin_attendue "SIGINT with the diagram and a box open"
[ "$(origine_stockee)" = "300 300" ] || echec "SIGINT: stored origin ($(origine_stockee))"

# --- Run 3. ---
demarrer
attendre_cadre "300 300" "third run"
xdotool key --window "$FENETRE" ctrl+q
fin_attendue "Quitter"
[ "$(origine_stockee)" = "300 300" ] || echec "Quitter: stored origin ($(origine_stockee))"
echo "PASS"
