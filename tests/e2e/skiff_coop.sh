# Skiff for two over the network: a host from the Linux build and a joiner
# from this target's build (the Windows .exe under Wine for the Windows
# target), each in a directory of its own and read through its own log.
# Both see the partner join; when one player holds a key, that player's
# skiff moves in its own program and, by what was sent, in the partner's;
# the joiner leaving is shown leaving on the host.
. "$(dirname "$0")/lib.sh"

linux_exe=$BRINDLE_SOURCE/build/linux/examples/skiff/skiff
exe=$BRINDLE_BUILD/examples/skiff/skiff; is_windows && exe=$exe.exe
[ -x "$linux_exe" ] || fail "missing $linux_exe (build the linux preset too)"
[ -f "$exe" ] || fail "missing $exe"
mkdir -p "$E2E_WORK/host" "$E2E_WORK/join" && cp "$linux_exe" "$E2E_WORK/host/" && cp "$exe" "$E2E_WORK/join/" ||
  fail "could not copy the programs"
# Keys steer: with the mouse on, a window opening or moved under the pointer
# is a mouse move, and the skiff would row towards the pointer.
for d in host join; do printf '[Controls]\r\nMouse=0\r\n' >"$E2E_WORK/$d/skiff.ini"; done
HOST_LOG=$E2E_WORK/host.log
JOIN_LOG=$E2E_WORK/join.log
: >"$HOST_LOG"; : >"$JOIN_LOG"
log_path() {
  if is_windows; then WINEPREFIX=${BRINDLE_WINEPREFIX:-$BRINDLE_SOURCE/build/wineprefix} winepath -w "$1" 2>/dev/null
  else echo "$1"; fi
}
in_log() { grep -q -- "$2" "$1"; }
# The newest x position of "me" or "peer" in a log ("" before there is one).
x_of() { grep "^tick .* $2 " "$1" | tail -n1 | sed "s/.* $2 \([0-9.]*\) .*/\1/" | cut -d. -f1; }
# A viewable top-level window named Skiff other than the ones given.
new_window() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null | grep -F '"Skiff"' | awk '{print $1}'); do
    case " $* " in *" $id "*) continue ;; esac
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return 0; }
  done
  return 1
}

# The host, moved to the screen's left edge so the joiner's window does not
# cover it.
port=$(python3 "$BRINDLE_SOURCE/tests/e2e/net/net_tools.py" free-port)
"$E2E_WORK/host/skiff" --no-intro --log "$HOST_LOG" --name Linus --host "$port" >"$E2E_WORK/host.out" 2>&1 &
host_pid=$!
E2E_PIDS+=("$host_pid")
poll 60 in_log "$HOST_LOG" "^hosting on port $port" || fail "the host did not start: $(cat "$HOST_LOG")"
host_window=""
found_host() { host_window=$(new_window) ; }
poll 60 found_host || fail "no host window"
xdotool windowmove "$host_window" 0 0

start_program "$E2E_WORK/join/$(basename "$exe")" --no-intro --log "$(log_path "$JOIN_LOG")" --name Wendy \
  --join 127.0.0.1 "$port"
poll 90 in_log "$JOIN_LOG" "^partner joined Linus" || fail "the joiner did not join: $(cat "$JOIN_LOG")"
poll 60 in_log "$HOST_LOG" "^partner joined Wendy" || fail "the host did not see the joiner: $(tail -n 3 "$HOST_LOG")"
join_window=""
found_join() { join_window=$(new_window "$host_window"); }
poll 60 found_join || fail "no joiner window"
xdotool windowmove "$join_window" 700 0
pass "the joiner ($BRINDLE_TARGET) and the Linux host see each other join"

# moved LOG WHO X0: WHO's x in LOG is at least 40 pixels right of X0.
moved() { local x; x=$(x_of "$1" "$2"); [ -n "$x" ] && [ "$x" -ge $(($3 + 40)) ]; }
both_moved() { moved "$1" me "$2" && moved "$3" peer "$2"; }
poll 60 in_log "$HOST_LOG" "^tick .* peer " || fail "the host logs no partner position"
poll 60 in_log "$JOIN_LOG" "^tick .* peer " || fail "the joiner logs no partner position"

# The host's player holds Right: the host skiff moves in both programs.
x0=$(x_of "$HOST_LOG" me)
focus_window "$host_window" || fail "the host window did not get the focus"
hold_until 60 Right -- both_moved "$HOST_LOG" "$x0" "$JOIN_LOG" ||
  fail "the host's skiff did not move in both (from $x0: host sees $(x_of "$HOST_LOG" me), joiner sees $(x_of "$JOIN_LOG" peer))"
pass "the host's skiff moves on the host and on the joiner: x $x0 -> $(x_of "$JOIN_LOG" peer)"

# The joiner's player holds Right: the joiner's skiff moves in both.
x0=$(x_of "$JOIN_LOG" me)
focus_window "$join_window" || fail "the joiner window did not get the focus"
hold_until 60 Right -- both_moved "$JOIN_LOG" "$x0" "$HOST_LOG" ||
  fail "the joiner's skiff did not move in both (from $x0: joiner sees $(x_of "$JOIN_LOG" me), host sees $(x_of "$HOST_LOG" peer))"
pass "the joiner's skiff moves on the joiner and on the host: x $x0 -> $(x_of "$HOST_LOG" peer)"

# Escape: the joiner leaves, the host shows it leaving and plays on.
hold_until 30 Escape -- in_log "$JOIN_LOG" "^left the game" || fail "Escape did not make the joiner leave"
poll 60 in_log "$HOST_LOG" "^partner left Wendy" || fail "the host did not see the joiner leave"
kill -0 "$host_pid" 2>/dev/null || fail "the host ended"
pass "the joiner leaving is shown on the host, which plays on"
