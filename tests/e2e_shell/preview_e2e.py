"""The preview on a real (virtual) X display: `glimmerz /p <id>` plays the ten
frames centred in another program's window with white around them, ends with 0
when that window goes, and ends quietly with 0 for a window id that is no window
or when there is no display at all.

usage: preview_e2e.py GLIMMERZ PREVIEW_HOST ASSET_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops

HOST_LEFT, HOST_TOP, HOST_WIDTH, HOST_HEIGHT = 40, 30, 152, 112
PICTURE_LEFT, PICTURE_TOP = HOST_LEFT + 12, HOST_TOP + 8
failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message, flush=True)
    if not condition:
        failures.append(message)


def start_display(work):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "320x240x24", "-nolisten", "tcp"],
                            pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        number = f.readline().strip()
    return xvfb, ":" + number


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True, env=os.environ)
    return Image.open(path).convert("RGB")


def shown_frame(picture, frames):
    """The index of the frame the screen shows at the centred place, or None."""
    box = (PICTURE_LEFT, PICTURE_TOP, PICTURE_LEFT + 128, PICTURE_TOP + 96)
    shown = picture.crop(box)
    for index, frame in enumerate(frames):
        if ImageChops.difference(shown, frame).getbbox() is None:
            return index
    return None


def white_around_picture(picture):
    host = picture.crop((HOST_LEFT, HOST_TOP, HOST_LEFT + HOST_WIDTH, HOST_TOP + HOST_HEIGHT)).copy()
    host.paste((255, 255, 255), (12, 8, 12 + 128, 8 + 96))
    return host.getcolors() == [(HOST_WIDTH * HOST_HEIGHT, (255, 255, 255))]


def run_quietly(program, *args, env=None):
    result = subprocess.run([program, *args], capture_output=True, timeout=20, env=env)
    return result.returncode, result.stdout + result.stderr


def main():
    program, host_program, assets = sys.argv[1:4]
    frames = [Image.open(os.path.join(assets, "preview%d.bmp" % i)).convert("RGB") for i in range(10)]
    work = tempfile.mkdtemp(prefix="glimmerz-preview-")
    os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    xvfb, os.environ["DISPLAY"] = start_display(work)
    host = preview = None
    try:
        # Ids that name no window, among them one destroyed a moment ago.
        gone = subprocess.Popen([host_program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        gone_id = gone.stdout.readline().strip()
        gone.stdin.write("destroy\n")
        gone.stdin.flush()
        gone.stdout.readline()
        for args in (["/p", "0"], ["/p", "123456789"], ["/p", gone_id], ["-l", "nonsense"]):
            code, said = run_quietly(program, *args)
            check(code == 0 and said == b"", "%s ends at once with 0 and says nothing (%d, %r)"
                  % (" ".join(args), code, said[:200]))
        gone.stdin.close()
        gone.wait()
        no_display = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        code, said = run_quietly(program, "/p", gone_id, env=no_display)
        check(code == 0 and said == b"", "without a display /p ends with 0 and says nothing (%d, %r)"
              % (code, said[:200]))

        host = subprocess.Popen([host_program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        host_id = host.stdout.readline().strip()
        preview = subprocess.Popen([program, "/p", host_id], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        first = None
        deadline = time.monotonic() + 20
        while first is None and time.monotonic() < deadline and preview.poll() is None:
            picture = screenshot(os.path.join(work, "first.png"))
            first = shown_frame(picture, frames)
        check(first is not None, "a preview frame shows at 12, 8 in the 152 x 112 host (frame %s)" % first)
        if first is None:
            return
        check(white_around_picture(picture), "the rest of the host is white")
        time.sleep(0.15)
        later = shown_frame(screenshot(os.path.join(work, "later.png")), frames)
        check(later is not None and later != first, "150 ms later another frame shows (%s after %s)"
              % (later, first))

        host.stdin.write("destroy\n")
        host.stdin.flush()
        host.stdout.readline()
        destroyed = time.monotonic()
        try:
            code = preview.wait(timeout=5)
        except subprocess.TimeoutExpired:
            code = None
        took = time.monotonic() - destroyed
        check(code == 0 and took <= 1.0, "destroying the host ends the preview with 0 within a second (%s, %.2f s)"
              % (code, took))
        said = preview.stdout.read()
        check(said == b"", "the preview said nothing (%r)" % said[:200])
    finally:
        for process in (preview, host):
            if process and process.poll() is None:
                process.kill()
                process.wait()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
    if failures:
        print("%d checks failed" % len(failures))
        sys.exit(1)
