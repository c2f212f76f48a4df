"""The preview on a virtual X display: `glimmerz /p <id>` plays the ten frames
centred in another program's window with white around them and ends with 0 when
that window goes; an id that is no window, or no display, ends it quietly with 0.

usage: preview_e2e.py GLIMMERZ PREVIEW_HOST ASSET_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops

HOST = (40, 30, 192, 142)     # where preview_host puts its 152 x 112 window
PICTURE = (52, 38, 180, 134)  # 128 x 96 at 12, 8 inside it
failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message, flush=True)
    if not condition:
        failures.append(message)


def screen(frames, work):
    """The screen's picture, and the index of the frame shown centred in the host."""
    path = os.path.join(work, "shot.png")
    subprocess.run(["import", "-window", "root", path], check=True)
    picture = Image.open(path).convert("RGB")
    shown = [i for i, f in enumerate(frames) if not ImageChops.difference(picture.crop(PICTURE), f).getbbox()]
    return picture, shown[0] if shown else None


def start_host(host_program):
    host = subprocess.Popen([host_program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    return host, host.stdout.readline().strip()


def destroy_host(host):
    host.stdin.write("destroy\n")
    host.stdin.flush()
    host.stdout.readline()


def main(program, host_program, assets, work):
    frames = [Image.open(os.path.join(assets, "preview%d.bmp" % i)).convert("RGB") for i in range(10)]
    gone, gone_id = start_host(host_program)
    destroy_host(gone)
    gone.stdin.close()
    no_display = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    for args, env in ((["/p", "0"], None), (["/p", "123456789"], None), (["/p", gone_id], None),
                      (["-l", "nonsense"], None), (["/p", gone_id], no_display)):
        result = subprocess.run([program, *args], capture_output=True, timeout=20, env=env)
        check(result.returncode == 0 and not result.stdout + result.stderr, "%s%s ends with 0 and says nothing (%d)"
              % (" ".join(args), "" if env is None else " without a display", result.returncode))

    host, host_id = start_host(host_program)
    preview = subprocess.Popen([program, "/p", host_id], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        first, deadline = None, time.monotonic() + 20
        while first is None and time.monotonic() < deadline and preview.poll() is None:
            picture, first = screen(frames, work)
        check(first is not None, "a frame shows at 12, 8 in the 152 x 112 host (frame %s)" % first)
        around = picture.crop(HOST)
        around.paste((255, 255, 255), (12, 8, 140, 104))
        check(around.getcolors() == [(152 * 112, (255, 255, 255))], "the rest of the host is white")
        time.sleep(0.15)
        later = screen(frames, work)[1]
        check(later not in (None, first), "150 ms later another frame shows (%s after %s)" % (later, first))
        destroy_host(host)
        destroyed = time.monotonic()
        code = preview.wait(timeout=5)
        took = time.monotonic() - destroyed
        check(code == 0 and took <= 1.0, "the host's end ends the preview with 0 within a second (%d, %.2f s)"
              % (code, took))
        check(preview.stdout.read() == b"", "the preview said nothing")
    finally:
        host.stdin.close()
        for process in (preview, host, gone):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()


if __name__ == "__main__":
    work = tempfile.mkdtemp(prefix="glimmerz-preview-")
    os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "320x240x24", "-noreset", "-nolisten", "tcp"],
                            pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        os.environ["DISPLAY"] = ":" + f.readline().strip()
    try:
        main(*sys.argv[1:4], work)
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("%d checks failed" % len(failures))
        sys.exit(1)
