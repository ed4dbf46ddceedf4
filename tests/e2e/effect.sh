#!/usr/bin/env bash
# End-to-end tests of what the saver shows, judged from screenshots.
#   effect.sh CASE
# Environment as for saver.sh (ORVANE_SCR, ORVANE_PROBE, ORVANE_WINEPREFIX,
# ORVANE_SHOTS). Screenshots stay in ORVANE_SHOTS as CASE-N.png.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_env "$@"

analyse() { python3 "$here/shots.py" "$@"; }

# Takes $1 screenshots, $2 seconds apart, as $shots/$case_name-N.png; their
# names go to the array taken.
take_shots() {
  local n
  taken=()
  for n in $(seq 1 "$1"); do
    sleep "$2"
    import -window root "$shots/$case_name-$n.png" 2>/dev/null
    taken+=("$shots/$case_name-$n.png")
  done
}

# Runs an analysis that prints ok:/FAIL: lines; each FAIL counts.
judge() {
  local out
  out=$(analyse "$@")
  echo "$out"
  failures=$((failures + $(grep -c '^FAIL' <<<"$out")))
}

# The light's path as the screen shows it, for the default settings on a
# W x H screen: centre (W/2, H/2) in map rows is screen row H - 1 - H/2;
# radii 300 and 200; fall-off 200.
light_path() { echo $(($1 / 2)) $(($2 - 1 - $2 / 2)) 300 200 200; }

case "$case_name" in
  text|text16)
    # Empty store: the generated picture, whose darkest colour is black, with
    # "Orvane" burnt in; the light shows only the strokes of the letters. The
    # same on a 16-bit screen of another size, where the frame bitmap's colour
    # table holds the picture's colours.
    if [ "$case_name" = text16 ]; then size=(1280 720 16); else size=(1024 768 24); fi
    e2e_begin "${size[0]}x${size[1]}x${size[2]}"
    read -r left top right bottom < <(wine "$probe" text "Arial Black" 18 Orvane "$data/orvane.pgm" | tr -d '\r')
    echo "reference cells of \"Orvane\" at font height 18: $left,$top - $right,$bottom"
    open_saver && {
      take_shots 8 0.35
      # shellcheck disable=SC2046
      judge text "$data/orvane.pgm" $(light_path "${size[0]}" "${size[1]}") "${taken[@]}"
      xdotool key x; expect_end "a key"
    } ;;
  gif-relief)
    # A picture file and no text: the relief covers the whole screen.
    e2e_begin 1024x768x24
    convert -seed 1 -size 640x480 plasma:fractal -colors 256 "$data/plasma.gif"
    wine reg add "$config" /v FilenameGif /t REG_SZ /d "$(winpath "$data/plasma.gif")" /f >/dev/null 2>&1
    wine reg add "$config" /v "Text Lines" /t REG_SZ /d "" /f >/dev/null 2>&1
    open_saver && {
      take_shots 6 0.35
      # shellcheck disable=SC2046
      judge relief $(light_path 1024 768) "${taken[@]}"
      xdotool key x; expect_end "a key"
    } ;;
  jpeg-relief|png-relief)
    # A photo with hundreds of thousands of colours, reduced to 256: a JPEG,
    # and the same as an interlaced 16-bit PNG, named ".gif" so that only the
    # first bytes can tell what it is.
    e2e_begin 1024x768x24
    bash "$here/../../scripts/make-photo.sh" 800x600 "$data/photo.jpg"
    picture="$data/photo.jpg"
    if [ "$case_name" = png-relief ]; then
      convert "$data/photo.jpg" -interlace PNG png48:"$data/photo-png.gif"
      picture="$data/photo-png.gif"
    fi
    wine reg add "$config" /v FilenameGif /t REG_SZ /d "$(winpath "$picture")" /f >/dev/null 2>&1
    wine reg add "$config" /v "Text Lines" /t REG_SZ /d "" /f >/dev/null 2>&1
    open_saver && {
      take_shots 6 0.35
      # shellcheck disable=SC2046
      judge relief $(light_path 1024 768) "${taken[@]}"
      xdotool key x; expect_end "a key"
    } ;;
  missing-file)
    # A file that is not there: black, and the message on a red band whose top
    # is at half the screen height, centred across it.
    e2e_begin 1024x768x24
    # A fixed name, so that the README's picture of the band is the same on every machine.
    name='C:\Pictures\no such picture.gif'
    message=" Sorry, file not found: $name "
    wine reg add "$config" /v FilenameGif /t REG_SZ /d "$name" /f >/dev/null 2>&1
    read -r width height < <(wine "$probe" message "$message" "$data/message.ppm" | tr -d '\r')
    echo "\"$message\" measures $width x $height in the default font"
    open_saver && {
      take_shots 2 0.5
      for shot in "${taken[@]}"; do
        read -r bl bt br bb < <(analyse band "$shot")
        x=$((512 - width / 2))
        if [ "$bl $bt $br $bb" = "$x 384 $((x + width - 1)) $((384 + height - 1))" ]; then
          pass "$(basename "$shot"): red band at $bl,$bt - $br,$bb: top at 384, centred, $width x $height"
        else
          fail "$(basename "$shot"): red band at $bl $bt $br $bb, expected $x,384 - $((x + width - 1)),$((384 + height - 1))"
        fi
        differ=$(analyse match "$shot" "$data/message.ppm" "$x" 384)
        [ "$differ" = 0 ] && pass "$(basename "$shot"): the band shows exactly \"$message\"" \
          || fail "$(basename "$shot"): $differ pixels of the band differ from \"$message\""
        lit=$(analyse lit "$shot" "$bl" "$bt" "$br" "$bb")
        [ "$lit" = 0 ] && pass "$(basename "$shot"): the rest of the screen is black" \
          || fail "$(basename "$shot"): $lit pixels outside the band are not black"
      done
      xdotool key x; expect_end "a key"
    } ;;
  depth8)
    # A 256-colour screen: the palette-index path. Under Wine the colours
    # drawn through palette indices are not the picture's own (only the
    # brightest part of the light comes out, as white), so only change over
    # time is judged; the colours seen are printed.
    e2e_begin 1024x768x8
    open_saver && {
      take_shots 8 0.35
      changes=0 shown=0
      for n in $(seq 1 7); do
        differ=$(analyse differ "${taken[$((n - 1))]}" "${taken[$n]}")
        echo "shots $n and $((n + 1)) differ in $differ pixels"
        [ "$differ" -gt 0 ] && changes=$((changes + 1))
      done
      for shot in "${taken[@]}"; do
        colours=$(analyse colours "$shot")
        echo "$(basename "$shot"): colours, most common colour, its pixels: $colours"
        [ "${colours%% *}" -gt 1 ] && shown=$((shown + 1))
      done
      [ $shown -ge 2 ] && pass "$shown of 8 shots show more than one colour" || fail "only $shown of 8 shots show anything"
      [ $changes -ge 2 ] && pass "the screen changes $changes times in 8 shots" || fail "the screen changes only $changes times"
      expect_running "frames on an 8-bit screen"
      xdotool key x; expect_end "a key"
    } ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

e2e_end
