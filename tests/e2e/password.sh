#!/usr/bin/env bash
# End-to-end tests of the password check and the password change under Wine,
# with the stand-in system components (tests/standins) next to a copy of the
# saver. Wine presents itself as the 95/98 family to Orvane.scr when its
# per-application Windows version is "win98".
#   password.sh CASE
# Environment: as saver.sh, and ORVANE_STANDINS (the folder of the stand-ins);
# ORVANE_STANDIN_TOOL, when set, is the helper program to use in its place.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_env "$@"
standins=${ORVANE_STANDINS:?}
tool=${ORVANE_STANDIN_TOOL:-$standins/standin_tool.exe}
TOOL_PID=""

readonly app_key='HKCU\Software\Wine\AppDefaults\Orvane.scr'
readonly desktop_key='HKCU\Control Panel\Desktop'
readonly record_key='HKCU\Software\OrvaneStandins'

# The prefix is shared with the other Wine tests: whatever this script sets
# is removed again, whichever way it ends.
password_cleanup() {
  [ -n "$TOOL_PID" ] && kill "$TOOL_PID" 2>/dev/null
  wine reg delete "$app_key" /f >/dev/null 2>&1
  wine reg delete "$desktop_key" /v ScreenSaveUsePassword /f >/dev/null 2>&1
  wine reg delete "$record_key" /f >/dev/null 2>&1
}
trap 'password_cleanup; cleanup' EXIT

e2e_begin 1024x768x24
password_cleanup

# A folder of its own for the case: a copy of the saver and the named stand-ins.
# PASSWORD.CPL is looked for in the program's folder.
install_case() {
  local dir; dir="$(dirname "$scr")/e2e-password/$case_name"
  rm -rf "$dir"; mkdir -p "$dir"
  cp "$scr" "$dir/Orvane.scr"
  local f; for f in "$@"; do cp "$standins/$f" "$dir/$f"; done
  scr="$dir/Orvane.scr"
}
as_win98() { wine reg add "$app_key" /v Version /d win98 /f >/dev/null 2>&1; }
use_password() { wine reg add "$desktop_key" /v ScreenSaveUsePassword /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
set_standin() { wine reg add "$record_key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }

# What a stand-in wrote down: a number in decimal, a string as it is, or "absent".
recorded() {
  local v
  v=$(wine reg query "$record_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }')
  if [ -z "$v" ]; then echo absent; elif [[ $v == 0x* ]]; then echo $((v)); else echo "$v"; fi
}
expect_recorded() {
  local got; got=$(recorded "$1")
  [ "$got" = "$2" ] && pass "$3 ($1 = $2)" || fail "$3: $1 is $got, expected $2"
}

# Like open_saver, with Wine's registry trace in $trace.
trace="$shots/$case_name.trace"
open_traced() {
  xdotool mousemove 300 300
  WINEDEBUG=trace+reg wine_any "$scr" /s >/dev/null 2>"$trace" &
  SAVER_PID=$!
  local line; line=$(find_window)
  [ "$line" != "none" ] && [ -n "$line" ] || { fail "$case_name: no saver window"; return 1; }
  HWND=${line%% *}
}
expect_setting_read() {
  if grep -q '"ScreenSaveUsePassword"' "$trace"; then
    [ "$1" = yes ] && pass "the setting was read" || fail "the setting was read"
  else
    [ "$1" = no ] && pass "the setting was not read" || fail "the setting was not read"
  fi
}

# Runs "Orvane.scr ARGS" with Wine's own MPR.DLL overridden by the one in the
# program's folder (or, with mpr=n, by none at all) and waits for its end.
run_change() {
  local overrides=$1; shift
  WINEDLLOVERRIDES="mscoree,mshtml=;mpr=$overrides" wine_any "$scr" "$@" >/dev/null 2>&1 &
  SAVER_PID=$!
}

case "$case_name" in
  nt-family)
    # The stand-in would refuse; outside the 95/98 family it is never asked.
    install_case PASSWORD.CPL
    use_password 1; set_standin VerifyAnswer 0
    open_traced && { sleep 6; xdotool key x; expect_end "a key 6 s after the set-up"; }
    expect_recorded PasswordLoads absent "PASSWORD.CPL was never loaded"
    expect_setting_read no
    ;;
  nt-a-switch)
    # "/a" is not the password change here (it opens the settings, whenever those exist).
    install_case MPR.DLL
    run_change n,b /a 77
    sleep 4
    expect_recorded ChangeCalls absent "'/a 77' outside the 95/98 family changed no password"
    stop_saver
    ;;
  grace)
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 0
    # The key follows the window at once: the exact border (4 s ends, 5 s asks)
    # is the Windows unit tests' business, where the clock is under control.
    start_saver /s
    line=$(find_window)
    if [ "$line" = none ] || [ -z "$line" ]; then fail "no saver window"
    else xdotool key x; expect_end "a key right after the set-up"; fi
    expect_recorded VerifyCalls absent "no password asked in the first seconds"
    ;;
  right)
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 1
    open_traced && { sleep 6; xdotool key x; expect_end "the right password"; }
    expect_recorded VerifyCalls 1 "asked once"
    expect_recorded VerifyWindow "$HWND" "owned by the saver window"
    expect_recorded PasswordUnloads 1 "released after the question"
    expect_setting_read yes
    ;;
  wrong-then-right)
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 0; set_standin VerifyPumpMs 3000
    open_saver 300 300 && {
      sleep 6; xdotool key x; sleep 1.5
      running=$(wine "$tool" running 2>/dev/null | tr -d '\r')
      [ "$running" = 1 ] && pass "the system is told a saver runs while the dialog is open" \
        || fail "screen-saver-running flag during the dialog: $running"
      expect_running "a wrong password"
      running=$(wine "$tool" running 2>/dev/null | tr -d '\r')
      [ "$running" = 0 ] && pass "the flag is cleared after the dialog" || fail "flag after the dialog: $running"
      # The light keeps moving: two screenshots a second apart differ.
      import -window root "$shots/$case_name-1.png" 2>/dev/null; sleep 1
      import -window root "$shots/$case_name-2.png" 2>/dev/null
      changed=$(compare -metric AE "$shots/$case_name-1.png" "$shots/$case_name-2.png" null: 2>&1 | awk '{ print ($1 > 0) }')
      [ "$changed" = 1 ] && pass "frames go on after the wrong password" || fail "the screen stood still after it"
      expect_recorded VerifyCalls 1 "asked once"
      expect_recorded VerifyWindow "$HWND" "owned by the saver window"
      expect_recorded VerifyCursorShowing 1 "the cursor shown during the dialog"
      expect_recorded VerifySaverRunning 1 "the flag set during the dialog"
      ticks=$(recorded VerifyTimerTicks)
      [ "$ticks" != absent ] && [ "$ticks" -ge 10 ] && pass "frames went on during the dialog ($ticks)" \
        || fail "frames during the dialog: $ticks"
      set_standin VerifyPumpMs 0
      xdotool mousemove 700 500; expect_running "the first movement after it (a new origin only)"
      expect_recorded VerifyCalls 1 "the new origin asked nothing"
      xdotool mousemove 702 501; expect_running "3 pixels from the new origin"
      xdotool mousemove 702 502; expect_running "4 pixels from the new origin, wrong again"
      expect_recorded VerifyCalls 2 "asked again after 4 pixels"
      set_standin VerifyAnswer 1
      xdotool key x; expect_end "the right password at the third question"
      expect_recorded VerifyCalls 3 "asked three times in all"
    }
    ;;
  value-zero)
    install_case PASSWORD.CPL
    as_win98; use_password 0; set_standin VerifyAnswer 0
    open_saver 300 300 && { sleep 6; xdotool key x; expect_end "a key with ScreenSaveUsePassword 0"; }
    expect_recorded PasswordLoads absent "nothing loaded"
    ;;
  no-cpl)
    install_case
    as_win98; use_password 1; set_standin VerifyAnswer 0
    open_saver 300 300 && { sleep 6; xdotool key x; expect_end "a key without PASSWORD.CPL"; }
    ;;
  change)
    install_case MPR.DLL
    as_win98
    run_change n,b /a 77
    expect_end "'/a 77'"
    expect_recorded ChangeCalls 1 "'/a 77' asked for the change"
    expect_recorded ChangeProvider SCRSAVE "provider"
    expect_recorded ChangeWindow 77 "parent from the command line"
    expect_recorded ChangeArg3 0 "third argument"
    expect_recorded ChangeArg4 0 "fourth argument"
    ;;
  change-foreground)
    install_case MPR.DLL
    as_win98
    out="$shots/$case_name.window"
    wine "$tool" window 60 >"$out" 2>/dev/null &
    TOOL_PID=$!
    for i in $(seq 1 300); do [ -s "$out" ] && break; sleep 0.1; done
    read -r owner isForeground < <(tr -d '\r' <"$out")
    [ "${isForeground:-0}" = 1 ] && pass "window $owner is the foreground window" \
      || fail "no foreground window to compare with ($(cat "$out"))"
    n=0
    for args in "/a:77" "/a" "-A" "/a 0"; do
      # shellcheck disable=SC2086
      run_change n,b $args
      expect_end "'$args'"
      n=$((n + 1))
      expect_recorded ChangeCalls $n "'$args' asked for the change"
      expect_recorded ChangeWindow "${owner:-?}" "'$args' parent is the foreground window"
    done
    ;;
  change-missing)
    # Wine's own MPR.DLL switched off and none in the folder: the change has nothing to call.
    install_case
    as_win98
    run_change n /a 77
    expect_end "'/a 77' without MPR.DLL"
    expect_recorded ChangeCalls absent "nothing called"
    ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

e2e_end
