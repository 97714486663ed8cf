# A program joining a host that lies (tests/e2e/net/net_tools.py
# hostile-host): welcomes for ids nobody asked for around each real one,
# answers of the wrong size, junk, lying lengths and a flood before its
# messages. The joiner keeps its players and ids, takes the answers as
# bounded values, gets the messages after the junk, and ends cleanly. Run
# from the asan build, this is the joiner under AddressSanitizer and UBSan.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/net/peers.sh"

exe=$(program net_peer)
[ -f "$exe" ] || fail "missing $exe"
mode=native; is_windows && mode=wine
$NET_TOOLS hostile-host "$E2E_WORK/host.port" >"$E2E_WORK/host.out" 2>&1 &
host_pid=$!
E2E_PIDS+=("$host_pid")
poll 10 test -s "$E2E_WORK/host.port" || fail "the hostile host did not start"
PORT=$(cat "$E2E_WORK/host.port")
start_peer J "$exe" $mode

expect J "join 127.0.0.1 $PORT" 1
expect J "create Ann" 151
expect J "create Bob" 152
pass "false welcomes (-2, -1, -3, 0, 5, 100 and unasked ones) are passed over: ids 151, 152"

expect J count 0
expect J "id 0" 0
expect J "name 151" "[$(printf 'N%.0s' $(seq 126))]"
pass "answers without a count, with three bytes for an id, a name without its end"

expect J "send 151 0 junk" 1
expect_inbox J 151 "150:after-junk"
expect J "send 151 0 got" 1
expect J "send 152 0 flood" 1
expect_inbox J 152 "150:after-flood"
expect J "send 152 0 got" 1
pass "messages after junk and lying lengths, and after a flood of 10000 datagrams, arrive"

expect J "send 151 0 bye" 1
wait "$host_pid" || fail "the hostile host: $(tail -c 300 "$E2E_WORK/host.out")"
send_cmd J quit >/dev/null
t=$(patient 30)
while kill -0 "$(peer_pid J)" 2>/dev/null && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
kill -0 "$(peer_pid J)" 2>/dev/null && fail "the joiner did not end"
wait "$(peer_pid J)"; rc=$?
grep -qE "ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer" "$E2E_WORK/J/out" &&
  { sed -n '/Sanitizer\|runtime error/,$p' "$E2E_WORK/J/out" | head -n 200; fail "the sanitizers reported (see above)"; }
[ $rc -eq 0 ] || fail "the joiner ended with $rc: $(tail -c 300 "$E2E_WORK/J/out")"
pass "the joiner ends with 0$( [ -n "${ASAN_OPTIONS:-}" ] && echo ', nothing reported by the sanitizers')"
