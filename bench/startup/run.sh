#!/usr/bin/env bash
# Glimmerball's start-up on Linux: milliseconds from starting the process to
# its first frame (the cleared window), to the "Loading..." frame and to the
# game's own first frame, with the software-rendering warning box answered
# at once (a user's reading time is not start-up time); beside each the
# process's CPU milliseconds so far (all threads), which a busy machine moves
# less. The floor, in the same run and interleaved, is the plainest SDL2 +
# OpenGL program showing a frame (plain_window.c). Medians of REPS runs of
# each (default 9) after one warm-up run of each. Sound goes to SDL's disk
# driver (a device that opens, as on a player's machine): where no device
# opens at all, SDL's ALSA back end waits up to 100 ms for its device watch
# thread when the runtime gives the audio subsystem up, and start-up is that
# much longer.
#   bench/startup/run.sh [REPS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
reps=${1:-9}
"$here/scripts/build" linux >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_xvfb 1024x768
work=$(mktemp -d)
trap 'rm -rf "$work"; kill "$XVFB_PID" 2>/dev/null' EXIT
cp "$here/build/linux/game/glimmerball" "$here/build/linux/bench/startup/plain_window" "$work/"
python3 - "$work" "$here/build/linux/bench/startup/libfirst_frame.so" "$reps" <<'PY'
import os, re, signal, statistics, subprocess, sys, time
work, shim, reps = sys.argv[1], sys.argv[2], int(sys.argv[3])
programs = {"glimmerball": 3, "plain_window": 1}  # the swaps each is watched for
runs = {name: [] for name in programs}
for rep in range(reps + 1):  # the first round warms the file cache
    for name, swaps in programs.items():
        env = dict(os.environ, LD_PRELOAD=shim, FIRST_FRAME_EXIT=str(swaps))
        env.setdefault("SDL_AUDIODRIVER", "disk")
        env.setdefault("SDL_DISKAUDIOFILE", "/dev/null")
        env["FIRST_FRAME_T0"] = str(time.monotonic_ns())
        p = subprocess.Popen([os.path.join(work, name)], cwd=work, env=env, stderr=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, text=True, start_new_session=True)
        times = []
        deadline = time.time() + 60
        while len(times) < swaps and time.time() < deadline:
            line = p.stderr.readline()
            if not line:
                break
            m = re.match(r"first-frame swap \d: ([0-9.]+) ms, CPU ([0-9.]+) ms", line)
            if m:
                times.append((float(m.group(1)), float(m.group(2))))
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        p.wait()
        if rep > 0 and len(times) == swaps:
            runs[name].append(times)

def median(name, swap, which):
    return statistics.median(r[swap][which] for r in runs[name])

labels = ["first frame (cleared)", "'Loading...' frame", "game's first frame"]
for i, label in enumerate(labels):
    print(f"glimmerball  {label:22s} median {median('glimmerball', i, 0):6.1f} ms, CPU {median('glimmerball', i, 1):6.1f} ms")
print(f"plain_window first frame (cleared)  median {median('plain_window', 0, 0):6.1f} ms, CPU {median('plain_window', 0, 1):6.1f} ms")
print(f"glimmerball / plain window, first frame: wall {median('glimmerball', 0, 0) / median('plain_window', 0, 0):.2f},"
      f" CPU {median('glimmerball', 0, 1) / median('plain_window', 0, 1):.2f}")
print(f"(goal: under 150 ms to the first frame; {len(runs['glimmerball'])} and {len(runs['plain_window'])} runs,"
      f" interleaved; load average at the end {os.getloadavg()[0]:.1f})")
PY
