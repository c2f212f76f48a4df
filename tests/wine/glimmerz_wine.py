#!/usr/bin/env python3
"""End-to-end cases of the Windows screen saver under Wine, one per invocation.

usage: glimmerz_wine.py --arch win32|win64 --scr Glimmerz.scr --work DIR --shots DIR CASE

The prefix cases make and remove the shared prefix; the others each start their
own Xvfb screen, run Glimmerz.scr in it and check the screen, the exit code and
Wine's registry."""

import argparse
import math
import os
import pathlib
import shutil
import subprocess
import sys
import time

from pe_image import RT_BITMAP, Bitmap, PeImage
from show_pictures import SignModel, bulb_title_statistics, outside_sign_dark_share
from wine_session import LOADERS, Case, SessionError, Wine, why_arch_cannot_run

SETTINGS_KEY = r"HKCU\Software\Vantorel\Glimmerz"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"  # the removal entries
PRODUCTS_KEY = r"HKLM\Software\Classes\Installer\Products"  # Windows Installer's own product records
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
INSTALLED_SCR = r"C:\windows\system32\Glimmerz.scr"  # the system folder of the prefix's own architecture
HAL_DEVICE_GUID = "E03DE684AA46CF11816F0000C020156E"

# Moments of the show a picture is checked at, as (aim, latest) in seconds: the
# sign holds from 1 s to 4 s after the first frame; into the bulb title the pulse
# is nearest white at pi and back at pure red at 2 pi.
SIGN_HOLD_AT = (2.5, 3.6)
BULB_PALE_AT = (math.pi - 0.3, math.pi + 0.6)
BULB_RED_AT = (2 * math.pi - 0.3, 2 * math.pi + 0.5)
KEY_EXIT_LIMIT = 1.0                       # seconds from the key press to the process's end
OPENING_TIMEOUT = 60                       # seconds for Wine and the device set-up to show a frame
PREVIEW_HOST = (100, 80, 152, 112)         # where preview_host.exe puts its window, and its size
SKIPPED = 77                               # the exit code ctest reads as a skipped case

failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


def note(message):
    print("      " + message, flush=True)


class Run:
    """One saver run: the process, the moment of its first frame, the pictures kept."""

    def __init__(self, case, args, shots):
        self.case, self.shots, self.scr = case, shots, args.scr
        with open(args.scr, "rb") as f:
            self.model = SignModel(PeImage(f.read()).resources())
        self.began = time.monotonic()
        self.process = case.wine.start(args.scr, "/s")
        self.first_frame = self.title_start = None

    def shot(self):
        """A picture and the moment it shows, or None for the moment when the X server
        was too slow to answer for the moment to be known."""
        if self.process.poll() is not None:
            raise SessionError("the saver ended with exit code %d while the show should run"
                               % self.process.returncode)
        before = time.monotonic()
        picture = self.case.screen.shot()
        after = time.monotonic()
        return picture, (before + after) / 2 if after - before <= 0.4 else None

    def wait_for_sign(self):
        """Polls the screen until the warning sign fades in and estimates, from how far
        it has faded in (it takes 1000 ms to full), the moment of the first frame."""
        fading_in = []
        while time.monotonic() - self.began < OPENING_TIMEOUT:
            picture, at = self.shot()
            if at is None:
                continue
            lit = self.model.lit_fraction(picture)
            mean_diff, _ = self.model.compare(picture, lit)
            outside = outside_sign_dark_share(picture)
            note("%.2f s: sign at %.2f, difference %.1f, %.0f %% dark around it"
                 % (at - self.began, lit, mean_diff, 100 * outside))
            if lit < 0.08:
                continue
            if mean_diff > 16 or outside < 0.98:
                continue  # not the sign (yet): whatever the window showed before its first frame
            if lit <= 0.9:
                fading_in.append((at, lit))
                continue
            if fading_in:
                # the sign's brightness grows in proportion to the time shown for its
                # first second, and this picture shows at least 0.9 s; a busy machine
                # shows frames late, never early, so the earliest start is the best
                self.first_frame = min([at - 0.9] + [at_fading - lit_fading / lit
                                                     for at_fading, lit_fading in fading_in])
            else:
                # the hold without its fade-in: either it has just begun, or the first
                # frames were held back and the fade-in never reached the screen
                self.first_frame = at - 1.0
            note("first frame %.1f s after the start; the sign's hold seen %.2f s into the show"
                 % (self.first_frame - self.began, at - self.first_frame))
            return
        raise SessionError("no warning sign on the screen within %d s" % OPENING_TIMEOUT)

    def wait_for_bulb_title(self):
        """Polls from the end of the sign's hold until the bulb title replaces the sign,
        and keeps the moment it began: a busy machine may have stalled a frame at the
        change, and the title's pulse is timed from its own start."""
        time.sleep(max(0, self.first_frame + 4.5 - time.monotonic()))
        before_title = time.monotonic()
        while time.monotonic() - self.first_frame < 5.0 + 5.0:
            picture, at = self.shot()
            if at is None:
                before_title = time.monotonic()
                continue
            stats = bulb_title_statistics(picture)
            lit = self.model.lit_fraction(picture)
            if (lit < 0.08 or self.model.compare(picture, lit)[0] <= 16
                    or stats["lit_share"] < 0.25):
                before_title = at
                continue
            self.title_start = (before_title + at) / 2
            note("bulb title began %.2f s into the show (sign phase is 5 s)"
                 % (self.title_start - self.first_frame))
            return
        raise SessionError("the bulb title did not follow the sign within 10 s of the first frame")

    def shot_at(self, seconds, latest, since=None):
        """A picture taken this long after the first frame (or after since), or as
        soon after as the screen can be read: a loaded machine may answer a
        screenshot too slowly for its moment to be known, and then another is
        taken, as long as it still shows a moment before latest."""
        since = self.first_frame if since is None else since
        time.sleep(max(0, since + seconds - time.monotonic()))
        while time.monotonic() < since + latest:
            picture, at = self.shot()
            if at is not None and at <= since + latest:
                note("picture at %.2f s into the show" % (at - self.first_frame))
                return picture
        raise SessionError("no screenshot could be timed between %.1f s and %.1f s into the show"
                           % (seconds, latest))

    def check_sign_hold(self, name):
        picture = self.shot_at(*SIGN_HOLD_AT)
        picture.save_png(os.path.join(self.shots, name))
        note("kept %s" % os.path.join(self.shots, name))
        lit = self.model.lit_fraction(picture)
        mean_diff, off_blocks = self.model.compare(picture, 1.0)
        check(0.9 <= lit <= 1.1, "the sign is at full brightness in its hold (%.2f of bitmap 119)" % lit)
        check(mean_diff <= 10 and off_blocks <= 0.03,
              "the sign's rectangle shows bitmap 119 (mean difference %.1f, %.0f %% of blocks off)"
              % (mean_diff, 100 * off_blocks))
        check(outside_sign_dark_share(picture) >= 0.99,
              "around the sign the screen is black (%.1f %% dark)" % (100 * outside_sign_dark_share(picture)))

    def press_key_and_wait(self):
        result = self.case.screen.xdotool("key", "space")
        pressed = time.monotonic()  # xdotool sends the key just before it exits
        check(result.returncode == 0, "xdotool pressed a key (%s)" % result.stderr.strip())
        try:
            code = self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            check(False, "the saver ends after a key press")
            return
        took = time.monotonic() - pressed
        check(code == 0, "the saver ends with exit code 0 (%d)" % code)
        check(took <= KEY_EXIT_LIMIT, "the saver ends within %.1f s of the key press (%.2f s)"
              % (KEY_EXIT_LIMIT, took))


    def dlls(self):
        """The DLLs the saver's main thread loaded, once it has ended."""
        return self.case.wine.dlls_loaded_with(self.process, os.path.basename(self.scr))


def saver_window_geometry(case):
    result = case.screen.xdotool("search", "--name", "^Glimmerz$", "getwindowgeometry", "--shell")
    geometry = {}
    for line in result.stdout.splitlines():
        key, _, value = line.partition("=")
        if value.isdigit():
            geometry[key] = int(value)
    return geometry


# ---- cases --------------------------------------------------------------------------------

def prefix_setup(args):
    wine = Wine(args.work, args.arch)
    began = time.monotonic()
    wine.create()
    note("prefix made in %.1f s at %s" % (time.monotonic() - began, wine.prefix))
    check(wine.reg_values(SETTINGS_KEY) is None, "a fresh prefix holds no Glimmerz settings")
    wine.shut_down()
    if os.path.isfile(args.scr):
        warm_up(args)


def warm_up(args):
    """Runs the saver once into the bulb title and ends it, checking nothing.

    Mesa compiles a shader for every new combination of states the first time it
    is drawn, which on a busy machine holds the first frames of each phase back by
    a second or more. The cases time their screenshots by what the screen shows,
    so they run with those shaders already in Mesa's cache (in the prefix's HOME).
    The settings this run stores are removed again: the cases start from none."""
    began = time.monotonic()
    with Case(args.work, args.arch) as case:
        process = case.wine.start(args.scr, "/s")
        while time.monotonic() - began < OPENING_TIMEOUT and process.poll() is None:
            picture = case.screen.shot()
            if bulb_title_statistics(picture)["lit_share"] >= 0.25 and outside_sign_dark_share(picture) < 0.9:
                time.sleep(1.0)
                break
        case.screen.xdotool("key", "space")
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass  # the case's clean-up ends it
        forget_settings(case.wine)
    note("warm-up run took %.1f s" % (time.monotonic() - began))


def prefix_cleanup(args):
    Wine(args.work, args.arch).shut_down()
    shutil.rmtree(args.work, ignore_errors=True)
    check(not os.path.exists(args.work), "the prefix is gone")


def quick_switches(args):
    with Case(args.work, args.arch) as case:
        # starts the wineserver and its services, so the timings below are the program's
        forget_settings(case.wine)
        check(case.wine.reg_values(SETTINGS_KEY) is None, "no Glimmerz settings before the first run")
        for switches in (["/x"], ["/a", "0"]):
            code, took = case.wine.run(args.scr, *switches, timeout=30)
            check(code == 0, "%s ends with exit code 0 (%d)" % (" ".join(switches), code))
            check(took <= 5.0, "%s ends at once (%.2f s)" % (" ".join(switches), took))
        check(case.wine.reg_values(SETTINGS_KEY) is None,
              "neither switch reads a setting, so the settings key is still absent")


def saver_show(args):
    with Case(args.work, args.arch) as case:
        forget_settings(case.wine)
        run = Run(case, args, args.shots)
        run.wait_for_sign()
        geometry = saver_window_geometry(case)
        check(geometry.get("WIDTH") == 640 and geometry.get("HEIGHT") == 480
              and geometry.get("X") == 0 and geometry.get("Y") == 0,
              "the saver window covers the 640x480 screen (%s)" % geometry)
        run.check_sign_hold("sign-640x480.png")

        run.wait_for_bulb_title()
        check(4.4 <= run.title_start - run.first_frame <= 6.0,
              "the bulb title follows the sign 5 s after the first frame (%.2f s)"
              % (run.title_start - run.first_frame))
        pale = bulb_title_statistics(run.shot_at(*BULB_PALE_AT, since=run.title_start))
        red_picture = run.shot_at(*BULB_RED_AT, since=run.title_start)
        red_picture.save_png(os.path.join(args.shots, "bulb-640x480.png"))
        note("kept %s" % os.path.join(args.shots, "bulb-640x480.png"))
        red = bulb_title_statistics(red_picture)
        note("bulb title, pale pulse: %s" % format_stats(pale))
        note("bulb title, red pulse: %s" % format_stats(red))
        for name, stats in (("pale", pale), ("red", red)):
            check(stats["corner_dark"] >= 0.98, "bulb title (%s): the corners are black (%.1f %%)"
                  % (name, 100 * stats["corner_dark"]))
            check(stats["lit_share"] >= 0.5, "bulb title (%s): blobs and bulb fill the middle (%.0f %%)"
                  % (name, 100 * stats["lit_share"]))
        check(red["red_share"] >= 0.5 and red["green_blue_to_red"] <= 0.2,
              "bulb title at the red pulse: the middle is red (%.0f %% red, green/blue %.2f of red)"
              % (100 * red["red_share"], red["green_blue_to_red"]))
        r, g, b = red["bulb_mean"]
        check(r >= 90 and g <= 0.35 * r and b <= 0.35 * r, "the bulb in the middle is bright red (%.0f, %.0f, %.0f)"
              % (r, g, b))
        check(pale["green_blue_to_red"] >= max(0.3, 2 * red["green_blue_to_red"]),
              "bulb title near the pulse's peak is paler than at pure red (%.2f against %.2f)"
              % (pale["green_blue_to_red"], red["green_blue_to_red"]))
        run.press_key_and_wait()
        dlls = run.dlls()
        check({"ddraw.dll", "wined3d.dll"} <= set(dlls),
              "the show was drawn through DirectDraw and Direct3D (ddraw.dll on wined3d.dll)")
        check({"dmime.dll", "dmusic.dll"} <= set(dlls),
              "with music on, DirectMusic was started before the show (dmime.dll, dmusic.dll)")


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def result_lines(path):
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [line.split() for line in f.read().splitlines() if line.strip()]


def preview(args):
    """Glimmerz.scr /p <hwnd> started by a Windows host program. Wine 8 paints child
    windows into their top-level window's surface, which only the process that owns
    the top-level window has, so the saver's frames reach no screen; Wine 10 shows them.
    The host first stands in for the saver with a plain red child: where the red shows,
    the case checks the frames too, elsewhere only the saver's child and its end."""
    with open(args.scr, "rb") as f:
        bitmaps = PeImage(f.read()).resources()[RT_BITMAP]
    frames = [Bitmap(bitmaps[101 + i][1]).rows() for i in range(10)]
    check(all(len(rows) == 96 and len(rows[0]) == 128 for rows in frames) and frames[0] != frames[1],
          "the program carries ten 128 x 96 preview frames, bitmaps 101 to 110")
    left, top, width, height = PREVIEW_HOST
    framed = [b"".join(bytes(pixel) for pixel in row) for rows in frames for row in rows]
    at = lambda shot, row: 3 * ((top + (height - 96) // 2 + row) * shot.width + left + (width - 128) // 2)
    shows_a_frame = lambda shot: any(all(shot.rgb[at(shot, r):at(shot, r) + 384] == framed[96 * f + r]
                                         for r in range(96)) for f in range(10))
    stop, result = os.path.join(args.work, "preview-stop"), os.path.join(args.work, "preview-result")
    with Case(args.work, args.arch) as case:
        for saver in (args.preview_host, args.scr):
            for path in (stop, result):
                if os.path.exists(path):
                    os.remove(path)
            began = time.monotonic()
            host = case.wine.start(args.preview_host, windows_path(saver), windows_path(stop), windows_path(result))
            while time.monotonic() - began < OPENING_TIMEOUT and host.poll() is None and not result_lines(result):
                time.sleep(0.1)
            lines = result_lines(result)
            time.sleep(0.5)
            shots = [case.screen.shot()]
            while saver == args.scr and paints and not shows_a_frame(shots[-1]) and len(shots) < 10:
                time.sleep(0.3)
                shots.append(case.screen.shot())
            open(stop, "w").close()
            try:
                host.wait(timeout=30)
            except subprocess.TimeoutExpired:
                check(False, "the host ends after destroying its window")
                return
            if saver == args.preview_host:
                shown = shots[0].pixel(left + width // 2, top + height // 2)
                paints = shown == (255, 0, 0)
                if not paints:
                    note("this Wine shows no child window that another process paints (the red stand-in shows as "
                         "%s): the case judges the saver's child and its exit, not its picture" % (shown,))
        check(lines[:1] == [["child", str(left), str(top), str(width), str(height)]],
              "the saver puts a visible glmzpreview child titled Glimmerz Preview over the whole host (%s)"
              % (lines[:1],))
        shots[-1].save_png(os.path.join(args.shots, "preview-host.png"))
        note("kept %s" % os.path.join(args.shots, "preview-host.png"))
        if paints:
            check(shows_a_frame(shots[-1]),
                  "one of the ten preview frames shows at the host's centre (%d screenshots)" % len(shots))
        lines = result_lines(result)
        ended = lines[-1] if lines else []
        check(len(ended) == 4 and ended[0] == "ended" and ended[1] == "0" and int(ended[2]) <= 1000
              and ended[3] == "after-the-host",
              "destroying the host window ends the preview with exit code 0 within a second (%s)" % ended)


def format_stats(stats):
    return ", ".join("%s %s" % (k, ("(%.0f, %.0f, %.0f)" % v) if isinstance(v, tuple) else "%.2f" % v)
                     for k, v in stats.items())


def forget_settings(wine):
    """Removes every stored Glimmerz setting: each case starts from what it stores
    itself, whatever the cases before it stored or left behind when they failed."""
    wine.reg("delete", r"HKCU\Software\Vantorel", "/f")


def settings_defaults(args):
    with Case(args.work, args.arch) as case:
        forget_settings(case.wine)
        run = Run(case, args, args.shots)
        run.wait_for_sign()
        run.press_key_and_wait()
        values = case.wine.reg_values(SETTINGS_KEY)
        if not check(values is not None, "the saver has made the key %s" % SETTINGS_KEY):
            return
        for name, value in sorted(values.items()):
            note("%s %s %s" % (name, value[0], value[1]))
        expected = {"music": ("REG_DWORD", "0x1"), "displaywidth": ("REG_DWORD", "0x280"),
                    "displayheight": ("REG_DWORD", "0x1e0"), "displaybpp": ("REG_DWORD", "0x10"),
                    "usenullddguid": ("REG_DWORD", "0x1"), "deviceguid": ("REG_BINARY", HAL_DEVICE_GUID)}
        for name, (kind, data) in expected.items():
            seen = values.get(name)
            check(seen is not None and seen[0] == kind and seen[1].upper() == data.upper(),
                  "%s is %s %s (%s)" % (name, kind, data, seen))
        check("ddguid" not in values, "ddguid is not written while the primary driver is used")
        check("sound" not in values, "sound is left to the options dialog")


def settings_kept(args):
    with Case(args.work, args.arch) as case:
        forget_settings(case.wine)
        for value in (["music", "REG_DWORD", "0"], ["displaybpp", "REG_BINARY", "1000000000000000"],
                      ["displaywidth", "REG_BINARY", "80020000"]):
            code, _ = case.wine.reg("add", SETTINGS_KEY, "/v", value[0], "/t", value[1], "/d", value[2], "/f")
            check(code == 0, "stored %s as %s %s" % tuple(value))
        run = Run(case, args, args.shots)
        run.wait_for_sign()
        run.check_sign_hold("sign-640x480-music-off.png")
        run.press_key_and_wait()
        dlls = run.dlls()
        check("ddraw.dll" in dlls and not {"dmime.dll", "dmusic.dll"} & set(dlls),
              "with music 0 the saver shows the show without touching DirectMusic (%s)"
              % ", ".join(d for d in dlls if d.startswith("dm")))
        values = case.wine.reg_values(SETTINGS_KEY) or {}
        check(values.get("music") == ("REG_DWORD", "0x0"), "music 0 is kept (%s)" % (values.get("music"),))
        check(values.get("displaybpp") == ("REG_DWORD", "0x10"),
              "an 8-byte displaybpp is replaced by the default 16 (%s)" % (values.get("displaybpp"),))
        check(values.get("displaywidth") == ("REG_BINARY", "80020000"),
              "a 4-byte REG_BINARY displaywidth of 640 is read and left alone (%s)"
              % (values.get("displaywidth"),))


def display_800x600(args):
    with Case(args.work, args.arch, 800, 600) as case:
        forget_settings(case.wine)
        for name, number in (("displaywidth", "800"), ("displayheight", "600"), ("displaybpp", "16")):
            code, _ = case.wine.reg("add", SETTINGS_KEY, "/v", name, "/t", "REG_DWORD", "/d", number, "/f")
            check(code == 0, "stored %s %s" % (name, number))
        run = Run(case, args, args.shots)
        run.wait_for_sign()
        geometry = saver_window_geometry(case)
        check(geometry.get("WIDTH") == 800 and geometry.get("HEIGHT") == 600
              and geometry.get("X") == 0 and geometry.get("Y") == 0,
              "the saver window covers the 800x600 screen (%s)" % geometry)
        run.check_sign_hold("sign-800x600.png")
        run.press_key_and_wait()
    # the same mode on a screen that cannot take it: the saver gives up quietly
    with Case(args.work, args.arch, 640, 480) as case:
        code, took = case.wine.run(args.scr, "/s", timeout=60)
        check(code == 0, "an 800x600 mode on a 640x480 screen ends the saver with exit code 0 (%d, %.1f s)"
              % (code, took))


def open_dialog(case, scr, *switches):
    """Starts Glimmerz.scr with the switches and waits for its dialog; clicks its caption so that it has
    the keyboard. Returns the process and the window's geometry."""
    process = case.wine.start(scr, *switches)
    deadline = time.monotonic() + OPENING_TIMEOUT
    while time.monotonic() < deadline:
        found = case.screen.xdotool("search", "--onlyvisible", "--name", "^Options for Glimmerz$")
        if found.returncode == 0 and found.stdout.split():
            window = found.stdout.split()[0]
            geometry = dict(line.split("=", 1) for line in
                            case.screen.xdotool("getwindowgeometry", "--shell", window).stdout.split())
            geometry = {k: int(v) for k, v in geometry.items()}
            case.screen.xdotool("mousemove", str(geometry["X"] + geometry["WIDTH"] // 2),
                                str(geometry["Y"] + 5), "click", "1")
            return process, geometry
        if process.poll() is not None:
            raise SessionError("Glimmerz.scr /c ended with %d before its dialog showed" % process.returncode)
        time.sleep(0.2)
    raise SessionError("no dialog named Options for Glimmerz within %d s" % OPENING_TIMEOUT)


def dialog_ends(process, after):
    try:
        code = process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        check(False, "the dialog closes on %s" % after)
        return
    check(code == 0, "the dialog closes on %s with exit code 0 (%d)" % (after, code))


def options_dialog(args):
    with Case(args.work, args.arch) as case:
        forget_settings(case.wine)
        # /c 0: no owner
        process, geometry = open_dialog(case, args.scr, "/c", "0")
        case.screen.shot().save_png(os.path.join(args.shots, "options-dialog.png"))
        check(abs(geometry["X"] * 2 + geometry["WIDTH"] - 640) <= 2 and abs(geometry["Y"] * 2 + geometry["HEIGHT"] - 480) <= 2,
              "without an owner the dialog is centred on the screen (%s)" % geometry)
        case.screen.xdotool("key", "Escape")
        dialog_ends(process, "Escape")
        before = case.wine.reg_values(SETTINGS_KEY) or {}
        check(before.get("sound") == ("REG_DWORD", "0x1") and before.get("music") == ("REG_DWORD", "0x1"),
              "opening stores both check boxes' defaults (%s, %s)" % (before.get("sound"), before.get("music")))

        process, _ = open_dialog(case, args.scr, "/c")
        case.screen.xdotool("key", "alt+p", "alt+m", "Up", "Escape")
        dialog_ends(process, "changes and Escape")
        check(case.wine.reg_values(SETTINGS_KEY) == before, "Escape writes nothing")

        # on a 640x480 screen Wine offers 640x480 at 32 bits, then at 16
        process, _ = open_dialog(case, args.scr, "/c")
        case.screen.xdotool("key", "alt+p", "alt+m", "Up", "Return")
        dialog_ends(process, "Enter")
        after = case.wine.reg_values(SETTINGS_KEY) or {}
        check(after.get("music") == ("REG_DWORD", "0x0"), "the music mnemonic and Enter store music 0 (%s)"
              % (after.get("music"),))
        mode = tuple(after.get(n, ("", ""))[1] for n in ("displaywidth", "displayheight", "displaybpp"))
        check(mode == ("0x280", "0x1e0", "0x20"), "the mode above in the list, 640x480 at 32 bits, is stored (%s)"
              % (mode,))


def package_state(case):
    """The installed Glimmerz.scr, (version, publisher) of each Glimmerz entry, their icons, SCRNSAVE.EXE."""
    def read(*path):
        return pathlib.Path(drive, *path).read_bytes() if os.path.isfile(os.path.join(drive, *path)) else None

    def named(key, name):  # the keys below this one whose `name` is Glimmerz, in the prefix's own view
        below = [line for line in case.wine.reg("query", key, *view)[1].splitlines() if line.startswith("HKEY")]
        found = [{k: v[1] for k, v in (case.wine.reg_values(sub, *view) or {}).items()} for sub in below]
        return [values for values in found if values.get(name) == "Glimmerz"]
    view, drive = ["/reg:64"] if case.wine.arch == "win64" else [], os.path.join(case.wine.prefix, "drive_c")
    return (read("windows", "system32", "Glimmerz.scr"),
            [(e.get("displayversion"), e.get("publisher")) for e in named(UNINSTALL_KEY, "displayname")],
            [read(*p.get("producticon", "C:")[3:].split("\\")) for p in named(PRODUCTS_KEY, "productname")],
            (case.wine.reg_values(DESKTOP_KEY) or {}).get("scrnsave.exe", (0, None))[1])


def package(args):
    """Installs Glimmerz.msi, the same version rebuilt and a newer one, each over the last; then removes it."""
    def msiexec(switch, msi):
        code, took = case.wine.run("msiexec", switch, windows_path(msi), "/qn", timeout=120)
        note("msiexec %s %s /qn: exit code %d in %.1f s" % (switch, msi, code, took))
        return code
    here, msi = os.path.dirname(args.scr), os.path.join(os.path.dirname(args.scr), "Glimmerz.msi")
    wixl = pathlib.Path(msi + ".wixl").read_text().splitlines()  # as the build ran it, from `here`
    icon = pathlib.Path(here, next(a[5:] for a in wixl if a.startswith("Icon="))).read_bytes()
    builds = [(msi, args.version, pathlib.Path(args.scr).read_bytes())]
    for version, tag in ((args.version, "rebuilt"), ("%d.0.0" % (int(args.version.split(".")[0]) + 1), "newer")):
        scr, built = (os.path.join(args.work, tag + ext) for ext in (".scr", ".msi"))
        builds.append((built, version, builds[0][2] + tag.encode()))  # past the image's end: the same program
        pathlib.Path(scr).write_bytes(builds[-1][2])
        subprocess.run([os.path.relpath(scr, here).join(("Saver=", "")) if a.startswith("Saver=") else a
                        for a in wixl] + ["-D", "Version=" + version, "-o", built], cwd=here, check=True)
    with Case(args.work, args.arch) as case:
        case.wine.reg("add", SETTINGS_KEY, "/v", "music", "/t", "REG_DWORD", "/d", "0", "/f")
        for built, version, scr in builds:
            code, state = msiexec("/i", built), package_state(case)
            check(code == 0 and state == (scr, [(version, "Vantorel")], [icon], INSTALLED_SCR),
                  "a silent install of %s puts exactly its Glimmerz.scr into the system folder and names it in "
                  "SCRNSAVE.EXE, with one entry, Glimmerz %s by Vantorel, and its icon (%d, %s, %s)"
                  % (built, version, code, state[1], state[3]))
        check(msiexec("/i", msi) != 0 and package_state(case) == state, "the older package is refused then")
        for removed, chosen, kept in ((builds[2][0], "other.scr", "other.scr"), (msi, INSTALLED_SCR.upper(), None)):
            msiexec("/i", removed)
            case.wine.reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", chosen, "/f")
            check(msiexec("/x", removed) == 0 and package_state(case) == (None, [], [], kept)
                  and (case.wine.reg_values(SETTINGS_KEY) or {}).get("music") == ("REG_DWORD", "0x0"),
                  "a silent removal leaves neither file nor entry, keeps the settings, and SCRNSAVE.EXE %s"
                  % ("keeps another saver" if kept else "no longer names Glimmerz"))


CASES = {"prefix-setup": prefix_setup, "prefix-cleanup": prefix_cleanup, "quick-switches": quick_switches,
         "saver-show": saver_show, "settings-defaults": settings_defaults, "settings-kept": settings_kept,
         "display-800x600": display_800x600, "preview": preview, "options-dialog": options_dialog, "package": package}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", required=True, choices=sorted(LOADERS), help="the prefix's architecture")
    parser.add_argument("--scr", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--shots", required=True)
    parser.add_argument("--preview-host", help="the host program the preview case starts the saver from")
    parser.add_argument("--version", help="the program's version, which its package has")
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    args.scr, args.work, args.shots = map(os.path.abspath, (args.scr, args.work, args.shots))
    if args.preview_host:
        args.preview_host = os.path.abspath(args.preview_host)
    if not args.case.startswith("prefix") and not os.path.isfile(args.scr):
        check(False, "%s exists (build it with `make windows`)" % args.scr)
        return 1
    reason = why_arch_cannot_run(args.arch)
    if args.case != "prefix-cleanup" and reason:
        print("skipped: %s, so Wine cannot run the %s saver here" % (reason, args.arch), flush=True)
        return SKIPPED
    if args.case == "package" and not shutil.which("wixl"):
        print("skipped: wixl is not installed here, so the build made no package", flush=True)
        return SKIPPED
    try:
        CASES[args.case](args)
    except SessionError as error:
        check(False, str(error))
    log = os.path.join(args.work, "wine.log")
    if failures and os.path.exists(log):
        print("---- last lines of %s" % log)
        with open(log, "rb") as f:
            print(f.read()[-3000:].decode("latin-1"))
    if failures:
        print("%d checks failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
