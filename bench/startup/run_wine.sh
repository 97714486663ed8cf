#!/usr/bin/env bash
# Glimmerball's .exe under Wine: milliseconds from starting it (through
# scripts/wine-run, with no Wine program running before, so Wine's own
# start-up is included, as for a player) to its first three buffer swaps
# (the cleared window, the "Loading..." frame, the game's first frame). The
# swaps are read from Wine's own trace of wglSwapBuffers with time stamps
# (WINEDEBUG=+timestamp,+wgl: Wine's tick count, the raw monotonic clock in
# milliseconds); the first trace line says when Wine's loader got going.
# Medians of REPS runs (default 5) after one warm-up run. Informative: Wine's
# start dominates.
#   bench/startup/run_wine.sh [REPS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
reps=${1:-5}
"$here/scripts/build" windows-i386 >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_display 1024x768
export WINEPREFIX=${BRINDLE_WINEPREFIX:-$here/build/wineprefix}
work=$(mktemp -d)
trap 'rm -rf "$work"; stop_display' EXIT
cp "$here/build/windows-i386/game/glimmerball.exe" "$work/"
"$here/scripts/wine-run" cmd /c exit >/dev/null 2>&1  # the prefix exists
wineserver -w
python3 - "$here/scripts/wine-run" "$work" "$reps" <<'PY'
import os, re, signal, statistics, subprocess, sys, time
wine_run, work, reps = sys.argv[1], sys.argv[2], int(sys.argv[3])
runs, loader = [], []
for rep in range(reps + 1):
    env = dict(os.environ, WINEDEBUG="+timestamp,+wgl")
    t0 = time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) / 1e6
    p = subprocess.Popen([wine_run, "glimmerball.exe"], cwd=work, env=env, stderr=subprocess.PIPE,
                         stdout=subprocess.DEVNULL, text=True, errors="replace", start_new_session=True)
    first, swaps = None, []
    deadline = time.time() + 120
    while len(swaps) < 3 and time.time() < deadline:
        line = p.stderr.readline()
        if not line:
            break
        m = re.match(r"\s*(\d+)\.(\d{3}):", line)
        if not m:
            continue
        t = int(m.group(1)) * 1000 + int(m.group(2)) - t0
        first = t if first is None else first
        if "SwapBuffers" in line:
            swaps.append(t)
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait()
    subprocess.run(["wineserver", "-w"])  # the next run starts Wine afresh
    if rep > 0 and len(swaps) == 3:
        runs.append(swaps)
        loader.append(first)
print(f"Wine's first trace line:  median {statistics.median(loader):6.0f} ms")
for i, label in enumerate(["first frame (cleared)", "'Loading...' frame", "game's first frame"]):
    print(f"{label:24s}  median {statistics.median(r[i] for r in runs):6.0f} ms  {[round(r[i]) for r in runs]}")
print(f"({len(runs)} runs, each with Wine started afresh)")
PY
