#!/usr/bin/env bash
# Robustness sweep: the saver with hostile settings and picture files. Each
# run starts it, lets it draw for a few seconds, checks that it still runs
# and shows its window, and ends it with a key.
#   sweep.sh CASE
# Environment as for saver.sh.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_env "$@"
e2e_begin 1024x768x24


int_keys=("Frame Rate" "Bump Speed" "Bump XFallOff" "Bump YFallOff" "Bump XDistance" "Bump YDistance"
          "Bump Multiplier" "Bump From Index" "CW Direction" "Font Height")
string_keys=(FilenameGif XPosition YPosition "Text Lines" "Font Face")

reset_store() { wine reg delete 'HKCU\Software\Tolvaine' /f >/dev/null 2>&1; }
# set_value NAME TYPE DATA
set_value() { wine reg add "$config" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1 || fail "could not store $1"; }

runs=0
# sweep_run LABEL [lit]: the saver with the settings now in the store; with
# "lit", the screenshot must show something.
sweep_run() {
  local label=$1 line shot lit
  runs=$((runs + 1))
  shot="$shots/$case_name-$runs.png"
  xdotool mousemove 512 384
  start_saver /s
  line=$(find_window)
  if [ "$line" = "none" ] || [ -z "$line" ]; then fail "$label: no saver window"; stop_saver; return; fi
  sleep 3
  # A crash leaves the window up behind Wine's crash dialog.
  if xdotool search --onlyvisible --classname winedbg.exe >/dev/null 2>&1; then
    fail "$label: the saver crashed (Wine's crash dialog is up)"; stop_saver; return
  fi
  if kill -0 "$SAVER_PID" 2>/dev/null && xdotool search --onlyvisible --classname orvane.scr >/dev/null 2>&1; then
    import -window root "$shot" 2>/dev/null
    lit=$(python3 "$here/shots.py" lit "$shot")
    pass "$label: runs 3 s ($lit pixels not black)"
    [ "${2:-}" = lit ] && [ "$lit" = 0 ] && fail "$label: the screen stays black"
  else
    fail "$label: the saver ended by itself"; stop_saver; return
  fi
  xdotool key x
  # Ends within 15 s (emulated, beside another suite, a close takes several
  # seconds), with exit code 0 (a crash under Wine gives another).
  local i rc
  for i in $(seq 1 150); do kill -0 "$SAVER_PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$SAVER_PID" 2>/dev/null; then fail "$label: a key did not end the saver"; stop_saver; return; fi
  wait "$SAVER_PID"; rc=$?; SAVER_PID=""
  [ $rc = 0 ] && pass "$label: a key ends the saver, exit code 0" || fail "$label: the saver ended with exit code $rc"
}

# Every integer setting at one value; then the same with the frame rate and
# the path's radii left alone, so that the others also run at 30 frames per
# second with the light on the screen.
sweep_ints() {
  local value=$1 name key
  for round in all on-screen; do
    reset_store
    for key in "${int_keys[@]}"; do
      [ $round = on-screen ] && [[ "$key" =~ ^(Frame Rate|Bump XDistance|Bump YDistance)$ ]] && continue
      set_value "$key" REG_DWORD "$value"
    done
    name="every integer setting at $2"
    [ $round = on-screen ] && name="$name but Frame Rate, Bump XDistance, Bump YDistance"
    sweep_run "$name"
  done
}

long=$(head -c 10000 /dev/zero | tr '\0' W)

case "$case_name" in
  int-min) sweep_ints 0x80000000 "INT_MIN" ;;
  minus-one) sweep_ints 0xffffffff "-1" ;;
  zero) sweep_ints 0 "0" ;;
  huge) sweep_ints 0x7fffffff "2147483647" ;;
  long-strings)
    # A name of 10 000 characters: the failure message, cut to fit.
    reset_store
    set_value FilenameGif REG_SZ "Z:\\${long:3}"
    sweep_run "FilenameGif of 10000 characters"
    read -r bl bt br bb < <(python3 "$here/shots.py" band "$shots/$case_name-$runs.png")
    [ "$bt" = 384 ] && [ $((bl + br + 1)) -ge 1023 ] && [ $((bl + br + 1)) -le 1025 ] \
      && pass "the cut message sits on a red band at $bl,$bt - $br,$bb" \
      || fail "the cut message's band is at $bl $bt $br $bb"
    reset_store
    for key in XPosition YPosition "Text Lines" "Font Face"; do set_value "$key" REG_SZ "$long"; done
    sweep_run "XPosition, YPosition, Text Lines and Font Face of 10000 characters" lit
    ;;
  huge-font)
    # Fonts tens of thousands of pixels tall: Wine takes seconds per glyph
    # (a 64 000-pixel "Orvane" half a minute), so the first frame must not
    # ask for them; the saver still has to end within 15 s of the key.
    reset_store
    set_value "Font Height" REG_DWORD 6000
    sweep_run "Font Height 6000 (a 64 000-pixel font)"
    reset_store
    set_value "Font Height" REG_DWORD 1500
    set_value "Text Lines" REG_SZ "$(python3 -c 'import string; print((string.ascii_letters * 200)[:10000])')"
    sweep_run "Font Height 1500 (16 000 pixels) with 10000 different characters"
    ;;
  wrong-types)
    # Read as absent: the saver runs on its defaults.
    reset_store
    for key in "${int_keys[@]}"; do set_value "$key" REG_SZ 5; done
    for key in "${string_keys[@]}"; do set_value "$key" REG_DWORD 5; done
    sweep_run "integers as REG_SZ, strings as REG_DWORD" lit
    reset_store
    for key in "${int_keys[@]}"; do set_value "$key" REG_BINARY 05000000; done
    for key in "${string_keys[@]}"; do set_value "$key" REG_BINARY 414243; done
    sweep_run "integers and strings as REG_BINARY" lit
    ;;
  gif-files)
    convert -size 1x1 xc:red "$data/one.gif"
    python3 "$here/bigif.py" 8000 8000 "$data/big.gif"  # 65 MB, removed afterwards
    convert -seed 1 -size 640x480 plasma:fractal -colors 256 "$data/plasma.gif"
    head -c $(($(stat -c %s "$data/plasma.gif") / 2)) "$data/plasma.gif" >"$data/truncated.gif"
    for file in "one.gif 1 x 1" "big.gif 8000 x 8000" "truncated.gif 640 x 480 cut in half"; do
      reset_store
      set_value FilenameGif REG_SZ "$(winpath "$data/${file%% *}")"
      sweep_run "a GIF of ${file#* }"
    done
    rm -f "$data/big.gif"
    ;;
  picture-files)
    # PNG, JPEG and BMP files, sound and damaged: the sound ones are shown in
    # relief, the others give the failure message; none may crash the saver.
    bash "$here/../../scripts/make-photo.sh" 640x480 "$data/photo.png"
    convert "$data/photo.png" -interlace JPEG -quality 80 "$data/progressive.jpg"
    convert "$data/photo.png" -colors 16 -type palette bmp3:"$data/photo4.bmp"
    convert -size 1x1 xc:orange "$data/one.png"
    head -c $(($(stat -c %s "$data/photo.png") / 2)) "$data/photo.png" >"$data/truncated.png"
    # Headers alone: a PNG over the pixel limit, a BMP with a negative header size.
    python3 - "$data" <<'PY'
import struct, sys, zlib
d = sys.argv[1]
ihdr = struct.pack(">IIBBBBB", 9000, 4000, 8, 2, 0, 0, 0)
chunk = lambda t, b: struct.pack(">I", len(b)) + t + b + struct.pack(">I", zlib.crc32(t + b))
open(d + "/huge.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IEND", b""))
bmp = b"BM" + struct.pack("<IHHI", 70, 0, 0, 54) + struct.pack("<iiiHHIIiiII", -16, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0)
open(d + "/negative-header.bmp", "wb").write(bmp + bytes(16))
PY
    for file in "photo.png lit" "progressive.jpg lit" "photo4.bmp lit" "one.png lit" \
                "truncated.png band" "huge.png band" "negative-header.bmp band"; do
      reset_store
      set_value FilenameGif REG_SZ "$(winpath "$data/${file%% *}")"
      set_value "Text Lines" REG_SZ ""
      if [ "${file#* }" = lit ]; then
        sweep_run "${file%% *}" lit
      else
        sweep_run "${file%% *}"
        read -r bl bt br bb < <(python3 "$here/shots.py" band "$shots/$case_name-$runs.png")
        [ "$bt" = 384 ] && pass "${file%% *}: the failure message's band at $bl,$bt - $br,$bb" \
          || fail "${file%% *}: no failure band ($bl $bt $br $bb)"
      fi
    done
    ;;
  odd-files)
    # Names that are no picture file: a folder, an endless device, a device
    # name. Each gives the failure message on its red band.
    for name in 'Z:\tmp' 'Z:\dev\zero' 'NUL'; do
      reset_store
      set_value FilenameGif REG_SZ "$name"
      sweep_run "FilenameGif $name"
      read -r bl bt br bb < <(python3 "$here/shots.py" band "$shots/$case_name-$runs.png")
      [ "$bt" = 384 ] && pass "$name: the failure message's band at $bl,$bt - $br,$bb" \
        || fail "$name: no failure band ($bl $bt $br $bb)"
    done
    ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

e2e_end
