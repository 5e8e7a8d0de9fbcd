#!/usr/bin/env bash
# Starts editor-demo on a scene file under its own Xvfb display, types and edits through the X
# server with xdotool, saves with Ctrl+S, and checks the bytes on disk.
set -euo pipefail
demo=$1
work=$(mktemp -d)
xvfb_pid=""
demo_pid=""
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; echo "--- file now:" >&2; od -c "$work/scene.znt" >&2 || true; exit 1; }

# A free display number.
for n in $(seq 91 140); do
  [ -e "/tmp/.X$n-lock" ] || { disp=":$n"; break; }
done
Xvfb "$disp" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$disp
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

printf 'camera {\r\n\tlocation <0, 1, -5>\r\n}\r\n' >"$work/scene.znt"
unset QT_QPA_PLATFORM
"$demo" "$work/scene.znt" >"$work/demo.log" 2>&1 &
demo_pid=$!
win=$(xdotool search --sync --onlyvisible --name "editor-demo" | head -n 1)
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win"
sleep 0.5

key() { xdotool key --clearmodifiers --delay 60 "$@"; sleep 0.2; }
type_text() { xdotool type --delay 40 "$1"; sleep 0.2; }

# At the end of line 1, type a word; Return auto-indents nothing here; Ctrl+End goes to the end.
key End
type_text " // view"
key ctrl+End
type_text "sphere { <0,0,0>, 1 }"
# A mistaken word, then undone: Ctrl+Z takes back the typing group.
key Return
type_text "oops"
key ctrl+z
key ctrl+s
sleep 1

# Undo takes back the typed word; the new (empty) last line stays.
printf 'camera { // view\r\n\tlocation <0, 1, -5>\r\n}\r\nsphere { <0,0,0>, 1 }\r\n' >"$work/expected"
cmp -s "$work/scene.znt" "$work/expected" || fail "saved text differs"

# Bookmarks through the physical digit keys: mark line 1, go to the end, jump back, type.
key ctrl+Home
key ctrl+shift+1
key ctrl+End
key ctrl+1
type_text "#"
key ctrl+s
sleep 1
head -c 1 "$work/scene.znt" | grep -q '#' || fail "Ctrl+1 did not return to marker 1"
kill -0 "$demo_pid" || fail "editor-demo exited"
echo "end-to-end: typing, undo, bookmarks and saving passed"
