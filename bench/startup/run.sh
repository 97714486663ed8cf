#!/usr/bin/env bash
# Glimmerball's start-up on Linux: milliseconds from starting the process to
# its first frame (the cleared window), to the "Loading..." frame and to the
# game's own first frame, with the software-rendering warning box answered
# at once (a user's reading time is not start-up time); beside each the
# process's CPU milliseconds so far (all threads), which a busy machine moves
# less. The floor, in the same run and interleaved, is the plainest SDL2 +
# OpenGL program showing a frame (plain_window.c). Medians of REPS runs of
# each (default 9) after one warm-up run of each, and the ratio to the floor
# paired within each round (the two ran a second apart, so a change in the
# machine's load between rounds cancels) with its spread.
#
# Sound goes to the machine's default audio driver, as for a player (here,
# without a sound card or server, SDL tries PulseAudio and ALSA and gives
# up). STARTUP_AUDIO=disk uses SDL's disk driver instead (a device that
# opens at once). BEFORE, when given, is a glimmerball built from an
# earlier commit: it joins the rotation as "before".
#   bench/startup/run.sh [REPS] [BEFORE]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
reps=${1:-9}; before=${2:-}
"$here/scripts/build" linux >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_xvfb 1024x768
work=$(mktemp -d)
trap 'rm -rf "$work"; kill "$XVFB_PID" 2>/dev/null' EXIT
cp "$here/build/linux/game/glimmerball" "$here/build/linux/bench/startup/plain_window" "$work/"
[ -z "$before" ] || { mkdir "$work/b" && cp "$before" "$work/b/glimmerball"; }
python3 - "$work" "$here/build/linux/bench/startup/libfirst_frame.so" "$reps" "${STARTUP_AUDIO:-}" <<'PY'
import os, re, signal, statistics, subprocess, sys, time
work, shim, reps, audio = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
programs = {"glimmerball": 3, "plain_window": 1}  # the swaps each is watched for
paths = {"glimmerball": "glimmerball", "plain_window": "plain_window"}
if os.path.exists(os.path.join(work, "b", "glimmerball")):
    programs["before"] = 3
    paths["before"] = "b/glimmerball"
runs = {name: [] for name in programs}
names = list(programs)
for rep in range(reps + 1):  # the first round warms the file cache
    for name in names[rep % len(names):] + names[:rep % len(names)]:  # the order rotates
        swaps = programs[name]
        env = dict(os.environ, LD_PRELOAD=shim, FIRST_FRAME_EXIT=str(swaps))
        env.pop("SDL_AUDIODRIVER", None)
        env.pop("SDL_DISKAUDIOFILE", None)
        if audio == "disk":
            env.update(SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE="/dev/null")
        env["FIRST_FRAME_T0"] = str(time.monotonic_ns())
        p = subprocess.Popen([os.path.join(work, paths[name])], cwd=work, env=env, stderr=subprocess.PIPE,
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
        if rep > 0:
            runs[name].append(times if len(times) == swaps else None)

# Rounds where every program reached its frames.
rounds = [i for i in range(reps) if all(runs[n][i] for n in names)]

def median(name, swap, which):
    return statistics.median(runs[name][i][swap][which] for i in rounds)

def paired(name, swap, which):
    """Median, lowest and highest of name's time over the plain window's, round by round."""
    r = sorted(runs[name][i][swap][which] / runs["plain_window"][i][0][which] for i in rounds)
    return statistics.median(r), r[0], r[-1]

labels = ["first frame (cleared)", "'Loading...' frame", "game's first frame"]
for name in names:
    if name == "plain_window":
        continue
    for i, label in enumerate(labels):
        print(f"{name:12s} {label:22s} median {median(name, i, 0):6.1f} ms, CPU {median(name, i, 1):6.1f} ms")
print(f"plain_window first frame (cleared)  median {median('plain_window', 0, 0):6.1f} ms,"
      f" CPU {median('plain_window', 0, 1):6.1f} ms")
for name in names:
    if name == "plain_window":
        continue
    for i, label in enumerate(labels):
        w, c = paired(name, i, 0), paired(name, i, 1)
        print(f"{name} / plain window, {label:22s} wall: median of rounds {w[0]:.2f} (spread {w[1]:.2f}-{w[2]:.2f}),"
              f" ratio of medians {median(name, i, 0) / median('plain_window', 0, 0):.2f}; CPU {c[0]:.2f}")
print(f"(audio: {'SDL disk driver' if audio == 'disk' else 'the machine default'}; goal: the first frame"
      f" within 1.1 x the plain window; {len(rounds)} of {reps} rounds complete, interleaved, the order"
      f" rotating; load average at the end {os.getloadavg()[0]:.1f})")
PY
