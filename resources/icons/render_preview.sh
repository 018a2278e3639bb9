#!/usr/bin/env bash
# Renders every toolbar picture to PNG for a visual check: each icon alone at
# 1x and 4x, plus a mock-up of the main window's top band with every icon
# centred on its button, at 1x and 4x.  Needs rsvg-convert (librsvg2-bin).
# Each icon keeps its <svg> start tag on the first line and its end tag on the
# last, so the mock-up can nest the icons as they are.
# Usage: resources/icons/render_preview.sh [output folder, default /tmp/icons_preview]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-/tmp/icons_preview}"
mkdir -p "$out"

size_of() {  # prints "W H" from the svg element's width and height
  sed -n '1,3p' "$1" | grep -o ' width="[0-9]*" height="[0-9]*"' | head -1 | tr -dc '0-9 ' | xargs
}

for f in "$here"/*.svg; do
  n="$(basename "$f" .svg)"
  read -r w h < <(size_of "$f")
  rsvg-convert -w "$w" -h "$h" "$f" -o "$out/$n.png"
  rsvg-convert -w $((w * 4)) -h $((h * 4)) "$f" -o "$out/$n@4x.png"
done

# Buttons of the top band: name left top width height; BitBtn1 sits below.
buttons="BoutonOuvrir 2 4 39 34
BoutonSauver 44 4 39 34
BoutonLire 91 4 51 34
BoutonProgOctet 144 4 51 34
BoutonProgMem 197 4 51 34
BoutonComparer 250 4 51 34
BoutonBuffer1 310 17 27 21
BoutonBuffer2 338 17 27 21
BoutonBuffer3 366 17 27 21
BoutonBuffer4 394 17 27 21
BoutonBuffer5 422 17 27 21
BoutonBuffer6 450 17 27 21
BoutonBuffer7 478 17 27 21
BoutonBuffer8 506 17 27 21
BoutonSchema 542 4 33 34
BoutonInfos 579 4 35 16
BoutonVersion 579 22 35 16
BitBtn1 515 44 94 25"

sheet="$out/toolbar.svg"
{
  echo '<svg xmlns="http://www.w3.org/2000/svg" width="617" height="72" viewBox="0 0 617 72">'
  echo '<rect width="617" height="72" fill="#f0f0f0"/>'
  echo '<path d="M0 0.5h617M0 40.5h617M86.5 0v41M304.5 0v41M536.5 0v41" stroke="#a0a0a0"/>'
  while read -r n x y w h; do
    f="$here/$n.svg"
    [ -f "$f" ] || continue
    read -r iw ih < <(size_of "$f")
    echo "<rect x=\"$x.5\" y=\"$y.5\" width=\"$((w - 1))\" height=\"$((h - 1))\" fill=\"none\" stroke=\"#c8c8c8\"/>"
    ix=$((x + (w - iw) / 2)); iy=$((y + (h - ih) / 2))
    [ "$n" = BitBtn1 ] && ix=$((x + w - iw - 8))  # the picture sits right of the caption
    echo "<svg x=\"$ix\" y=\"$iy\" width=\"$iw\" height=\"$ih\" viewBox=\"0 0 $iw $ih\">"
    sed '1d;$d' "$f"
    echo '</svg>'
  done <<< "$buttons"
  echo '</svg>'
} > "$sheet"
rsvg-convert "$sheet" -o "$out/toolbar.png"
rsvg-convert -z 4 "$sheet" -o "$out/toolbar@4x.png"
# The band is too wide to look at whole at 4x: also render it in two halves.
half() {  # name first-x width
  sed "1s/width=\"617\" height=\"72\" viewBox=\"0 0 617 72\"/width=\"$3\" height=\"72\" viewBox=\"$2 0 $3 72\"/" \
    "$sheet" > "$out/$1.svg"
  rsvg-convert -z 4 "$out/$1.svg" -o "$out/$1@4x.png"
}
half toolbar_left 0 306
half toolbar_right 304 313
echo "previews in $out"
