"""Runs Glimmerz.scr under Wine in a private Xvfb screen and a private prefix.

Everything lives under one work folder: the Wine prefix, a HOME for Wine (with
the null ALSA device DirectMusic needs to start) and the logs. Nothing of the
user's home or display is touched. Every wait has a timeout, and everything
started here is stopped again in `close`, also when a check has failed."""

import os
import re
import select
import shutil
import signal
import subprocess
import time
import zlib
import struct

WINE_TIMEOUT = 120  # seconds for wineboot, the slowest single step
# Each prefix architecture's own Wine loader: a 32-bit prefix runs the 32-bit
# saver, a 64-bit one the 64-bit saver, and neither needs the other's Wine.
LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
RUNS_32_BIT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                           "runs-32-bit-programs.sh")


def why_arch_cannot_run(arch):
    """None when this machine can run Wine of the architecture, else the reason.
    32-bit Wine is optional: a kernel that refuses 32-bit programs or an i386
    archive that could not be installed from leaves it out. 64-bit Wine is part of
    the set-up, so its absence is a failure to report, not a reason to skip."""
    if arch != "win32":
        return None
    if subprocess.run([RUNS_32_BIT]).returncode != 0:
        return "this machine's kernel does not start 32-bit x86 programs (exec format error)"
    if not os.access(LOADERS["win32"], os.X_OK):
        return "32-bit Wine (wine32:i386) is not installed here: the set-up could not install it"
    return None


class SessionError(Exception):
    pass


class Picture:
    """A screenshot: RGB bytes, top row first."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return self.rgb[at], self.rgb[at + 1], self.rgb[at + 2]

    def pixels(self, left, top, right, bottom, step=2):
        """Every step-th pixel of the rectangle [left, right) x [top, bottom)."""
        left, top = max(0, int(left)), max(0, int(top))
        right, bottom = min(self.width, int(right)), min(self.height, int(bottom))
        for y in range(top, bottom, step):
            row = 3 * y * self.width
            for x in range(left, right, step):
                at = row + 3 * x
                yield self.rgb[at], self.rgb[at + 1], self.rgb[at + 2]

    def mean(self, left, top, right, bottom, step=2):
        total, count = [0, 0, 0], 0
        for p in self.pixels(left, top, right, bottom, step):
            total[0] += p[0]
            total[1] += p[1]
            total[2] += p[2]
            count += 1
        return tuple(t / max(count, 1) for t in total)

    def save_png(self, path):
        raw = b"".join(b"\0" + self.rgb[3 * y * self.width:3 * (y + 1) * self.width]
                       for y in range(self.height))

        def chunk(tag, body):
            return (struct.pack(">I", len(body)) + tag + body
                    + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))

        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n"
                    + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def stop_group(process, grace=3):
    """Ends a process started with its own session, and everything in that session."""
    if process is None or process.poll() is not None and not _group_alive(process.pid):
        return
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            return
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            continue
        if not _group_alive(process.pid):
            return


def _group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False


class Screen:
    """An Xvfb server of one size, 24 bits deep, black root, on a free display number."""

    def __init__(self, width, height, log):
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
             "-br", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=log, stderr=log, start_new_session=True)
        os.close(write_end)
        number, deadline = b"", time.monotonic() + 20
        try:
            # the number and its newline may come in separate writes; closing the pipe
            # before the newline has arrived would make Xvfb give up
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
                if not ready:
                    break
                data = os.read(read_end, 32)
                if not data:
                    break
                number += data
        finally:
            os.close(read_end)
        number = number.decode().strip()
        if not number:
            self.close()
            raise SessionError("Xvfb did not report a display within 20 s")
        self.display = ":" + number

    def shot(self):
        """The whole screen as it is now."""
        result = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8",
                                 "rgb:-"], capture_output=True, timeout=20)
        expected = 3 * self.width * self.height
        if result.returncode != 0 or len(result.stdout) != expected:
            raise SessionError("screenshot failed (%d bytes, exit %d): %s"
                               % (len(result.stdout), result.returncode, result.stderr.decode()[-300:]))
        return Picture(self.width, self.height, result.stdout)

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=dict(os.environ, DISPLAY=self.display),
                              capture_output=True, text=True, timeout=10)

    def close(self):
        stop_group(self.process)


class Wine:
    """One private prefix of one architecture with its own HOME, driven through
    that architecture's Wine loader and the wineserver."""

    def __init__(self, work, arch):
        self.arch, self.loader = arch, LOADERS[arch]
        self.work = os.path.abspath(work)
        self.home = os.path.join(self.work, "home")
        self.prefix = os.path.join(self.work, "prefix")
        self.log_path = os.path.join(self.work, "wine.log")
        self.display = None
        self.running = []

    def env(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "XDG_", "DISPLAY"))}
        env.update(HOME=self.home, WINEPREFIX=self.prefix, WINEARCH=self.arch, WINELOADER=self.loader,
                   # no .NET or browser installers, and no menu entries or file
                   # associations written anywhere
                   WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                   # the DLLs a process loads tell which of its paths ran
                   WINEDEBUG=os.environ.get("GLIMMERZ_WINEDEBUG", "-all,+loaddll"),
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"))
        if self.display:
            env["DISPLAY"] = self.display
        return env

    def log(self):
        return open(self.log_path, "ab")

    def create(self):
        """A fresh prefix; whatever an earlier run left in the work folder is removed."""
        self.shut_down()
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.home)
        # DirectMusic's Init needs a sound device; this one accepts and drops everything.
        with open(os.path.join(self.home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type null }\n")
        with self.log() as log:
            self._run_checked([self.loader, "wineboot", "--init"], log, WINE_TIMEOUT)
            # Xvfb has no window manager, and Wine would wait about 2 s for one to
            # acknowledge every managed window it hides; unmanaged windows it
            # places itself, which is what a full-screen saver wants anyway.
            self._run_checked([self.loader, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                               "/d", "N", "/f"], log, 60)
        self.shut_down()
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            raise SessionError("wineboot made no registry in %s" % self.prefix)

    def _run_checked(self, args, log, timeout):
        process = subprocess.Popen(args, env=self.env(), stdout=log, stderr=log, start_new_session=True)
        try:
            code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            stop_group(process)
            raise SessionError("%s did not finish within %d s" % (" ".join(args), timeout))
        if code != 0:
            raise SessionError("%s exited with %d (see %s)" % (" ".join(args), code, self.log_path))

    def start(self, *args):
        """Starts a Windows program; returns the process (its exit code is the program's)."""
        with self.log() as log:
            log.write(("\n==== wine %s\n" % " ".join(args)).encode())
            log.flush()
            offset = log.tell()
            process = subprocess.Popen([self.loader] + list(args), env=self.env(), stdout=log,
                                       stderr=log, start_new_session=True)
        process.log_offset = offset
        self.running.append(process)
        return process

    def dlls_loaded_with(self, process, module):
        """Lower-case file names of the DLLs loaded by the thread that loaded `module`
        (the program's main thread for the program's own file), from the log of the
        process and of whatever ran beside it."""
        with open(self.log_path, "rb") as f:
            f.seek(process.log_offset)
            text = f.read().decode("latin-1")
        loads = [(thread, re.split(r"[\\/]+", path)[-1].lower()) for thread, path in
                 re.findall(r'^(?:[0-9.]+:)?([0-9a-f]+):trace:loaddll:\w+ Loaded L"([^"]+)"', text, re.M)]
        threads = {thread for thread, name in loads if name == module.lower()}
        return [name for thread, name in loads if thread in threads]

    def run(self, *args, timeout=60):
        """Runs a Windows program to its end: (exit code, seconds taken)."""
        began = time.monotonic()
        process = self.start(*args)
        try:
            code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            stop_group(process)
            raise SessionError("wine %s did not end within %d s" % (" ".join(args), timeout))
        return code, time.monotonic() - began

    def reg(self, *args):
        """wine reg ...; (exit code, standard output)."""
        with self.log() as log:
            result = subprocess.run([self.loader, "reg"] + list(args), env=self.env(), stdout=subprocess.PIPE,
                                    stderr=log, timeout=60, start_new_session=True)
        return result.returncode, result.stdout.decode("latin-1").replace("\r", "")

    def reg_values(self, key, *options):
        """{lower-case value name: (type, data text)} of one key, or None when the key is missing."""
        code, out = self.reg("query", key, *options)
        if code != 0:
            return None
        values = {}
        for line in out.splitlines():
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_") and line[:1].isspace():
                values[parts[0].lower()] = (parts[1], parts[2].strip() if len(parts) > 2 else "")
        return values

    def shut_down(self):
        """Ends every Wine process of the prefix and waits for the wineserver to go."""
        for process in self.running:
            stop_group(process)
        self.running = []
        if not os.path.isdir(self.prefix):
            return
        for args in (["wineserver", "-k"], ["wineserver", "-w"]):
            try:
                subprocess.run(args, env=self.env(), timeout=30, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass


class Case:
    """One test case: a Wine prefix made by the fixture, and an Xvfb screen of a given size."""

    def __init__(self, work, arch, width=640, height=480):
        self.wine = Wine(work, arch)
        if not os.path.exists(os.path.join(self.wine.prefix, "system.reg")):
            raise SessionError("no Wine prefix in %s: the prefix fixture has not run" % work)
        self.screen = None
        try:
            self.wine.shut_down()
            with self.wine.log() as log:
                self.screen = Screen(width, height, log)
            self.wine.display = self.screen.display
        except BaseException:
            self.close()
            raise

    def close(self):
        self.wine.shut_down()
        if self.screen:
            self.screen.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
