#!/usr/bin/python3
"""Ending signals at random moments of the start: the program must end by the
signal it was sent, every time, and soon.

usage: tests/bench/signal_storm.py [--program build/linux/glimmerz] [--trials 1000]
                                   [--within-ms 400] [--limit-s 10]

Each trial starts the program on a virtual display, as a daemon starts a hack
(`--root`) or an idle manager starts the show (`/s`), sends SIGTERM, SIGINT or
SIGHUP after a random delay within the first `within-ms`, and waits. A trial
that is still running after `limit-s` is a hang (it is then killed); one that
ended otherwise than by its signal is a wrong ending. Two trials run at once.
Not a test: it takes minutes and its timing is the machine's."""

import argparse
import ctypes
import os
import random
import signal
import subprocess
import sys
import tempfile
import threading
import time

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(os.path.dirname(here))
sys.path.insert(0, os.path.join(root, "tests", "wine"))
from wine_session import Screen  # noqa: E402

SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)
PR_SET_PDEATHSIG = 1


def die_with_parent():
    """A trial's program goes when this script goes, however it goes."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)
MODES = (["--root"], ["/s"])


def trial(program, env, rng, within_ms, limit_s):
    """(mode, signal, delay, outcome, seconds from signal to end)"""
    mode, sent, delay = rng.choice(MODES), rng.choice(SIGNALS), rng.uniform(0, within_ms) / 1000
    process = subprocess.Popen([program] + mode, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               preexec_fn=die_with_parent)
    time.sleep(delay)
    sent_at = time.monotonic()
    process.send_signal(sent)
    try:
        code = process.wait(timeout=limit_s)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return mode[0], sent.name, delay, "hang", limit_s
    took = time.monotonic() - sent_at
    return mode[0], sent.name, delay, "signal" if code == -sent else "exit %d" % code, took


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", default=os.path.join(root, "build", "linux", "glimmerz"))
    parser.add_argument("--trials", type=int, default=1000)
    parser.add_argument("--within-ms", type=float, default=400)
    parser.add_argument("--limit-s", type=float, default=10)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="glimmerz-storm-")
    with open(os.path.join(work, "xvfb.log"), "ab") as log:
        screen = Screen(640, 480, log)
    env = {k: v for k, v in os.environ.items() if not k.startswith("GLIMMERZ_")}
    env.update(DISPLAY=screen.display, XDG_CONFIG_HOME=work, XDG_RUNTIME_DIR=work, SDL_AUDIODRIVER="dummy")
    env.pop("XSCREENSAVER_WINDOW", None)
    results, lock = [], threading.Lock()
    rng = random.Random(args.seed)

    def worker(seed):
        own = random.Random(seed)
        while True:
            with lock:
                if len(results) + running[0] >= args.trials:
                    return
                running[0] += 1
            outcome = trial(args.program, env, own, args.within_ms, args.limit_s)
            with lock:
                running[0] -= 1
                results.append(outcome)
                if outcome[3] != "signal":
                    print("trial %d: %s %s after %.0f ms: %s" % (len(results), outcome[0], outcome[1],
                                                                  1000 * outcome[2], outcome[3]), flush=True)

    running = [0]
    try:
        threads = [threading.Thread(target=worker, args=(rng.random(),)) for _ in range(2)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
    finally:
        screen.close()
        subprocess.run(["rm", "-rf", work])
    hangs = sum(1 for r in results if r[3] == "hang")
    wrong = sum(1 for r in results if r[3] not in ("signal", "hang"))
    ends = sorted(r[4] for r in results if r[3] == "signal")
    print("%d trials: %d ended by their signal, %d hangs, %d other endings" % (len(results), len(ends), hangs, wrong))
    if ends:
        print("signal to end: median %.0f ms, 99th percentile %.0f ms, longest %.0f ms"
              % (1000 * ends[len(ends) // 2], 1000 * ends[int(len(ends) * 0.99)], 1000 * ends[-1]))
    return 1 if hangs or wrong else 0


if __name__ == "__main__":
    sys.exit(main())
