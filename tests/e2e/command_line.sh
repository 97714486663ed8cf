# The same arguments give the same CommandLine() text on both targets: on
# Windows the system builds it, on Linux the runtime does, by the same
# quoting rules (an embedded quote escaped, an empty argument kept).
. "$(dirname "$0")/lib.sh"

exe=$(program command_line)
[ -f "$exe" ] || fail "missing $exe"
# Start-up makes the program's directory the working directory.
out=$(dirname "$exe")/command_line.txt

# run EXPECTED ARGS...
run() {
  local want=$1; shift
  rm -f "$out"
  run_to_exit "command line for '$want'" "$exe" "$@"
  [ -f "$out" ] || fail "no command_line.txt for $want"
  local got
  got=$(cat "$out")
  [ "$got" = "$want" ] || fail "command line '$got', expected '$want'"
  pass "$want"
}

run '"a b" c\"d "" e\f plain' 'a b' 'c"d' '' 'e\f' plain
run 'x\\\"y "in space\\" \\server\share' 'x\"y' 'in space\' '\\server\share'
