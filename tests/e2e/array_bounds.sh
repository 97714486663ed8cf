# A program that reads outside an array ends through EndProgram with the
# error code of the array checks; its debug end trace in the error log says
# which code and where (exit code 0, as for every end of a program).
. "$(dirname "$0")/lib.sh"

exe=$(program array_bounds)
[ -f "$exe" ] || fail "missing $exe"
log=$(error_log)

# run ARGUMENT EXPECTED-TRACE...: the last five lines of the log must be the
# end trace "-End On Line", code, line - 1, line, tag.
run() {
  local arg=$1; shift
  rm -f "$log"
  run_to_exit "argument '$arg'" "$exe" "$arg"
  [ -f "$log" ] || fail "argument '$arg': no error log at $log"
  local got want
  got=$(end_trace "$log")
  want="-End On Line $*"
  [ "$got" = "$want" ] || fail "argument '$arg': trace '$got', expected '$want'"
  grep -q '^Current Dir' "$log" || fail "argument '$arg': start-up lines missing from the log"
  pass "argument '$arg': $want"
}

run 10 9 39 40 3       # index = size: out of range
run -0.5 9 39 40 3     # truncates to 0 but is negative
run never 8 29 30 2    # an array without elements
run 9 0 49 50 4        # the last element: the program goes on to End
