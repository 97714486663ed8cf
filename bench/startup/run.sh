#!/usr/bin/env bash
# Glimmerball's start-up on Linux: milliseconds from starting the process to
# its first frame (the "Loading..." frame) and to the game's own first
# frame, with the software-rendering warning box answered at once (a user's
# reading time is not start-up time). Medians of REPS runs (default 9).
#   bench/startup/run.sh [REPS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
reps=${1:-9}
"$here/scripts/build" linux >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_xvfb 1024x768
work=$(mktemp -d)
trap 'rm -rf "$work"; kill "$XVFB_PID" 2>/dev/null' EXIT
cp "$here/build/linux/game/glimmerball" "$work/"
python3 - "$work/glimmerball" "$here/build/linux/bench/startup/libfirst_frame.so" "$reps" <<'PY'
import os, re, signal, statistics, subprocess, sys, time
exe, shim, reps = sys.argv[1], sys.argv[2], int(sys.argv[3])
first, game = [], []
for _ in range(reps + 1):  # the first run warms the file cache
    env = dict(os.environ, LD_PRELOAD=shim)
    t0 = time.monotonic_ns()
    env["FIRST_FRAME_T0"] = str(t0)
    p = subprocess.Popen([exe], cwd=os.path.dirname(exe), env=env, stderr=subprocess.PIPE,
                         stdout=subprocess.DEVNULL, text=True, start_new_session=True)
    times = []
    deadline = time.time() + 60
    while len(times) < 2 and time.time() < deadline:
        line = p.stderr.readline()
        if not line:
            break
        m = re.match(r"first-frame swap \d: ([0-9.]+) ms", line)
        if m:
            times.append(float(m.group(1)))
    os.killpg(p.pid, signal.SIGKILL)
    p.wait()
    if len(times) == 2:
        first.append(times[0]); game.append(times[1])
first, game = first[1:], game[1:]
print(f"first frame ('Loading...'): median {statistics.median(first):.1f} ms  {first}")
print(f"game's first frame:         median {statistics.median(game):.1f} ms  {game}")
print(f"(goal: under 150 ms to the first frame; {len(first)} runs, warning box answered at once)")
PY
