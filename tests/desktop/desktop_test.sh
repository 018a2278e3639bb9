#!/bin/bash
# The real program on a real X server with a reparenting window manager (Xvfb
# and openbox), over a simulated 24C16, with a private HOME. Five runs check
# what the offscreen platform cannot show:
#   1. no settings: the whole frame on the screen at (5,5); a middle-click
#      paste into the hex entry box is refused; the byte typed is programmed;
#      the window is moved; SIGTERM writes the settings and the chip's file.
#   2. the frame reopens where it was left; the wiring diagram copied to the
#      clipboard is read back as PNG by xclip; SIGINT, with the diagram and a
#      message box open, still closes the program cleanly.
#   3. the frame is still there; "Quitter" (Ctrl+Q) stores it again.
#   4. the frame offers no maximise, every window has the icon, an
#      information window asks for no close box; the port test window is
#      centred, frame included, at each of three showings and Enter on its
#      return button closes it; after the save dialog's overwrite question,
#      answered with the mouse, the window is active and its grid takes the
#      keys again.
#   5. with a screen reader's view through AT-SPI: the grid's focus ends on
#      the byte's cell, described by its address, when Tab wraps to it and
#      after an edit; the status box's text is announced as a read starts
#      and as it ends.
# Exit code 77 (skipped) only when the tools are missing or Xvfb cannot start.
# Usage: desktop_test.sh path/to/zorbix32
set -u
PROGRAMME=$(realpath "$1")
IGNORE=77
ATTENTE=60  # seconds any one wait may take on a busy machine

for outil in Xvfb openbox xdotool xclip xprop xwininfo dbus-daemon; do
  command -v "$outil" >/dev/null || { echo "SKIP: $outil is not installed"; exit $IGNORE; }
done
# The distribution's Python, where python3-pyatspi installs.
ECOUTEUR=(/usr/bin/python3 "$(dirname "$0")/atspi_listener.py")
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit $IGNORE; }

TMP=$(mktemp -d)
PIDS=()
nettoyer() {
  local p
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$TMP"
}
trap nettoyer EXIT

# Fails with what the program, the window manager and the listener said, and
# the windows on the screen.
echec() {
  echo "FAIL: $*"
  local journal
  for journal in programme openbox ecouteur; do
    [ -s "$TMP/$journal.log" ] && { echo "--- $journal.log:"; tail -15 "$TMP/$journal.log"; }
  done
  [ -s "$TMP/entendu.log" ] && { echo "--- heard through AT-SPI:"; tail -15 "$TMP/entendu.log"; }
  echo "--- windows shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2>&1 | tr '\n' '|')"
  echo "--- active: $(xdotool getactivewindow getwindowname 2>&1); X focus: $(xdotool getwindowfocus -f 2>&1)"
  exit 1
}

# Every X client bounded: a wait must never hold the test for good.
# A key that opens or closes a window is sent to the focus (the window
# activated first), never with `--window`: xdotool then chooses between
# the server and the window for each event, and a key pressed in the server
# may be released to the window, or not at all once the window is gone. The
# server then holds it down: a modifier spoils the next keys, and the next
# press of another key is dropped.
xdotool() { timeout "$ATTENTE" /usr/bin/xdotool "$@"; }
xprop() { timeout "$ATTENTE" /usr/bin/xprop "$@"; }
xwininfo() { timeout "$ATTENTE" /usr/bin/xwininfo "$@"; }

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
# No session bus but the fourth run's own: none of a desktop the test runs in.
unset QT_QPA_PLATFORM XDG_DATA_HOME WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
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
  # From HOME, where the file dialogs open: a file is named there without
  # a path, whose folders the dialog's completion would offer as it is typed.
  (cd "$HOME" && ZORBIX_SIMULATION="LPT1:24C16=$PUCE" exec "$PROGRAMME") >"$TMP/programme.log" 2>&1 &
  PID=$!
  PIDS+=($PID)
  FENETRE=$(boite '^ Programmateur de m') || {
    kill -0 $PID 2>/dev/null || { wait $PID; echec "the program ended at its start, code $?"; }
    echec "the main window did not appear"
  }
  attendre cadre_connu || echec "openbox did not frame the window"
  activer "$FENETRE" || echec "the main window could not be activated"
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

# Ctrl+Q to the active main window. The window is gone before the keys are
# released, which makes xdotool fail between them: they are released again,
# or the server would hold Ctrl+Q down and repeat it into the next run.
quitter() {
  activer "$FENETRE" || echec "the main window could not be activated to quit"
  xdotool key ctrl+q 2>/dev/null
  xdotool keyup ctrl+q 2>/dev/null
}

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

# Waits for a shown window of the program titled by `motif` (a regular
# expression), other than the window `autre`, and prints its id. Polled
# rather than `search --sync`: a window destroyed while xdotool reads it
# makes xdotool fail at once.
boite() {
  local trouvee fin=$((SECONDS + ATTENTE))
  while [ $SECONDS -lt $fin ] && kill -0 $PID 2>/dev/null; do
    trouvee=$(xdotool search --all --onlyvisible --pid $PID --name "$1" 2>/dev/null | grep -vx "${2:-0}" | head -1)
    [ -n "$trouvee" ] && { echo "$trouvee"; return 0; }
    sleep 0.1
  done
  return 1
}

# Does `action...` until the window titled by `motif` shows, each time waiting
# up to 10 s for it: on a loaded machine a key or a click sent just as a
# window becomes active can be lost, which is no fault of the window opened.
ouvrir() {
  local motif=$1 fin=$((SECONDS + ATTENTE))
  shift
  while [ $SECONDS -lt $fin ]; do
    "$@" >/dev/null
    ATTENTE=10 boite "$motif" && return 0
  done
  return 1
}

# True once `commande` has held for half a second: as boxes close, the focus
# passes through other windows and the root before it settles, and a key
# sent meanwhile goes to no window of the program. A user's next key comes
# later than that.
tenu() { local fois; for fois in 1 2 3 4 5; do "$@" || return 1; sleep 0.1; done; }

# Window $1 is active for the window manager and holds the X input focus.
actif() {
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]
}

# Asks the window manager to activate window $1 and waits until it is
# active and holds the focus for good; asked again every 2 s, since a
# request made before the window is managed is lost.
activer() {
  local fin=$((SECONDS + ATTENTE)) fois
  while [ $SECONDS -lt $fin ]; do
    xdotool windowactivate "$1" 2>/dev/null
    for fois in {1..4}; do
      tenu actif "$1" && return 0
      sleep 0.1
    done
  done
  return 1
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
xdotool key --window "$FENETRE" Return
xdotool key ctrl+m
programmee=$(boite '^Programmation de la m') || echec "no box after programming"
activer "$programmee" || echec "the programming box could not be activated"
xdotool key Return
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
schema=$(ouvrir 'EEPROMs I2C :$' cliquer 558 $((barre + 21)) 1) || echec "the wiring diagram did not open"
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
quitter
fin_attendue "Quitter"
[ "$(origine_stockee)" = "300 300" ] || echec "Quitter: stored origin ($(origine_stockee))"

# --- Run 4: the frame, the icons, the port test window, the overwrite question. ---
demarrer
attendre_cadre "300 300" "fourth run"
xprop -id "$FENETRE" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && echec "the main window can be maximised"
xprop -id "$FENETRE" _NET_WM_ICON | grep -q 'Icon (' || echec "the main window has no icon"
schema=$(ouvrir 'EEPROMs I2C :$' cliquer 558 $((barre + 21)) 1) || echec "the wiring diagram did not open"
read -r drapeaux fonctions _ < <(xprop -id "$schema" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
(( drapeaux & 1 && !(fonctions & 0x21) )) || echec "the wiring diagram asks for a close box ($drapeaux $fonctions)"
activer "$schema" || echec "the wiring diagram could not be activated"
xdotool key Escape

# The port test window, three times: its frame centred on the 1024 x 768
# screen each time; Enter on its return button, which has the focus, closes it.
cadre_fenetre() {
  local x y gauche droite haut bas l h
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $4}')
  l=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  h=$(xwininfo -id "$1" | awk '/Height:/ {print $2}')
  read -r gauche droite haut bas < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo "$((x - gauche)) $((y - haut)) $((l + gauche + droite)) $((h + haut + bas))"
}
test_montre() { xdotool search --all --onlyvisible --pid $PID --name 'Test du port parall' >/dev/null; }
for fois in 1 2 3; do
  activer "$FENETRE" || echec "the main window could not be activated ($fois)"
  test_port=$(ouvrir 'Test du port parall' xdotool key ctrl+t) ||
    echec "the port test window did not open ($fois)"
  test_encadre() { xprop -id "$test_port" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }
  attendre test_encadre || echec "openbox did not frame the port test window"
  read -r x y l h < <(cadre_fenetre "$test_port")
  ecart_x=$((2 * x + l - 1024)) ecart_y=$((2 * y + h - 768))  # twice the centre's offset
  (( ${ecart_x#-} <= 2 && ${ecart_y#-} <= 2 )) ||
    echec "showing $fois: the port test window's frame at ($x $y) is not centred ($l x $h)"
  xprop -id "$test_port" _NET_WM_ICON | grep -q 'Icon (' || echec "the port test window has no icon"
  activer "$test_port" || echec "the port test window could not be activated ($fois)"
  xdotool key Return
  test_ferme() { ! test_montre; }
  attendre test_ferme || echec "Enter on the return button left the port test window open ($fois)"
done

# The overwrite question answered with the mouse, the way the window was
# left inactive: a first save makes the file, the second replaces it.
# Saves through the dialog `$1` under the name typed.
enregistrer_sous() {
  activer "$1" || echec "the save dialog could not be activated"
  xdotool key ctrl+a
  xdotool type w.bin
  xdotool key Return
}
activer "$FENETRE" || echec "the main window could not be activated before saving"
dialogue=$(ouvrir '^Enregistrer sous$' xdotool key ctrl+s) || echec "no save dialog"
enregistrer_sous "$dialogue"
fichier_fait() { [ -s "$HOME/w.bin" ]; }
attendre fichier_fait || echec "the first save made no file"
activer "$FENETRE" || echec "the main window could not be activated after the first save"
dialogue=$(ouvrir '^Enregistrer sous$' xdotool key ctrl+s) ||
  echec "no save dialog the second time"
activer "$dialogue" || echec "the save dialog could not be activated the second time"
l=$(xwininfo -id "$dialogue" | awk '/Width:/ {print $2}')
h=$(xwininfo -id "$dialogue" | awk '/Height:/ {print $2}')
xdotool mousemove --sync --window "$dialogue" $((l - 55)) $((h - 53)) click 1  # "Enregistrer" on "w.bin"
question=$(boite '^Enregistrer sous$' "$dialogue") || echec "no overwrite question"
question_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$question" ]; }
attendre question_active ||
  echec "the overwrite question is not active: $(xprop -id "$question" _NET_WM_USER_TIME _NET_WM_STATE | tr '\n' ' ')"
xdotool mousemove --sync --window "$question" 84 62 click 1  # "Oui"
# Nothing but the boxes' closing activates the window here.
attendre tenu actif "$FENETRE" || echec "after the overwrite question the main window is not active"
# To whatever has the X focus: Enter on the grid opens the byte's box, the
# byte typed there is committed, and Ctrl+S saves it over the file.
xdotool key Return 1 2 Return ctrl+s
dialogue=$(boite '^Enregistrer sous$') || echec "keys after the overwrite question: Ctrl+S opened no dialog"
activer "$dialogue" || echec "the save dialog could not be activated the third time"
xdotool key Return
question=$(boite '^Enregistrer sous$' "$dialogue") || echec "no overwrite question the second time"
activer "$question" || echec "the overwrite question could not be activated"
xdotool key o
octet_ecrit() { [ "$(od -An -tx1 -N1 "$HOME/w.bin" | tr -d ' ')" = 12 ]; }
attendre octet_ecrit ||
  echec "keys after the overwrite question: w.bin starts with $(od -An -tx1 -N1 "$HOME/w.bin"), expected 12"
quitter
fin_attendue "fourth run"

# --- Run 5, on a private session bus with the accessibility bus on it. ---
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$TMP/bus" 4>"$TMP/bus.pid" ||
  echec "no session bus"
PIDS+=($(cat "$TMP/bus.pid"))
export DBUS_SESSION_BUS_ADDRESS=$(cat "$TMP/bus") QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The listener first: registered with the accessibility registry before the
# program starts, the program sends it every event from its first window on.
ENTENDU=$TMP/entendu.log
"${ECOUTEUR[@]}" "$ENTENDU" 2>"$TMP/ecouteur.log" &
PIDS+=($!)
ecouteur_pret() { grep -q '^pret$' "$ENTENDU" 2>/dev/null; }
attendre ecouteur_pret || echec "the AT-SPI listener did not start"
demarrer

# While a screen reader listens, the program holds every key until the
# registry has seen it, then hands it to the widget that had the focus when
# the key came: a key that moves the focus is sent alone and its effect
# awaited before the next one.
# The last focus the reader heard of, "role|name|description".
dernier_focus() { grep '^focus|' "$ENTENDU" | tail -1 | cut -d'|' -f2-; }
focus_sur() { [ "$(dernier_focus)" = "$1" ]; }
# Held, not only reached: a focus given to the cell and then taken by the
# table around it is the fault a reader hears.
attendre_focus() { attendre tenu focus_sur "$1" || echec "$2: the reader was left on ($(dernier_focus)), expected ($1)"; }
attendre_focus 'table cell|FF|$0000' "the program started"
xdotool key --window "$FENETRE" shift+Tab
sur_bouton_radio() { dernier_focus | grep -q '^radio button|'; }
attendre sur_bouton_radio || echec "Shift+Tab from the grid: the reader is on ($(dernier_focus))"
xdotool key --window "$FENETRE" Tab
attendre_focus 'table cell|FF|$0000' "Tab wrapping to the grid"
xdotool key --window "$FENETRE" Return
attendre_focus "text|Valeur hexadécimale de l'octet sélectionné|" "Enter on the grid"
xdotool key --window "$FENETRE" c d Return
attendre_focus 'table cell|CD|$0000' "an edit committed with Enter"
# A read: the status box's texts announced as the read starts, as it shows
# the Buffer and as it ends; the cell the reader is on renamed by the byte read.
xdotool key --window "$FENETRE" ctrl+l
annonces() { grep '^texte|status bar|' "$ENTENDU" | cut -d'|' -f3- | tr '\n' ';'; }
lecture_annoncee() {
  [ "$(annonces)" = 'insert|Lecture de la mémoire...;delete|Lecture de la mémoire...;insert|Mise à jour du buffer;delete|Mise à jour du buffer;' ]
}
attendre lecture_annoncee || echec "the read's status was announced as ($(annonces))"
cellule_lue() { grep -qxF 'nom|table cell|AB|$0000' "$ENTENDU"; }
attendre cellule_lue || echec "after the read the reader did not hear the cell renamed AB"
quitter
fin_attendue "fifth run"
echo "PASS"
