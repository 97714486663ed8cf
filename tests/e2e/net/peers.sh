# Sourced by the network e2e scripts (after lib.sh): programs driven through
# command files (tests/programs/net_peer.cpp) and the raw tools.
NET_TOOLS="python3 $BRINDLE_SOURCE/tests/e2e/net/net_tools.py"

# windows_path FILE: the path a Wine program uses for a Linux file.
windows_path() {
  WINEPREFIX=${BRINDLE_WINEPREFIX:-$BRINDLE_SOURCE/build/wineprefix} winepath -w "$1" 2>/dev/null
}

# start_peer NAME EXE [wine]: a peer program reading $E2E_WORK/NAME/commands.
start_peer() {
  local dir=$E2E_WORK/$1
  mkdir -p "$dir"
  : >"$dir/commands"
  : >"$dir/results"
  if [ "${3:-}" = wine ]; then
    "$BRINDLE_SOURCE/scripts/wine-run" "$2" "$(windows_path "$dir/commands")" "$(windows_path "$dir/results")" \
      >"$dir/out" 2>&1 &
  else
    "$2" "$dir/commands" "$dir/results" >"$dir/out" 2>&1 &
  fi
  echo $! >"$dir/pid"
  E2E_PIDS+=("$!")
}

peer_pid() { cat "$E2E_WORK/$1/pid"; }

# send_cmd NAME LINE: appends a command; prints its line number.
send_cmd() {
  local f=$E2E_WORK/$1/commands
  printf '%s\n' "$2" >>"$f"
  wc -l <"$f" | tr -d ' '
}

# wait_result NAME N [TIMEOUT]: prints the result of command N.
wait_result() {
  local f=$E2E_WORK/$1/results t line
  t=$(patient "${3:-60}")
  while [ $t -gt 0 ]; do
    line=$(grep -m1 "^$2 " "$f" 2>/dev/null)
    if [ -n "$line" ]; then echo "${line#* }"; return 0; fi
    kill -0 "$(peer_pid "$1")" 2>/dev/null || { echo "(peer $1 ended: $(tail -c 300 "$E2E_WORK/$1/out"))"; return 1; }
    sleep 0.1; t=$((t - 1))
  done
  echo "(no result from $1 for command $2; it printed: $(tail -c 300 "$E2E_WORK/$1/out"))"
  return 1
}

# cmd NAME LINE [TIMEOUT]: runs a command and prints its result.
cmd() { wait_result "$1" "$(send_cmd "$1" "$2")" "${3:-60}"; }

# expect NAME LINE WANT: the command's result must be WANT.
expect() {
  local got
  got=$(cmd "$1" "$2")
  [ "$got" = "$3" ] || fail "$1: '$2' gave '$got', expected '$3'"
}

# expect_soon NAME LINE WANT [SECONDS]: repeats the command until it gives WANT.
expect_soon() {
  local got end=$(( $(date +%s) + ${4:-20} * E2E_PATIENCE ))
  while :; do
    got=$(cmd "$1" "$2")
    [ "$got" = "$3" ] && return 0
    [ "$(date +%s)" -ge "$end" ] && fail "$1: '$2' still gave '$got', expected '$3'"
    sleep 0.2
  done
}

# expect_inbox NAME ID WANT [SECONDS]: the messages local player ID receives,
# up to and including the one matching WANT's last entry, must be WANT
# (space-separated "SENDER:TEXT").
expect_inbox() {
  local got all="" last=${3##* } end=$(( $(date +%s) + ${4:-20} * E2E_PATIENCE ))
  while :; do
    got=$(cmd "$1" "recv $2")
    if [ "$got" = "-" ]; then
      [ "$(date +%s)" -ge "$end" ] && fail "$1: player $2 got '$all', expected '$3'"
      sleep 0.05; continue
    fi
    all="${all:+$all }$got"
    [ "$got" = "$last" ] && break
  done
  [ "$all" = "$3" ] || fail "$1: player $2 got '$all', expected '$3'"
}

# host_game NAME: hosts on a free port (another one if it was taken in
# between); sets PORT.
host_game() {
  local i
  for i in 1 2 3 4 5; do
    PORT=$($NET_TOOLS free-port)
    [ "$(cmd "$1" "host $PORT")" = 1 ] && return 0
  done
  fail "$1 could not host a game"
}
