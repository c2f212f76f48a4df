#!/usr/bin/python3
"""The page end to end in headless Chromium, beside the Linux build.

    web_e2e.py WEB_DIR LINUX_PROGRAM [CASE...]   (cases: pictures tune leaving settings)
"""
import base64
import io
import json
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops

from browser import Page

# Virtual clock readings at 25 ms frames: the sign, the bulb title, a headline
# flying in and a finished bullet page. None depends on rand, whose sequence
# is each C library's own.
SHOTS = [3000, 8000, 20500, 41500]
FRAME_MS = 25
SETTINGS = "glimmerz.settings.reg"


def linux_pictures(program, work):
    config = os.path.join(work, "config", "glimmerz")
    os.makedirs(config)
    with open(os.path.join(config, "settings.reg"), "w") as f:
        f.write('Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\n'
                '"music"=dword:00000000\n')
    frames = os.path.join(work, "frames")
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), GLIMMERZ_FRAME_MS=str(FRAME_MS),
               GLIMMERZ_RUN_MS=str(SHOTS[-1] + 500), GLIMMERZ_CAPTURE_DIR=frames,
               GLIMMERZ_CAPTURE_AT=",".join(map(str, SHOTS)))
    subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 640x480x24", program, "/s"], env=env, check=True, timeout=300)
    return {t: Image.open(os.path.join(frames, f"{t}.png")).convert("RGB") for t in SHOTS}


def page_picture(url):
    return Image.open(io.BytesIO(base64.b64decode(url.split(",", 1)[1]))).convert("RGB")


def page_pictures(web_dir, query):
    with Page(web_dir, query) as page:
        page.wait_for("window.glimmerzCaptured")
        return {int(t): page_picture(u) for t, u in page.run("window.glimmerzCaptures").items()}


def share_beyond_one_step(a, b):
    """Pixels differing by more than one step of a 16-bit display (5, 6 and 5 bits)."""
    pixels = list(ImageChops.difference(a, b).getdata())
    return sum(1 for r, g, b_ in pixels if r > 9 or g > 5 or b_ > 9) / len(pixels)


def pictures(web_dir, program):
    with tempfile.TemporaryDirectory() as work:
        native = linux_pictures(program, work)
    web = page_pictures(web_dir, f"?autostart=1&music=0&frame_ms={FRAME_MS}&capture_at={','.join(map(str, SHOTS))}")
    for t in SHOTS:
        assert web[t].size == native[t].size == (640, 480), f"{t} ms: sizes {web[t].size} and {native[t].size}"
        share = share_beyond_one_step(web[t], native[t])
        assert share <= 0.01, f"{t} ms: {share:.2%} of the pixels differ by more than one 16-bit step"


def tune(web_dir, program):
    with Page(web_dir, f"?autostart=1&frame_ms={FRAME_MS}") as page:
        page.wait_for("window.glimmerzMusic.lastTune !== null")
        levels = page.run("window.glimmerzMusic.renderLevels(10)")
    assert levels and len(levels) == 10, levels
    assert sum(1 for level in levels if level > 0.01) >= 8, f"levels of the first 10 s: {levels}"


def leaving(web_dir, program):
    with Page(web_dir, f"?music=0&frame_ms={FRAME_MS}&capture_at=2600") as page:
        page.wait_for("!document.getElementById('start').hidden")
        box = page.run("(function(){var r=document.getElementById('start').getBoundingClientRect();"
                       "return [r.x + r.width / 2, r.y + r.height / 2];})()")
        for kind in ("mousePressed", "mouseReleased"):
            page.call("Input.dispatchMouseEvent", type=kind, x=box[0], y=box[1], button="left", clickCount=1)
        page.wait_for("document.getElementById('start').hidden")
        page.wait_for("window.glimmerzCaptured")  # the grace period has passed in show time
        page.press_key("a")
        page.wait_for("window.glimmerzShowsEnded === 1 && !document.getElementById('start').hidden", 60)
        assert page.run("document.fullscreenElement === null")


# Stored settings, what the address adds, and what the page shows: a picture of
# that size and lines of its rewritten text, or one sentence. What follows a NUL
# is read, a comment ends with its line, characters above U+00FF are kept, and a
# mode --mode refuses is passed over.
KEY = 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\r\n'
STORED = [(KEY + '"note"="x\0y"\r\n; no tune \\\r\n"music"=dword:00000000\r\n"\u2615"="\u2615"\r\n'
           '"displaywidth"=dword:00000140\r\n"displayheight"=dword:000000f0\r\n', "&mode=640x480x8", (320, 240),
           ['"note"=hex(1):78,00,00,00,79,00,00,00', '"music"=dword:00000000', '"\u2615"=hex(1):15,26,00,00',
            '"displaybpp"=dword:00000010']),
          (KEY + '"displaybpp"=dword:00000008\r\n', "", None, [])]


def settings(web_dir, program):
    with Page(web_dir, "") as page:
        for row, (stored, query, size, lines) in enumerate(STORED):
            page.wait_for(f"(localStorage.setItem('{SETTINGS}', {json.dumps(stored)}), true)")
            page.open(f"?autostart=1&frame_ms=25&capture_at=100&row={row}{query}")
            shown = "window.glimmerzCaptured" if size else "!document.getElementById('message').hidden"
            page.wait_for(f"location.search.includes('row={row}') && {shown}")
            if size:
                picture = page_picture(page.run("window.glimmerzCaptures[100]"))
                text = page.run(f"localStorage.getItem('{SETTINGS}')")
                assert picture.size == size and all(line in text for line in lines), (picture.size, text)


CASES = {"pictures": pictures, "tune": tune, "leaving": leaving, "settings": settings}

if __name__ == "__main__":
    web_dir, program = sys.argv[1], sys.argv[2]
    failed = 0
    for name in sys.argv[3:] or CASES:
        try:
            CASES[name](web_dir, program)
            print(f"PASS {name}")
        except Exception as problem:
            failed += 1
            print(f"FAIL {name}: {problem}")
    sys.exit(1 if failed else 0)
