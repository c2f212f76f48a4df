#!/usr/bin/python3
"""Milliseconds from exec to the file of the first frame, at 640x480x16.

usage: tests/bench/first_frame.py [--program build/linux/glimmerz] [--starts 5] [--timeline]

Each start runs `glimmerz /s` on its own Xvfb screen with the virtual clock and
a capture at 0, so the time includes writing that frame's PNG, and ends the run
once the file is there. The median of the starts is printed with each start.
With --timeline the starts run with the step recorder preloaded
(start_timeline.cpp, beside the program in tests/bench) and the median time of
each step after exec is printed too."""

import argparse
import os
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(os.path.dirname(here))
sys.path.insert(0, os.path.join(root, "tests", "wine"))
from wine_session import Screen  # noqa: E402


def one_start(program, screen, work, recorder=None, steps=None):
    picture = os.path.join(work, "0.png")
    timeline = os.path.join(work, "timeline")
    for path in (picture, timeline):
        if os.path.exists(path):
            os.remove(path)
    env = {k: v for k, v in os.environ.items() if not k.startswith("GLIMMERZ_")}
    env.update(DISPLAY=screen.display, XDG_CONFIG_HOME=work, SDL_AUDIODRIVER="dummy", GLIMMERZ_FRAME_MS="16",
               GLIMMERZ_CAPTURE_DIR=work, GLIMMERZ_CAPTURE_AT="0")
    if recorder:
        env.update(LD_PRELOAD=recorder, TIMELINE_FILE=timeline)
    began = time.monotonic()
    process = subprocess.Popen([program, "/s"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while not os.path.exists(picture) and process.poll() is None and time.monotonic() - began < 30:
        time.sleep(0.001)
    took = time.monotonic() - began
    process.terminate()
    process.wait()
    if recorder and os.path.exists(timeline):
        seen = set()
        for line in open(timeline):
            at, step = line.rstrip("\n").split(" ", 1)
            if step not in seen:  # a step's first time: the textures' first upload, say
                seen.add(step)
                steps.setdefault(step, []).append(float(at) - 1000 * began)
        steps.setdefault("first frame's file", []).append(1000 * took)
    return 1000 * took


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", default=os.path.join(root, "build", "linux", "glimmerz"))
    parser.add_argument("--starts", type=int, default=5)
    parser.add_argument("--timeline", action="store_true")
    args = parser.parse_args()
    recorder, steps = None, {}
    if args.timeline:
        recorder = os.path.join(os.path.dirname(os.path.abspath(args.program)), "tests", "bench",
                                "libglimmerz_start_timeline.so")
        if not os.path.exists(recorder):
            sys.exit("build the target glimmerz_start_timeline first")
    work = tempfile.mkdtemp(prefix="glimmerz-first-frame-")
    with open(os.path.join(work, "xvfb.log"), "ab") as log:
        screen = Screen(640, 480, log)
    try:
        one_start(args.program, screen, work)  # the settings file and the shader cache exist from here on
        times = [one_start(args.program, screen, work, recorder, steps) for _ in range(args.starts)]
    finally:
        screen.close()
        subprocess.run(["rm", "-rf", work])
    print("first frame: %s ms; median %.0f ms" % (", ".join("%.0f" % t for t in times), sorted(times)[len(times) // 2]))
    for step, ats in sorted(steps.items(), key=lambda item: sorted(item[1])[len(item[1]) // 2]):
        print("%7.0f ms  %s" % (sorted(ats)[len(ats) // 2], step))


if __name__ == "__main__":
    main()
