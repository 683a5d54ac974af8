# Sourced by the scripts that run the program under a real X server:
# starts Xvfb and openbox (stopped again on exit), and offers helpers to
# find framed windows and measure their outer size. Expects `work` to name
# a temporary folder and the `pids` array to exist; a script may define
# `fail` before sourcing.
declare -F fail >/dev/null || fail() { echo "$*"; cat "$work/program.log" 2>/dev/null || true; exit 1; }

# Xvfb picks a display number no other server holds and writes it to fd 8;
# -noreset keeps it from resetting (and refusing connections for a moment)
# each time its last client, such as xdpyinfo, goes.
Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp -noreset \
  8>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "no X server on $DISPLAY"; cat "$work/xvfb.log"; exit 1; }
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
# Qt asks once, at start-up, which hints the window manager supports; a
# program started before openbox announces _NET_FRAME_EXTENTS never learns
# its frame size.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_FRAME_EXTENTS && break
  sleep 0.1
done
xprop -root _NET_SUPPORTED | grep -q _NET_FRAME_EXTENTS || { echo "openbox did not start"; cat "$work/openbox.log"; exit 1; }
export XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb

# wait_framed NAME [TENTHS]: the id of the visible window NAME once it is
# framed, waiting at most TENTHS tenths of a second (default 100).
wait_framed() {
  local id=""
  for _ in $(seq "${2:-100}"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ] && xprop -id "$id" _NET_FRAME_EXTENTS | grep -q '='; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

outer_size() {
  local left right top bottom
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$((WIDTH + left + right))x$((HEIGHT + top + bottom))"
}

# wait_outer ID SIZE: the client area is refitted once the frame is known.
wait_outer() {
  for _ in $(seq 50); do [ "$(outer_size "$1")" = "$2" ] && return 0; sleep 0.1; done
  return 1
}

# wait_exit PID: sets exit_code to the program's exit code once it has
# ended by itself (within 5 s). Not in a command substitution: only this
# shell can wait for its child.
wait_exit() {
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "the program is still running"
  set +e; wait "$1"; exit_code=$?; set -e
}
