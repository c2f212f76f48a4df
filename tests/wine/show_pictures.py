"""What the opening of the show puts on the screen, as tolerant pixel statistics.

The camera is fixed: at depth z the screen spans |x| <= z and |y| <= z / 1.4966,
whatever the display mode, so the warning sign (a 3.5 x 2 quad at depth 3, drawn
opaque) covers a known rectangle and shows bitmap 119 inside it."""

from pe_image import RT_BITMAP, Bitmap

VERTICAL_SCALE = 1.4966058
SIGN_BITMAP = 119
DARK = 24  # a channel at or below this counts as black (16-bit dither, filtering)


def sign_rectangle(width, height):
    half_w = 1.75 / 3.0 * width / 2
    half_h = 1.0 / 3.0 * VERTICAL_SCALE * height / 2
    return width / 2 - half_w, height / 2 - half_h, width / 2 + half_w, height / 2 + half_h


def dark_share(picture, left, top, right, bottom):
    pixels = list(picture.pixels(left, top, right, bottom, step=3))
    return sum(1 for p in pixels if max(p) <= DARK) / max(len(pixels), 1)


def outside_sign_dark_share(picture):
    """Share of black pixels in the bands around the sign rectangle (6 pixels off its edges)."""
    left, top, right, bottom = sign_rectangle(picture.width, picture.height)
    w, h, m = picture.width, picture.height, 6
    bands = [(0, 0, w, top - m), (0, bottom + m, w, h), (0, top - m, left - m, bottom + m),
             (right + m, top - m, w, bottom + m)]
    dark = total = 0
    for band in bands:
        pixels = list(picture.pixels(*band, step=3))
        dark += sum(1 for p in pixels if max(p) <= DARK)
        total += len(pixels)
    return dark / max(total, 1)


class SignModel:
    """Bitmap 119 from the program file, as the screen should show it inside the sign's
    rectangle, compared block by block over a grid so that filtering and dithering
    average out."""

    GRID = 16

    def __init__(self, resources):
        # The sign carries alpha, so it becomes a texture with four bits a channel
        # (A4R4G4B4, the first format with alpha enough that Wine's Direct3D
        # offers); the screen shows those colours, not the bitmap's own.
        self.texels = [[tuple((c >> 4) * 17 for c in pixel) for pixel in row]
                       for row in Bitmap(resources[RT_BITMAP][SIGN_BITMAP][1]).rows()]
        self.layouts = {}

    def _layout(self, width, height, step):
        """Per grid block: the screen pixels inside it (as byte offsets) and the texel
        each one shows, sampled at the pixel's centre."""
        key = (width, height, step)
        if key not in self.layouts:
            left, top, right, bottom = sign_rectangle(width, height)
            tw, th = len(self.texels[0]), len(self.texels)
            bw, bh = (right - left) / self.GRID, (bottom - top) / self.GRID
            blocks = []
            for by in range(self.GRID):
                for bx in range(self.GRID):
                    pairs = []
                    # a pixel off the block's edges, where the rectangle's own edge
                    # and the neighbouring block blur in
                    for y in range(int(top + by * bh) + 1, int(top + (by + 1) * bh) - 1, step):
                        v = min(th - 1, int((y + 0.5 - top) / (bottom - top) * th))
                        for x in range(int(left + bx * bw) + 1, int(left + (bx + 1) * bw) - 1, step):
                            u = min(tw - 1, int((x + 0.5 - left) / (right - left) * tw))
                            pairs.append((3 * (y * width + x), self.texels[v][u]))
                    blocks.append(pairs)
            self.layouts[key] = blocks
        return self.layouts[key]

    def _block_means(self, picture, step):
        rgb = picture.rgb
        means = []
        for pairs in self._layout(picture.width, picture.height, step):
            seen, want = [0, 0, 0], [0, 0, 0]
            for at, texel in pairs:
                for c in range(3):
                    seen[c] += rgb[at + c]
                    want[c] += texel[c]
            n = max(len(pairs), 1)
            means.append(([v / n for v in seen], [v / n for v in want]))
        return means

    def lit_fraction(self, picture):
        """How bright the sign is against its full-white hold: 0 black, 1 full."""
        seen = want = 0
        for s, w in self._block_means(picture, 4):
            seen += sum(s)
            want += sum(w)
        return seen / max(want, 1)

    def compare(self, picture, scale, step=2):
        """(mean absolute difference per channel, share of blocks off by more than 48)
        between the screen and the sign darkened to scale (1 for the hold)."""
        diffs, off = [], 0
        for seen, want in self._block_means(picture, step):
            d = [abs(a - scale * b) for a, b in zip(seen, want)]
            diffs.extend(d)
            off += max(d) > 48
        return sum(diffs) / len(diffs), off / self.GRID ** 2


def bulb_title_statistics(picture):
    """Numbers describing a bulb-title frame: corners, the red of the blobs and the bulb."""
    w, h = picture.width, picture.height
    cw, ch = w // 8, h // 8
    corners = [(0, 0, cw, ch), (w - cw, 0, w, ch), (0, h - ch, cw, h), (w - cw, h - ch, w, h)]
    corner_dark = min(dark_share(picture, *c) for c in corners)
    centre = list(picture.pixels(w / 4, h / 4, 3 * w / 4, 3 * h / 4, step=3))
    lit = [p for p in centre if max(p) > 40]
    red_share = sum(1 for p in centre if p[0] > 60) / max(len(centre), 1)
    # the blobs and the bulb take their colour from the pulse: red with green and blue
    # as far up as the pulse is; mean green and blue relative to red says where it is
    mean_r = sum(p[0] for p in lit) / max(len(lit), 1)
    mean_gb = sum(p[1] + p[2] for p in lit) / (2 * max(len(lit), 1))
    bulb = picture.mean(w / 2 - w / 16, h / 2 - h / 16, w / 2 + w / 16, h / 2 + h / 10, step=2)
    return {"corner_dark": corner_dark, "red_share": red_share, "lit_share": len(lit) / max(len(centre), 1),
            "green_blue_to_red": mean_gb / max(mean_r, 1), "bulb_mean": bulb}
