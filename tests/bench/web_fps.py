#!/usr/bin/python3
"""Frames per second of every phase of the show in headless Chromium (SwiftShader's
WebGL 2), beside the Linux build on the same machine, at 1280x720, 16 bits:
    tests/bench/web_fps.py [build/web] [build/linux]
The page runs on the virtual clock (25 ms a frame), so its phases fall at the
readings the Linux build's frame timer reports for that clock; the browser
paces its frames to its display's refresh (60 Hz headless), which caps them.
Also prints the page's download size (gzip) and the time from load to the button.
"""
import gzip
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e_web"))
from browser import Page  # noqa: E402

root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
web = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build/web")
linux = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "build/linux")
END = 46400


def native_table(frame_ms=None):
    with tempfile.TemporaryDirectory() as work:
        os.makedirs(f"{work}/glimmerz")
        with open(f"{work}/glimmerz/settings.reg", "w") as f:
            f.write('Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\n'
                    '"music"=dword:00000000\n"displaywidth"=dword:00000500\n"displayheight"=dword:000002d0\n'
                    '"displaybpp"=dword:00000010\n')
        env = {k: v for k, v in os.environ.items() if not k.startswith("GLIMMERZ_")}
        env.update(XDG_CONFIG_HOME=work, GLIMMERZ_RUN_MS=str(END), GLIMMERZ_BENCH_LABEL="native")
        if frame_ms:
            env["GLIMMERZ_FRAME_MS"] = str(frame_ms)
        out = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x720x24",
                              f"{linux}/tests/bench/glimmerz_frame_timer", "/s"],
                             env=env, capture_output=True, text=True, timeout=600).stdout
    # Lines of the timer's table: phase name, frames, seconds, frames per second, ...
    return [(m[0], int(m[1]), float(m[2])) for m in re.findall(r"^\s*([A-Za-z]+)\s+(\d+)\s+([\d.]+)", out, re.M)]


phases = native_table(25)
native = {name: frames / seconds for name, frames, seconds in native_table() if seconds > 0}
bounds, at = [], 0
for name, frames, _ in phases:
    bounds.append((name, at, at + frames * 25))
    at += frames * 25

with Page(web, f"?autostart=1&music=0&mode=1280x720x16&frame_ms=25&measure=1") as page:
    page.wait_for(f"window.glimmerzFrameTimes.length && window.glimmerzFrameTimes.slice(-1)[0][1] >= {END}", 900)
    times = page.run("window.glimmerzFrameTimes")
with Page(web, "?music=1") as page:
    button_ms = page.wait_for("window.glimmerzButtonShownAt")

print(f"{'phase':16} {'web fps':>8} {'native fps':>10}")
for name, start, end in bounds:
    inside = [t for t, clock in times if start <= clock - times[0][1] < end]
    fps = (len(inside) - 1) / ((inside[-1] - inside[0]) / 1000) if len(inside) > 1 else 0
    print(f"{name:16} {fps:8.1f} {native.get(name, 0):10.1f}")
total = sum(len(gzip.compress(open(os.path.join(web, f), "rb").read(), 9)) for f in os.listdir(web))
print(f"download, gzip -9: {total / 1024:.0f} KiB; load to Start button: {button_ms:.0f} ms")
