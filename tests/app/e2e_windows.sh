#!/usr/bin/env bash
# Drives the real program on a virtual X display with xdotool.
#   e2e_windows.sh <miaohui binary> escape|enter
# escape: Esc on the welcome window ends the program with status 0.
# enter:  the enter button opens the centred main window and the welcome window goes;
#         Esc there ends the program with status 0.
# With MIAOHUI_SCREENSHOT_DIR set, screenshots of the screen are left there.
set -euo pipefail

bin=$(readlink -f "$1")
case_name=$2
work=$(mktemp -d)
xvfb=""
app=""

cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# poll <seconds> <command...>: true once the command succeeds.
poll() {
  local bound=$(( $1 * 10 )); shift
  for _ in $(seq "$bound"); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
poll 30 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
poll 30 xdotool getdisplaygeometry || fail "display $DISPLAY does not answer"

# The visible window whose title is exactly $1 (xdotool's search ignores case).
window_titled() {
  local w
  for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    if [ "$(xdotool getwindowname "$w")" = "$1" ]; then echo "$w"; return 0; fi
  done
  return 1
}
has_window() { window_titled "$1" >/dev/null; }
no_window() { ! window_titled "$1" >/dev/null; }
place_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x "," y}'
}
size_of() {
  xwininfo -id "$1" | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h}'
}
shoot() {
  if [ -n "${MIAOHUI_SCREENSHOT_DIR:-}" ]; then import -window root "$MIAOHUI_SCREENSHOT_DIR/$1.png"; fi
}
wait_exit() {
  poll 30 bash -c "! kill -0 $app" || fail "the program is still running"
  local status=0
  wait "$app" || status=$?
  app=""
  [ "$status" -eq 0 ] || fail "exit status $status"
}

welcome_title="墨汀qq3816059471"
main_title="妙绘工坊 墨汀QQ3816059471"

cd /
"$bin" 2>"$work/app.log" &
app=$!
poll 30 has_window "$welcome_title" || fail "no welcome window"
welcome=$(window_titled "$welcome_title")
[ "$(readlink "/proc/$app/cwd")" = "$(dirname "$bin")" ] || fail "current directory is not the program's folder"
[ "$(place_of "$welcome")" = "50,50" ] || fail "welcome window at $(place_of "$welcome")"
[ "$(size_of "$welcome")" = "348x209" ] || fail "welcome window is $(size_of "$welcome")"
icons=$(xprop -id "$welcome" _NET_WM_ICON)
[[ "$icons" == *"Icon (32 x 32)"* ]] || fail "the welcome window has no icon"
sleep 0.5
shoot welcome

case "$case_name" in
  escape)
    xdotool key Escape
    wait_exit
    ;;
  enter)
    # 按钮3 at 232,144 (88 x 40) in the client area.
    xdotool mousemove $((50 + 232 + 44)) $((50 + 144 + 20)) click 1
    poll 30 has_window "$main_title" || fail "no main window"
    poll 30 no_window "$welcome_title" || fail "the welcome window stays"
    main=$(window_titled "$main_title")
    [ "$(place_of "$main")" = "$(( (1280 - 789) / 2 )),$(( (1024 - 598) / 2 ))" ] ||
      fail "main window at $(place_of "$main")"
    [ "$(size_of "$main")" = "783x572" ] || fail "main window is $(size_of "$main")"
    kill -0 "$app" || fail "the program ended with the welcome window"
    sleep 0.5
    shoot main
    xdotool key Escape
    wait_exit
    ;;
  *) fail "unknown case $case_name" ;;
esac
echo "ok: $case_name"
