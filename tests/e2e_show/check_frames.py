#!/usr/bin/env python3
"""Checks captured frames of the show against what each phase must look like.

    check_frames.py DIR   (DIR holds <clock>.png files named as in SHOTS)
Reads the pictures through ImageMagick's convert (as binary PPM), so it needs
nothing beyond the standard library.
"""
import subprocess
import sys

# Clock readings at 25 ms frames, each well inside its phase, and what it shows.
SHOTS = [
    (800, "SignFade", "sign fading in"),
    (3000, "SignFade", "sign at full brightness"),
    (8000, "BulbTitle", "the pulse near white"),
    (11300, "BulbTitle", "the pulse back at red"),
    (18600, "BulbZoom", "bulb flying into the camera"),
    (20500, "HeadlineFlyIn", "headline flying in"),
    (23000, "HeadlineJolt", "first word cycle, over black"),
    (26500, "HeadlineJolt", "second cycle: red pulse, blobs, glow train"),
    (29000, "HeadlineFlyOut", "headline flying out, grey fading"),
    (34000, "BulletTyping", "bullets typing over the red rock"),
    (41500, "BulletHold", "the finished page"),
    (45000, "BulletSpin", "letters tumbling, bulb approaching"),
    (47500, "HeadlineFlyIn", "the second slide's headline"),
]


def load(path):
    ppm = subprocess.run(["convert", path, "ppm:-"], check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # P6 width height maxval, then one whitespace byte
        while ppm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not ppm[pos:pos + 1].isspace():
            pos += 1
        fields.append(ppm[start:pos])
    width, height = int(fields[1]), int(fields[2])
    data = ppm[pos + 1:]
    pixels = [tuple(data[i:i + 3]) for i in range(0, width * height * 3, 3)]
    return width, height, pixels


class Frame:
    def __init__(self, path):
        self.width, self.height, self.pixels = load(path)

    def region(self, x0, y0, x1, y1):
        """Pixels of a rectangle given in fractions of the picture."""
        w, h = self.width, self.height
        return [self.pixels[y * w + x]
                for y in range(int(y0 * h), int(y1 * h))
                for x in range(int(x0 * w), int(x1 * w))]

    def share(self, test, region=None):
        px = region if region is not None else self.pixels
        return sum(1 for p in px if test(*p)) / len(px)

    def mean(self, region=None):
        px = region if region is not None else self.pixels
        return sum(sum(p) for p in px) / (3 * len(px))


def black(r, g, b):
    return r < 24 and g < 24 and b < 24


def red(r, g, b):
    return r > 60 and r > 2 * g + 10 and r > 2 * b + 10


def yellow(r, g, b):
    return r > 150 and g > 110 and b < 90


def white(r, g, b):
    return r > 200 and g > 200 and b > 200


def grey(r, g, b):
    return max(r, g, b) - min(r, g, b) < 16 and r > 40


def check(frames):
    """Yields (clock, complaint) for every expectation that does not hold."""
    f = frames
    centre = lambda t: f[t].region(0.3, 0.35, 0.7, 0.65)
    corners = lambda t: f[t].region(0, 0, 0.08, 0.08) + f[t].region(0.92, 0.92, 1, 1)
    expectations = [
        (3000, f[3000].share(black, corners(3000)) > 0.95, "black around the sign"),
        (3000, f[3000].share(yellow, centre(3000)) > 0.2, "the sign's yellow board"),
        (800, 0.4 < f[800].mean(centre(800)) / f[3000].mean(centre(3000)) < 0.95, "the sign dimmer while fading in"),
        (8000, f[8000].share(white, f[8000].region(0.45, 0.55, 0.55, 0.65)) > 0.5, "the bulb pulsed to white"),
        (11300, f[11300].share(red) > 0.2, "red bulb and blobs"),
        (11300, f[11300].share(white) < 0.01, "nothing white while the pulse is at red"),
        (11300, f[11300].share(black) > 0.05, "black behind the blobs"),
        (18600, f[18600].share(red) > 0.3, "the red bulb filling the screen"),
        (20500, f[20500].share(black) > 0.8, "black behind the flying letters"),
        (20500, f[20500].share(lambda r, g, b: r > 60 and grey(r, g, b), f[20500].region(0, 0.4, 1, 0.6)) > 0.005,
         "grey and white letters on the middle row"),
        (23000, f[23000].share(black) > 0.8, "the first jolt cycle over black"),
        (23000, f[23000].share(red) == 0, "no red in the first jolt cycle"),
        (26500, f[26500].share(red) > 0.2, "the red pulse and blobs of the second cycle"),
        (26500, f[26500].share(yellow) > 0.002, "the yellow glow train"),
        (29000, f[29000].share(grey, corners(29000)) > 0.9, "the grey fade behind the fly-out"),
        (34000, f[34000].share(red) > 0.5, "the red rock backdrop while typing"),
        (41500, f[41500].share(red) > 0.5, "the red rock backdrop of the page"),
        (41500, f[41500].share(white) > 0.01, "the page's white lines"),
        (41500, f[41500].share(white) > f[34000].share(white), "more text on the page than while typing"),
        (45000, f[45000].share(red) > 0.5, "the red rock backdrop while spinning"),
        (47500, f[47500].share(black) > 0.8, "black behind the second headline"),
    ]
    for clock, ok, what in expectations:
        if not ok:
            yield clock, what


def main():
    folder = sys.argv[1]
    frames = {clock: Frame(f"{folder}/{clock}.png") for clock, _, _ in SHOTS}
    failures = list(check(frames))
    for clock, what in failures:
        print(f"FAIL {clock}.png: {what}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
