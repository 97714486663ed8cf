# Network games between real programs on loopback: a host with its own
# player and two joining programs (one with two players). Ids, messages to
# one player and to all (each player gets each message once), requests,
# forged host messages and a hostile sender, an HTTP download during the
# game, leaving at program end and a program killed without leaving; the
# default port 27013 and NetJoin without a host.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/net/peers.sh"

exe=$(program net_peer)
[ -f "$exe" ] || fail "missing $exe"
mode=native; is_windows && mode=wine
for p in H J1 J2; do start_peer $p "$exe" $mode; done

# NetJoin with nobody there: 0 after about 5 s (runs while H goes on).
dead_port=$($NET_TOOLS free-port)
no_host=$(send_cmd J1 "elapsed join 127.0.0.1 $dead_port")

# The default port, 27013, is shared by every test run on this machine:
# one at a time.
exec 9>/tmp/brindle-net-port-27013.lock
flock -w 600 9 || fail "waited too long for port 27013"
got=$(cmd H local)
[[ "$got" =~ ^\[[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+(\|[0-9.]+)*\]$ ]] || fail "NetLocalAddresses gave '$got'"
pass "NetLocalAddresses: $got"
expect H "host 0" 1
$NET_TOOLS handshake 27013 10 || fail "port text 0: nobody answers on 27013"
expect H local "$got"  # hosting on 27013 leaves the local addresses as they were
expect H "host -5" 1
$NET_TOOLS handshake 27013 10 || fail "port text -5: nobody answers on 27013"
host_game H
exec 9>&-
pass "port texts 0 and -5 host on 27013; NetLocalAddresses gives the same addresses while hosting there"

expect H "create Hostess" 101
got=$(wait_result J1 "$no_host" 60)
[ "${got% *}" = 0 ] || fail "NetJoin without a host gave '$got'"
ms=${got#* }
[ "$ms" -ge 4000 ] && [ "$ms" -le 15000 ] || fail "NetJoin without a host took $ms ms"
pass "NetJoin without a host: 0 after $ms ms"

# Ids from 101; each join's probe player takes one (102, 104) and leaves.
expect J1 "join 127.0.0.1 $PORT" 1
expect J1 "create Ann" 103
expect J1 count 2
expect J2 "join - $PORT" 1  # no host name: this machine
expect J2 "create Bob" 105
expect J2 "create Cid" 106
expect H count 4
for i in 0 1 2 3 4 -1; do
  want=(101 103 105 106 0 0)
  k=$i; [ "$i" = -1 ] && k=5
  expect H "id $i" "${want[$k]}"
done
expect J1 "name 105" "[Bob]"
expect J2 "name 102" "[]"
pass "ids 101.. in join order; count, ids and names from the host"

# To all, from a joiner: every player once, the sender's own included.
expect J1 "send 103 0 hello" 1
expect J1 "send 103 0 end-1" 1
expect_inbox H 101 "103:hello 103:end-1"
expect_inbox J1 103 "103:hello 103:end-1"
expect_inbox J2 105 "103:hello 103:end-1"
expect_inbox J2 106 "103:hello 103:end-1"
# To one player, then to all from the host (once it arrived: messages from
# different programs are relayed in the order the host reads them).
expect J2 "send 105 101 psst" 1
expect_inbox H 101 "105:psst"
expect H "send 101 0 end-2" 1
expect_inbox H 101 "101:end-2"
expect_inbox J1 103 "101:end-2"
expect_inbox J2 105 "101:end-2"
expect_inbox J2 106 "101:end-2"
pass "messages to all reach each player once; to one player only that player"

# An HTTP download while the game runs leaves the game's library alone.
mkdir -p "$E2E_WORK/www"
head -c 1000000 /dev/urandom >"$E2E_WORK/www/blob.bin"
$NET_TOOLS serve "$E2E_WORK/www" "$E2E_WORK/http.port" &
E2E_PIDS+=("$!")
poll 10 test -s "$E2E_WORK/http.port" || fail "the HTTP server did not start"
out=$E2E_WORK/blob.out
target_out=$out; is_windows && target_out=$(windows_path "$out")
expect H "http 127.0.0.1 /blob.bin $(cat "$E2E_WORK/http.port") $target_out" 1
cmp -s "$out" "$E2E_WORK/www/blob.bin" || fail "downloaded file differs"
expect H count 4
expect J1 "send 103 101 still-there" 1
expect_inbox H 101 "103:still-there"
pass "HttpGetFile during the game: file intact, game goes on"

# A joiner forging the host's welcomes and answers changes nothing.
$NET_TOOLS forge "$PORT" 4 "$E2E_WORK/forging" &
forger=$!
E2E_PIDS+=("$forger")
poll 10 test -e "$E2E_WORK/forging" || fail "the forger did not start"
expect H "create Dora" 107
expect H count 5
expect H "id 4" 107
expect J1 count 5
wait "$forger" || fail "the forger could not connect"
pass "forged welcomes and answers are ignored"

# A hostile sender: short datagrams, other magics, lying lengths, 2048-byte
# payloads and 10000 datagrams; afterwards its own join is still welcomed
# and the others' messages still flow.
mallory=$($NET_TOOLS hostile "$PORT") || fail "hostile sender: $mallory"
[ "$mallory" = 108 ] || fail "the hostile sender's join got id '$mallory'"
expect J1 "send 103 101 after-flood" 1
expect_inbox H 101 "103:after-flood"
# Its program has ended without a leave: it drops out.
expect_soon H count 5
pass "hostile datagrams ignored; a vanished raw peer is dropped"

# Leaving at program end, and a program killed without leaving.
send_cmd J1 quit >/dev/null
expect_soon H count 4
kill -9 "$(peer_pid J2)"
wait "$(peer_pid J2)" 2>/dev/null
expect_soon H count 2
expect H "id 0" 101
expect H "id 1" 107
pass "a program that ends leaves; a killed one is dropped"
