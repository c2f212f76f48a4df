#!/usr/bin/python3
"""Frames per second of every phase of the show's opening and first slide, the
native saver beside Glimmerz.scr under Wine, at 640x480 and 1920x1080 in 16 and
32 bits.

usage: tests/bench/wine_compare.py [--build build/linux] [--wine auto|win32|win64|both]
                                   [--seconds 46.4] [--modes 640x480x16,...] [--pairs 3]

Each run gets an Xvfb screen of the mode's size, the mode stored in its own
settings, music off, and the real clock; the first `seconds` of the show are
measured (46.4 s: every phase once). The native figures come from the frame
timer (a copy of the program that counts every frame of each phase); the floor
from the floor timer, the same copy with every draw at the cheapest state the
rasteriser has (no blending, alpha test or texture), and "of floor" is how near
the show comes to it. Wine's come from its `fps` debug channel, one figure about
every second from the first frame on, each stamped with Wine's clock: a figure
counts for a phase when most of its second lies inside it, and the phases lie
where the native run of the same pair found them (the show's phases last the
same time on any clock). The first second is left out, as the renderer compiles
its shaders then. The ratio is the figure to read; the absolute rates move by a
third from run to run on a shared machine, so each figure is the median of
`pairs` runs made back to back with the others'.

The Windows build compared is the 32-bit saver in a 32-bit prefix where this
machine can run one, else the 64-bit saver in a 64-bit prefix (`--wine auto`);
`--wine both` measures the two side by side. The table says which ran."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(os.path.dirname(here))
sys.path.insert(0, os.path.join(root, "tests", "wine"))
from wine_session import Screen, SessionError, Wine, why_arch_cannot_run  # noqa: E402

SETTINGS_KEY = r"HKCU\Software\Vantorel\Glimmerz"
PHASES = ("SignFade", "BulbTitle", "BulbZoom", "HeadlineFlyIn", "HeadlineJolt", "HeadlineFlyOut", "BulletTyping",
          "BulletHold", "BulletSpin")
SAVERS = {"win32": os.path.join(root, "build", "windows", "Glimmerz.scr"),
          "win64": os.path.join(root, "build", "windows64", "Glimmerz.scr")}


def native_fps(timer, width, height, bpp, seconds, work):
    """{phase: frames per second} of one native run."""
    config = os.path.join(work, "config")
    os.makedirs(os.path.join(config, "glimmerz"), exist_ok=True)
    with open(os.path.join(config, "glimmerz", "settings.reg"), "w") as f:
        f.write('Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\r\n'
                '"music"=dword:00000000\r\n"displaywidth"=dword:%08x\r\n"displayheight"=dword:%08x\r\n'
                '"displaybpp"=dword:%08x\r\n' % (width, height, bpp))
    with open(os.path.join(work, "xvfb.log"), "ab") as log:
        screen = Screen(width, height, log)
    try:
        env = {k: v for k, v in os.environ.items() if not k.startswith("GLIMMERZ_")}
        env.update(DISPLAY=screen.display, XDG_CONFIG_HOME=config, GLIMMERZ_RUN_MS=str(int(seconds * 1000)))
        out = subprocess.run([timer, "/s"], env=env, capture_output=True, text=True,
                             timeout=seconds + 60).stdout
    finally:
        screen.close()
    fps, spans, at = {}, {}, 0.0
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 4 and parts[0] in PHASES:
            fps[parts[0]] = float(parts[3])
            spans[parts[0]] = (at, at + float(parts[2]))
            at += float(parts[2])
    return fps, spans


def wine_fps(arch, width, height, bpp, seconds, work, spans):
    """{phase: frames per second} of one run under Wine, from its fps channel;
    spans: {phase: (start, end)} in seconds from the first frame."""
    scr = SAVERS[arch]
    wine = Wine(os.path.join(work, "wine-" + arch), arch)
    if not os.path.exists(os.path.join(wine.prefix, "system.reg")):
        wine.create()
    with wine.log() as log:
        screen = Screen(width, height, log)
    wine.display = screen.display
    try:
        wine.reg("delete", r"HKCU\Software\Vantorel", "/f")
        for name, value in (("music", 0), ("displaywidth", width), ("displayheight", height), ("displaybpp", bpp)):
            wine.reg("add", SETTINGS_KEY, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f")
        os.environ["GLIMMERZ_WINEDEBUG"] = "-all,+fps,+timestamp"
        process = wine.start(scr, "/s")
        time.sleep(seconds + 5)
        screen.xdotool("key", "space")
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass
        with open(wine.log_path, "rb") as f:
            f.seek(process.log_offset)
            text = f.read().decode("latin-1")
    finally:
        os.environ.pop("GLIMMERZ_WINEDEBUG", None)
        wine.shut_down()
        screen.close()
    # "<clock>:...trace:fps:... approx <rate>fps": the rate of the frames since the last figure.
    figures = [(float(t), float(x)) for t, x in re.findall(r"^([0-9.]+):.*?trace:fps:\S+ .*?approx ([0-9.]+)fps",
                                                           text, re.M)]
    fps = {}
    if len(figures) < 2:
        return fps
    first = figures[0][0] - 1.0  # the first figure comes a second after the first frame
    for phase, (start, end) in spans.items():
        taken = []
        for (before, _), (after, rate) in zip(figures, figures[1:]):
            inside = min(end, after - first) - max(start, before - first)
            if inside > 0.5 * (after - before):
                taken.append(rate)
        if taken:
            fps[phase] = sum(taken) / len(taken)
    return fps


def median_fps(runs):
    """{phase: the median of the runs' figures}, over the runs that have one."""
    medians = {}
    for phase in PHASES:
        figures = sorted(run[phase] for run in runs if phase in run)
        if figures:
            medians[phase] = figures[len(figures) // 2]
    return medians


def arches_to_compare(wanted):
    """The Windows builds to run under Wine, each able to run here."""
    usable = []
    for arch in ("win32", "win64"):
        reason = why_arch_cannot_run(arch) or (None if os.path.isfile(SAVERS[arch]) else
                                               "%s is not built" % SAVERS[arch])
        if reason:
            print("no %s Wine figures: %s" % (arch, reason))
        else:
            usable.append(arch)
    if wanted == "auto":
        return usable[:1]
    return [a for a in usable if wanted in (a, "both")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(root, "build", "linux"))
    parser.add_argument("--wine", default="auto", choices=("auto", "win32", "win64", "both"))
    parser.add_argument("--seconds", type=float, default=46.4)
    parser.add_argument("--modes", default="640x480x16,640x480x32,1920x1080x16,1920x1080x32")
    parser.add_argument("--pairs", type=int, default=3)
    args = parser.parse_args()
    timer = os.path.join(args.build, "tests", "bench", "glimmerz_frame_timer")
    floor_timer = os.path.join(args.build, "tests", "bench", "glimmerz_floor_timer")
    if not os.access(timer, os.X_OK) or not os.access(floor_timer, os.X_OK):
        sys.exit("build the targets glimmerz_frame_timer and glimmerz_floor_timer first")
    arches = arches_to_compare(args.wine)
    work = tempfile.mkdtemp(prefix="glimmerz-compare-")
    try:
        print(("%-14s %-14s %8s %8s %8s" % ("mode", "phase", "native", "floor", "of floor"))
              + "".join(" %9s %7s" % ("Wine " + a[3:], "ratio") for a in arches))
        for mode in args.modes.split(","):
            width, height, bpp = (int(n) for n in mode.split("x"))
            runs = {"native": [], "floor": []}
            runs.update((arch, []) for arch in arches)
            for _ in range(args.pairs):
                native, spans = native_fps(timer, width, height, bpp, args.seconds, work)
                runs["native"].append(native)
                runs["floor"].append(native_fps(floor_timer, width, height, bpp, args.seconds, work)[0])
                for arch in arches:
                    try:
                        runs[arch].append(wine_fps(arch, width, height, bpp, args.seconds, work, spans))
                    except SessionError as error:
                        print("Wine %s run failed: %s" % (arch, error))
            native, floor = median_fps(runs["native"]), median_fps(runs["floor"])
            wine = {arch: median_fps(runs[arch]) for arch in arches}
            for phase in PHASES:
                n, f = native.get(phase), floor.get(phase)
                line = "%-14s %-14s %8s %8s %8s" % (mode, phase, "%.1f" % n if n else "-", "%.1f" % f if f else "-",
                                                    "%.0f %%" % (100 * n / f) if n and f else "-")
                for arch in arches:
                    w = wine[arch].get(phase)
                    line += " %9s %7s" % ("%.1f" % w if w else "-", "%.2fx" % (n / w) if n and w else "-")
                print(line, flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
