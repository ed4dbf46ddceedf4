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
readonly winedbg_key='HKCU\Software\Wine\WineDbg'

# The prefix is shared with the other Wine tests: whatever this script sets
# is removed again, whichever way it ends.
password_cleanup() {
  [ -n "$TOOL_PID" ] && kill "$TOOL_PID" 2>/dev/null
  wine reg delete "$app_key" /f >/dev/null 2>&1
  wine reg delete "$desktop_key" /v ScreenSaveUsePassword /f >/dev/null 2>&1
  wine reg delete "$record_key" /f >/dev/null 2>&1
  wine reg delete "$winedbg_key" /v ShowCrashDialog /f >/dev/null 2>&1
}
trap 'password_cleanup; cleanup' EXIT

# The cover cases see two monitors (as monitors.sh does, a fresh Xvfb each).
case "$case_name" in
  cover-*) e2e_begin 640x480x24 +xinerama -extension RANDR -screen 1 800x600x24 ;;
  *) e2e_begin 1024x768x24 ;;
esac
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

# The system's screen-saver-running flag as another process reads it: 0, 1 or "?".
running_flag() {
  local v; v=$(wine "$tool" running 2>/dev/null | tr -d '\r')
  echo "${v:-?}"
}
# Waits up to $1 seconds for the flag to read $2.
flag_reads_within() {
  local until=$((SECONDS + $1))
  while [ $SECONDS -lt $until ]; do [ "$(running_flag)" = "$2" ] && return 0; sleep 0.2; done
  return 1
}
expect_flag() {
  local got; got=$(running_flag)
  [ "$got" = "$1" ] && pass "$2 (flag $got)" || fail "$2: flag $got, expected $1"
}
# The saver ended without a fault.
expect_clean_exit() {
  [ "$SAVER_STATUS" = 0 ] && pass "the saver exited cleanly" || fail "the saver's exit status: ${SAVER_STATUS:-none}"
}
# A protected run: the flag is on from shortly after the start.
expect_protected_start() {
  flag_reads_within 10 1 && pass "the flag is on shortly after the start" || fail "the flag never came on"
}
# A Wine process that outlives the saver keeps the Wine server, which holds
# the flag, so that "off after the end" is the saver's doing.
hold_server() { wine "$tool" hold 120 >/dev/null 2>&1 & TOOL_PID=$!; }

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
    hold_server
    open_traced && {
      for i in 1 2 3 4 5; do [ "$(running_flag)" = 1 ] && break; sleep 1; done
      expect_flag 0 "outside the 95/98 family the flag stays off"
      xdotool key x; expect_end "a key 6 s after the set-up"
    }
    expect_flag 0 "the flag is off after the end"
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
    hold_server
    start_saver /s
    line=$(find_window)
    if [ "$line" = none ] || [ -z "$line" ]; then fail "no saver window"
    else
      # The grace period does not change the protection: the flag is on from the start.
      expect_protected_start
      xdotool key x; expect_end "a key right after the set-up"; expect_clean_exit
    fi
    expect_recorded VerifyCalls absent "no password asked in the first seconds"
    expect_flag 0 "the flag is off after the end"
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
      [ "$running" = 1 ] && pass "the flag stays on after a refused answer" || fail "flag after the dialog: $running"
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
  protected-run)
    # The flag from the start, through a refused check, until the right password ends the saver.
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 0; set_standin VerifyPumpMs 2000
    hold_server
    open_saver 300 300 && {
      expect_protected_start
      sleep 6; xdotool key x; sleep 1
      expect_flag 1 "the flag is on during the dialog"
      expect_running "a wrong password"
      expect_flag 1 "the flag stays on after a refused answer"
      expect_recorded VerifyCalls 1 "asked once"
      set_standin VerifyPumpMs 0; set_standin VerifyAnswer 1
      xdotool key x; expect_end "the right password"; expect_clean_exit
      expect_recorded VerifyCalls 2 "asked twice"
    }
    expect_flag 0 "the flag is off after the end"
    ;;
  protected-close)
    # WM_CLOSE from another process ends a protected saver and clears the flag.
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 0
    hold_server
    open_saver 300 300 && {
      expect_protected_start
      wine "$probe" post "$HWND" 16 0 0 >/dev/null 2>&1
      expect_end "WM_CLOSE from another process"; expect_clean_exit
    }
    expect_flag 0 "the flag is off after the end"
    expect_recorded VerifyCalls absent "nothing asked"
    ;;
  protected-crash)
    # The system's password component faults inside the check (an access
    # violation): the process ends, and the flag must not outlive it. Wine's
    # crash dialog, which would wait for a user, is switched off.
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 1; set_standin VerifyCrash 1
    wine reg add "$winedbg_key" /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    hold_server
    open_saver 300 300 && {
      expect_protected_start
      sleep 6; xdotool key x
      if ends_within 30; then pass "the fault ends the saver (status $SAVER_STATUS)"
      else fail "the saver did not end after the fault"; stop_saver; fi
      [ "${SAVER_STATUS:-0}" != 0 ] && pass "not a clean exit" || fail "exit status ${SAVER_STATUS:-none} after a fault"
    }
    expect_recorded VerifyCalls 1 "asked once"
    expect_flag 0 "the flag is off after the fault"
    ;;
  protected-failed-setup)
    # A picture that is not there: the message instead of the effect, protected all the same.
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 1
    wine reg add "$config" /v FilenameGif /d "$(winpath "$data/no-such-picture.gif")" /f >/dev/null 2>&1
    hold_server
    open_saver 300 300 && {
      expect_protected_start
      sleep 6; xdotool key x; expect_end "the right password after a failed set-up"; expect_clean_exit
    }
    expect_recorded VerifyCalls 1 "asked once"
    expect_flag 0 "the flag is off after the end"
    ;;
  unprotected)
    # No password asked for: the flag is never given.
    install_case PASSWORD.CPL
    as_win98; use_password 0; set_standin VerifyAnswer 0
    hold_server
    open_saver 300 300 && {
      on=0
      for i in 1 2 3 4 5; do [ "$(running_flag)" = 1 ] && on=1; sleep 0.5; done
      [ $on = 0 ] && pass "the flag stays off without a password" || fail "the flag came on without a password"
      xdotool key x; expect_end "a key"
    }
    expect_flag 0 "the flag is off after the end"
    ;;
  cover-dialog)
    # Input over the second monitor's cover while the dialog is open asks nothing more;
    # the right answer then ends the saver cleanly.
    install_case PASSWORD.CPL
    as_win98; use_password 1; set_standin VerifyAnswer 1; set_standin VerifyPumpMs 6000
    hold_server
    open_saver 720 560 && {
      expect_protected_start
      sleep 6
      xdotool mousemove 740 580; sleep 1   # over the cover: asks
      expect_recorded VerifyCalls 1 "movement over the cover asked"
      xdotool mousemove 700 520; sleep 0.3; xdotool mousemove 780 590; sleep 0.3
      xdotool click 1; sleep 0.3; xdotool click 3; sleep 0.3; xdotool key x; sleep 0.3
      xdotool mousemove 610 450; sleep 0.3; xdotool click 1; sleep 0.3
      expect_recorded VerifyCalls 1 "input during the dialog asked nothing more"
      expect_end "the right answer"; expect_clean_exit
      expect_recorded VerifyCalls 1 "asked once in all"
      expect_recorded VerifyMostNested 1 "never two dialogs at once"
    }
    expect_flag 0 "the flag is off after the end"
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
