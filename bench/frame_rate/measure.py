#!/usr/bin/env python3
"""Frame rate and CPU time per frame of one running program, measured the same
way for every program: Mesa's heads-up display (invisible) dumps frames per
second once a second; the process's CPU time (all its threads, plus a given
wineserver's) is read from /proc when the dump gains a line, so both cover
the same seconds. The first WARM seconds are skipped.

  measure.py SECONDS WARM [--wineserver PID] -- COMMAND...

Prints "FPS CPU-MS-PER-FRAME". The program is ended after the measurement."""
import os
import signal
import subprocess
import sys
import tempfile
import time


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return 0.0
    # utime and stime are fields 14 and 15 (1-based), after the name.
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def lines(path):
    try:
        with open(path) as f:
            return [l for l in f.read().splitlines() if l.strip()]
    except OSError:
        return []


def main():
    args = sys.argv[1:]
    seconds, warm = int(args[0]), int(args[1])
    args = args[2:]
    wineserver = None
    if args[0] == "--wineserver":
        wineserver = int(args[1])
        args = args[2:]
    command = args[1:]  # after "--"
    hud = tempfile.mkdtemp()
    env = dict(os.environ, GALLIUM_HUD="fps", GALLIUM_HUD_VISIBLE="false",
               GALLIUM_HUD_PERIOD="1", GALLIUM_HUD_DUMP_DIR=hud)
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    dump = os.path.join(hud, "fps")

    def cpu():
        total = cpu_seconds(proc.pid)
        if wineserver:
            total += cpu_seconds(wineserver)
        return total

    def wait_for(count, limit):
        deadline = time.time() + limit
        while time.time() < deadline and proc.poll() is None:
            if len(lines(dump)) >= count:
                return True
            time.sleep(0.01)
        return False

    result = "0 0"
    try:
        if wait_for(warm, 120 + warm):
            start_cpu = cpu()
            if wait_for(warm + seconds, seconds + 60):
                used = cpu() - start_cpu
                samples = [float(l) for l in lines(dump)[warm:warm + seconds]]
                frames = sum(samples)  # one-second samples
                if frames > 0:
                    result = f"{frames / len(samples):.1f} {used * 1000 / frames:.2f}"
    finally:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
        for name in os.listdir(hud):
            os.remove(os.path.join(hud, name))
        os.rmdir(hud)
    print(result)


if __name__ == "__main__":
    main()
