#!/usr/bin/env bash
# End-to-end tests of the settings dialog under Wine on a private Xvfb display:
# what it shows, what OK, Esc and the close box leave in the store, the
# validation prompts, the font dialog, and the parent each command line gives.
#   dialog.sh CASE
# Environment: ORVANE_SCR, ORVANE_PROBE, ORVANE_WINEPREFIX, ORVANE_SHOTS (see saver.sh).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_env "$@"
e2e_begin 1024x768x24

# Without a window manager Wine leaves the caption of a managed window undrawn
# and gives it no keyboard focus; unmanaged, Wine draws the caption with its
# close box itself. Set for these cases only.
x11_key='HKCU\Software\Wine\X11 Driver'
wine reg add "$x11_key" /v Managed /d N /f >/dev/null 2>&1
trap 'wine reg delete "$x11_key" /v Managed /f >/dev/null 2>&1; cleanup' EXIT

caption="Orvane ScreenSaver v2.1"
p() { wine "$probe" "$@" 2>/dev/null | tr -d '\r'; }
store() { p store; }

# Opens the dialog with the given command line; DLG is its window.
open_dialog() {
  start_saver "$@"
  DLG=$(p dialog "$caption" 15)
  if [ "$DLG" = none ] || [ -z "$DLG" ]; then fail "'$*' opened no dialog"; stop_saver; return 1; fi
  sleep 0.3
  return 0
}

expect_eq() {  # what got expected
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '${2:0:200}', expected '${3:0:200}'"; fi
}

# Like expect_eq for a probe answer that input sent just before may still change:
# asks again for up to 3 s.  expect_soon DESCRIPTION EXPECTED PROBE-ARGS...
expect_soon() {
  local desc=$1 want=$2 got i; shift 2
  for i in $(seq 1 15); do got=$(p "$@"); [ "$got" = "$want" ] && break; sleep 0.2; done
  expect_eq "$desc" "$got" "$want"
}

# Clicks control $1 of the dialog $2 (default DLG); 0 is the close box.
click() {
  local xy; xy=$(p center "${2:-$DLG}" "$1")
  # shellcheck disable=SC2086
  xdotool mousemove $xy click 1
}

# True once no window owned by $1 is left (up to 5 s).
owned_gone() {
  local i
  for i in $(seq 1 25); do [ "$(p owned "$1" 0)" = none ] && return 0; sleep 0.2; done
  return 1
}

# The dialog ends with the process.
expect_closed() {
  if ends_within 15; then pass "$1 closes the dialog"; else fail "$1 did not close the dialog"; stop_saver; fi
}

fields="1000 1001 1007 1010 1002 1003 1004 1005"
valid_values="30 0 7 20 200 200 300 200"
set_valid_fields() {
  local ids=($fields) values=($valid_values) i
  for i in "${!ids[@]}"; do p settext "$DLG" "${ids[$i]}" "${values[$i]}"; done
}

defaults_store=$(LC_ALL=C sort <<'STORE'
Frame Rate=dword:30
Bump Speed=dword:20
Bump XFallOff=dword:200
Bump YFallOff=dword:200
Bump XDistance=dword:300
Bump YDistance=dword:200
Bump Multiplier=dword:7
Bump From Index=dword:0
CW Direction=dword:1
FilenameGif=sz:
XPosition=sz:Center
YPosition=sz:Center
Text Lines=sz:Orvane
Text Size=dword:0
Font Face=sz:Arial Black
Font Style=sz:Negrita
Font Width=dword:18
Font Height=dword:18
STORE
)

case "$case_name" in
  defaults)
    open_dialog /c && {
      pass "the dialog opens with the caption '$caption'"
      import -window root "$shots/dialog-defaults.png" 2>/dev/null
      for pair in 1000:30 1001:0 1007:7 1010:20 1002:200 1003:200 1004:300 1005:200 1013:Center 1014:Center \
                  1008: 1033:Orvane; do
        expect_eq "control ${pair%%:*} shows the dialog's default" "$(p gettext "$DLG" "${pair%%:*}")" "${pair#*:}"
      done
      expect_eq "the check box is checked" "$(p check "$DLG" 1015)" 1
      expect_eq "X list sorted" "$(p items "$DLG" 1013 | paste -sd,)" "Center,Left,Right"
      expect_eq "Y list sorted" "$(p items "$DLG" 1014 | paste -sd,)" "Bottom,Center,Top"
      expect_eq "the focus starts in the X position" "$(p focus "$DLG" | cut -d' ' -f1)" 1013
      expect_eq "nothing stored while open" "$(store)" absent
      xdotool key Return
      expect_closed "Enter"
      expect_eq "OK writes all eighteen values" "$(store)" "$defaults_store"
    } ;;
  esc|close-box)
    # A partly filled store with a value of the wrong type: closing without OK keeps it exactly.
    p put "Frame Rate" dword 12; p put XPosition sz left; p put "Font Face" binary 0102
    p put "Text Lines" sz 'A\r\nB'
    before=$(store)
    open_dialog && {
      expect_eq "the stored frame rate is shown" "$(p gettext "$DLG" 1000)" 12
      expect_eq "the stored X position is shown" "$(p gettext "$DLG" 1013)" left
      expect_eq "the stored text is shown" "$(p gettext "$DLG" 1033)" 'A\r\nB'
      p settext "$DLG" 1000 40
      click 1015
      expect_soon "the click clears the check box" 0 check "$DLG" 1015
      if [ "$case_name" = esc ]; then xdotool key Escape; else click 0; fi
      expect_closed "$case_name"
      expect_eq "$case_name leaves the store as it was" "$(store)" "$before"
    } ;;
  validation)
    # One field setting a row (id=text ...), the prompt and the control that gets the focus.
    rows=(
      "1000=|Please enter an integer.|1000"
      "1000=0|Please enter an integer between 1 and 50.|1000"
      "1000=51|Please enter an integer between 1 and 50.|1000"
      "1001=256|Please enter an integer between 0 and 255.|1001"
      "1007=12|Please enter an integer between 1 and 11.|1007"
      "1010=0|Please enter an integer between 1 and 256.|1010"
      "1002=15|Please enter an integer between 16 and 512.|1002"
      "1003=513|Please enter an integer between 16 and 512.|1003"
      "1004=1001|Please enter an integer between 0 and 1000.|1004"
      "1005=-1|Please enter an integer between 0 and 1000.|1005"
      "1002=5 1007=0 1004=2000|Please enter an integer between 1 and 11.|1007"
      "1010=257 1000=|Please enter an integer.|1000"
      "1000=2147483647|Please enter an integer between 1 and 50.|1000"
      "1000=2147483648|Please enter an integer.|1000"
      "1000=99999999999|Please enter an integer.|1000"
      "1002=1234567890123456789012345678901234567890|Please enter an integer.|1002"
      "1010=12abc|Please enter an integer.|1010"
      "1000= 7 |__valid__|"
    )
    open_dialog /c && {
      for row in "${rows[@]}"; do
        IFS='|' read -r settings message focus <<<"$row"
        set_valid_fields
        for s in $settings; do p settext "$DLG" "${s%%=*}" "${s#*=}"; done
        [ "$message" = __valid__ ] && continue
        xdotool key Return
        box=$(p owned "$DLG" 8)
        expect_eq "[$settings] prompts" "$(cut -d' ' -f2- <<<"$box")" "#32770|Orvane|$message"
        xdotool key Return
        owned_gone "$DLG" && pass "[$settings] the prompt closes" || fail "[$settings] the prompt stays"
        read -r id start end <<<"$(p focus "$DLG")"
        bad=$(p gettext "$DLG" "$focus")
        expect_eq "[$settings] focus and selection on the bad field" "$id $start $end" "$focus 0 ${#bad}"
        expect_eq "[$settings] the dialog stays open" "$(p info "$DLG" | cut -d' ' -f2,3)" "1 1"
        expect_eq "[$settings] nothing stored" "$(store)" absent
      done
      # Blanks around a number are accepted.
      set_valid_fields; p settext "$DLG" 1000 " 7 "
      xdotool key Return
      expect_closed "OK with valid fields"
      expect_eq "the frame rate read around blanks" "$(store | grep '^Frame Rate')" "Frame Rate=dword:7"
    } ;;
  typed)
    open_dialog c && {
      # The field's text starts selected: typing replaces it.
      xdotool type --delay 50 left
      click 1015
      xdotool key Return
      expect_closed "Enter"
      expect_eq "lower-case 'left' stored as typed" "$(store | grep '^XPosition')" "XPosition=sz:left"
      expect_eq "the cleared check box stores 0" "$(store | grep '^CW Direction')" "CW Direction=dword:0"
    }
    open_dialog -c && {
      expect_eq "the stored word is shown" "$(p gettext "$DLG" 1013)" left
      expect_eq "the stored 0 shows a cleared box" "$(p check "$DLG" 1015)" 0
      click 1015
      click 1
      expect_closed "OK"
      expect_eq "the checked box stores 1" "$(store | grep '^CW Direction')" "CW Direction=dword:1"
    } ;;
  enter)
    open_dialog && {
      p settext "$DLG" 1033 ""
      click 1033
      xdotool type --delay 50 AB
      xdotool key ctrl+Return
      xdotool type --delay 50 CD
      expect_soon "Ctrl+Enter adds a line" 'AB\r\nCD' gettext "$DLG" 1033
      expect_eq "Ctrl+Enter keeps the dialog open" "$(p info "$DLG" | cut -d' ' -f3)" 1
      xdotool key Return
      expect_closed "Enter in the text box"
      expect_eq "the two lines are stored" "$(store | grep '^Text Lines')" 'Text Lines=sz:AB\r\nCD'
    } ;;
  text-box)
    # Long lines wrap without line breaks of their own; the box does not
    # scroll, so it takes no more lines than fit its height.
    open_dialog && {
      p settext "$DLG" 1033 ""
      click 1033
      xdotool type --delay 30 abcdefghijklmnopqrstuvwxyz
      expect_soon "a long line is kept as one line" abcdefghijklmnopqrstuvwxyz gettext "$DLG" 1033
      p settext "$DLG" 1033 ""
      click 1033
      for n in 1 2 3 4 5 6 7 8; do xdotool type "$n"; xdotool key ctrl+Return; done
      # Four lines fit (with Wine's substitute font); the further line breaks
      # are refused and the digits run on in the last line.
      expect_soon "the box takes the lines that fit" '1\r\n2\r\n3\r\n45678' gettext "$DLG" 1033
      xdotool key Return
      expect_closed "Enter"
      expect_eq "the lines are stored as shown" "$(store | grep '^Text Lines')" 'Text Lines=sz:1\r\n2\r\n3\r\n45678'
    } ;;
  font-cancel)
    open_dialog && {
      click 7
      font=$(p owned "$DLG" 10)
      FONTDLG=${font%% *}
      expect_eq "<-- Font... opens the font dialog" "$(cut -d' ' -f2 <<<"$font" | cut -d'|' -f1,2)" "#32770|Font"
      expect_eq "the settings dialog is disabled meanwhile" "$(p info "$DLG" | cut -d' ' -f2)" 0
      import -window root "$shots/font-dialog.png" 2>/dev/null
      xdotool key Escape
      owned_gone "$DLG" && pass "Cancel closes the font dialog" || fail "Cancel left the font dialog open"
      click 1
      expect_closed "OK"
      expect_eq "the font is unchanged" "$(store | grep '^Font')" \
        "$(grep '^Font' <<<"$defaults_store")"
    } ;;
  font-choose)
    open_dialog && {
      click 7
      font=$(p owned "$DLG" 10)
      FONTDLG=${font%% *}
      face=$(p gettext "$FONTDLG" 1136)
      [ -n "$face" ] && pass "the font dialog offers '$face'" || fail "the font dialog shows no face"
      xdotool key Return
      owned_gone "$DLG" && pass "OK closes the font dialog" || fail "OK left the font dialog open"
      xdotool key Escape
      expect_closed "Esc after choosing a font"
      expect_eq "a chosen font without OK stores nothing" "$(store)" absent
    }
    open_dialog && {
      click 7
      font=$(p owned "$DLG" 10)
      FONTDLG=${font%% *}
      face=$(p gettext "$FONTDLG" 1136)
      xdotool key Return
      owned_gone "$DLG" || fail "the font dialog stays open"
      click 1
      expect_closed "OK after choosing a font"
      expect_eq "the chosen face is stored" "$(store | grep '^Font Face')" "Font Face=sz:$face"
      height=$(store | sed -n 's/^Font Height=dword://p')
      [ -n "$height" ] && [ "$height" != 18 ] && pass "the chosen height $height is stored" \
        || fail "font height after choosing: '$height'"
    } ;;
  parents)
    # The fallback mode's dialog D1 has no parent; while it is the foreground
    # window, further instances show whom each command line makes the parent.
    open_dialog && {
      D1=$DLG D1PID=$SAVER_PID; SAVER_PID=""
      expect_eq "no switch: no parent" "$(p info "$D1" | cut -d' ' -f1)" 0
      expect_eq "the first dialog is the foreground window" "$(p foreground)" "$D1"
      nowindow=123456
      p info $nowindow >/dev/null && nowindow=654321
      for row in "/c:$D1|$D1" "/C:$D1|$D1" "/c $D1|$D1" "-c $D1|$D1" "c $D1|$D1" "/c :: :$D1|$D1" "/c|$D1" \
                 "/c:|$D1" "/c 0|$D1" "/c:abc|$D1" "/c:$nowindow|0" "|0" "/x|0" "/c$D1|0" "/scr|0" "/a|0"; do
        IFS='|' read -r args owner <<<"$row"
        # The last dialog's end hands the foreground back to D1 a moment
        # later (longer under emulation): the next instance must find it there.
        for i in $(seq 1 100); do [ "$(p foreground)" = "$D1" ] && break; sleep 0.1; done
        # shellcheck disable=SC2086
        start_saver $args
        D2=$(p dialog "$caption" 15 "$D1")
        if [ "$D2" = none ]; then fail "'$args' opened no dialog"; stop_saver; continue; fi
        expect_eq "'$args' parent" "$(p info "$D2" | cut -d' ' -f1)" "$owner"
        [ "$owner" = "$D1" ] && expect_eq "'$args' disables its parent" "$(p info "$D1" | cut -d' ' -f2)" 0
        p post "$D2" 0x0111 2 0
        expect_closed "IDCANCEL after '$args'"
        expect_eq "'$args' leaves the first dialog enabled" "$(p info "$D1" | cut -d' ' -f2)" 1
      done
      p post "$D1" 0x0111 2 0
      SAVER_PID=$D1PID
      expect_closed "IDCANCEL of the first dialog"
      expect_eq "nothing stored" "$(store)" absent
    } ;;
  bad-store)
    # Values of the wrong type give the dialog's defaults; strings of 10 000
    # characters, an out-of-range number and the extremes of a 32-bit value are shown.
    p put "Frame Rate" sz 12; p put "Bump Speed" binary 05000000; p put "Bump YDistance" qword 5
    p put "Bump XDistance" dword 0xFFFFFFFF; p put "Bump From Index" dword 0x80000000
    p put "CW Direction" dword 2; p put YPosition dword 5; p put "Font Width" sz abc
    p put "Font Height" dword 0x7FFFFFFF
    long=10000
    p put FilenameGif sz g $long; p put XPosition sz x $long; p put "Text Lines" sz t $long
    p put "Font Face" sz f $long; p put "Font Style" sz s $long
    open_dialog /c && {
      for pair in 1000:30 1010:20 1005:200 1004:-1 1001:-2147483648 1014:Center; do
        expect_eq "control ${pair%%:*} shows ${pair#*:}" "$(p gettext "$DLG" "${pair%%:*}")" "${pair#*:}"
      done
      expect_eq "CW Direction 2 shows a cleared box" "$(p check "$DLG" 1015)" 0
      for id in 1008 1013 1033; do
        t=$(p gettext "$DLG" $id); expect_eq "control $id holds the whole long string" "${#t}" $long
      done
      xdotool key Return
      box=$(p owned "$DLG" 8)
      expect_eq "the first bad stored number is reported" "$(cut -d'|' -f3 <<<"$box")" \
        "Please enter an integer between 0 and 255."
      xdotool key Return; owned_gone "$DLG"
      p settext "$DLG" 1001 0
      xdotool key Return
      box=$(p owned "$DLG" 8)
      expect_eq "then the next" "$(cut -d'|' -f3 <<<"$box")" "Please enter an integer between 0 and 1000."
      xdotool key Return; owned_gone "$DLG"
      p settext "$DLG" 1004 300
      click 7
      font=$(p owned "$DLG" 10)
      [ "$font" != none ] && pass "the font dialog opens with the long face" || fail "no font dialog"
      xdotool key Escape; owned_gone "$DLG"
      click 1
      expect_closed "OK"
      s=$(store)
      # The face reaches the font dialog cut to 31 characters and the style to
      # 63, and a cancelled font dialog hands back what it was given.
      for row in FilenameGif:g:$long XPosition:x:$long "Text Lines:t:$long" "Font Face:f:31" "Font Style:s:63"; do
        IFS=: read -r key c n <<<"$row"
        expect_eq "$key stored with $n characters" "$(sed -n "s/^$key=sz://p" <<<"$s")" "$(printf "%${n}s" | tr ' ' "$c")"
      done
      for pair in "Frame Rate:30" "Bump Speed:20" "Bump YDistance:200" "Bump XDistance:300" "Bump From Index:0" \
                  "CW Direction:0" "Font Width:18" "Font Height:2147483647"; do
        expect_eq "${pair%%:*} stored" "$(sed -n "s/^${pair%%:*}=dword://p" <<<"$s")" "${pair#*:}"
      done
      expect_eq "YPosition stored" "$(sed -n 's/^YPosition=sz://p' <<<"$s")" Center
    } ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

e2e_end
