"""The page under headless Chromium (SwiftShader's WebGL), served from build/web
on a local port and driven over the DevTools protocol.

    with Page(web_dir, "?autostart=1") as page: page.wait_for("window.glimmerzCaptured")
"""
import functools
import http.server
import json
import os
import shutil
import socket
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

CHROMIUM_FLAGS = ["--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox",
                  "--disable-gpu", "--disable-background-networking", "--disable-component-update",
                  "--disable-sync", "--no-first-run", "--remote-allow-origins=*",
                  "--autoplay-policy=no-user-gesture-required", "--window-size=1280,720"]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Page:
    def __init__(self, web_dir, query="", profile=None):
        self.web_dir, self.query, self.profile = web_dir, query, profile

    def __enter__(self):
        handler = functools.partial(QuietHandler, directory=self.web_dir)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.own_profile = self.profile is None
        self.profile = self.profile or tempfile.mkdtemp(prefix="glimmerz-chromium-")
        port = free_port()
        self.chromium = subprocess.Popen(
            ["chromium", *CHROMIUM_FLAGS, f"--user-data-dir={self.profile}", f"--remote-debugging-port={port}",
             "about:blank"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            try:
                targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json", timeout=1))
                pages = [t for t in targets if t["type"] == "page"]
                if pages:
                    break
            except OSError:
                pass
            time.sleep(0.1)
        self.socket = websocket.create_connection(pages[0]["webSocketDebuggerUrl"], timeout=60)
        self.next_id = 0
        # The page's own size, whatever the headless window keeps for itself.
        self.call("Emulation.setDeviceMetricsOverride", width=1280, height=720, deviceScaleFactor=1, mobile=False)
        self.open(self.query)
        return self

    def __exit__(self, *exc):
        self.socket.close()
        self.chromium.terminate()
        self.chromium.wait(timeout=30)
        self.server.shutdown()
        if self.own_profile:
            shutil.rmtree(self.profile, ignore_errors=True)

    def url(self, query=""):
        return f"http://127.0.0.1:{self.server.server_address[1]}/index.html{query}"

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            answer = json.loads(self.socket.recv())
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer.get("result", {})

    def open(self, query=""):
        self.call("Page.navigate", url=self.url(query))

    def run(self, expression):
        """The value of a JavaScript expression (awaited when it is a promise)."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, seconds=240):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                value = self.run(expression)
                if value:
                    return value
            except RuntimeError:
                pass  # the page is still loading
            time.sleep(0.2)
        raise TimeoutError(f"waited {seconds} s for {expression}")

    def press_key(self, key="a"):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, text=key, code=f"Key{key.upper()}")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
