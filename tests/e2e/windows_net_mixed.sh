# One game across both builds: a Windows host under Wine and a Linux
# joiner (from the Linux build beside this one) exchange ids, names and
# messages; the joiner's leave at its end reaches the host.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/net/peers.sh"

host_exe=$(program net_peer)
linux_exe=$BRINDLE_SOURCE/build/linux/tests/programs/prog_net_peer
[ -f "$host_exe" ] || fail "missing $host_exe"
[ -x "$linux_exe" ] || fail "missing $linux_exe (build the linux preset too)"
start_peer W "$host_exe" wine
start_peer L "$linux_exe"

host_game W
expect W "create Windows" 101
expect L "join 127.0.0.1 $PORT" 1
expect L "create Linux" 103
expect L count 2
expect W "name 103" "[Linux]"
expect L "name 101" "[Windows]"
expect L "send 103 0 from-linux" 1
expect_inbox W 101 "103:from-linux"
expect_inbox L 103 "103:from-linux"
expect W "send 101 103 from-windows" 1
expect_inbox L 103 "101:from-windows"
send_cmd L quit >/dev/null
expect_soon W count 1
pass "Windows host and Linux joiner: ids, names, messages both ways, leave"
