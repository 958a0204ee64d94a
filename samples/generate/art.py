#!/usr/bin/python3
"""Draws the installer artwork of 星霜のアルカディア as PNG files.

Usage: art.py OUTDIR

OUTDIR is the art/ folder of a product: 'drubelkit build' encodes each
NAME.png there into the archive member NAME.EPA.

Every picture is drawn from shapes, gradients and text, with fixed random
seeds, so the same files come out on every run. The PNG mode of each file
is the colour form its EPA copy takes on the disc: "P" pictures become
8-bit palette pictures, "RGB" pictures 24-bit, "RGBA" pictures 32-bit with
alpha.
"""

import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/opentype/ipafont-gothic"
FONT_P = os.path.join(FONT_DIR, "ipagp.ttf")
FONT_M = os.path.join(FONT_DIR, "ipag.ttf")
FONT_LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"
FONT_LATIN_SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

TITLE_JA = "星霜のアルカディア"
TITLE_EN = "ARCADIA OF STARFROST"
BRAND = "Lumenfield"

# The house colours of the title: night blue, star gold and frost cyan.
NIGHT = (10, 14, 40)
GOLD_HI = (255, 240, 190)
GOLD = (232, 192, 110)
GOLD_LO = (160, 110, 50)
FROST = (140, 220, 255)
FROST_HI = (220, 248, 255)


# ---------------------------------------------------------------- helpers

_font_cache = {}


def font(size, face=FONT_P):
    if not os.path.exists(face):
        face = FONT_P
    key = (face, size)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(face, size)
    return _font_cache[key]


def latin(size, serif=True):
    face = FONT_LATIN if serif else FONT_LATIN_SANS
    return font(size, face)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def ramp(stops, t):
    """Colour at t (0..1) along a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 0)
    return stops[-1][1]


def vgradient(w, h, stops):
    col = Image.new("RGB", (1, h))
    px = col.load()
    for y in range(h):
        px[0, y] = ramp(stops, y / max(1, h - 1))
    return col.resize((w, h), Image.NEAREST)


def hgradient(w, h, stops):
    row = Image.new("RGB", (w, 1))
    px = row.load()
    for x in range(w):
        px[x, 0] = ramp(stops, x / max(1, w - 1))
    return row.resize((w, h), Image.NEAREST)


def radial_mask(diameter, falloff=2.0, strength=1.0):
    """L mask: strength at the centre fading to 0 at the rim."""
    g = Image.radial_gradient("L").resize((diameter, diameter), Image.BILINEAR)
    lut = [int(255 * strength * max(0.0, 1.0 - v / 128.0) ** falloff) for v in range(256)]
    return g.point(lut)


def add_light(img, color, mask, xy=(0, 0)):
    """Adds coloured light through an L mask onto an RGB picture."""
    layer = Image.new("RGB", img.size, (0, 0, 0))
    solid = Image.new("RGB", mask.size, color)
    layer.paste(solid, xy, mask)
    return ImageChops.add(img, layer)


def glow(img, center, radius, color, strength=1.0, falloff=2.0):
    d = int(radius * 2)
    m = radial_mask(d, falloff, strength)
    return add_light(img, color, m, (int(center[0] - radius), int(center[1] - radius)))


def paste_over(base, layer, xy=(0, 0)):
    """Alpha-composites an RGBA layer onto an RGB or RGBA picture."""
    if base.mode == "RGB":
        tmp = base.convert("RGBA")
        tmp.alpha_composite(layer, xy)
        return tmp.convert("RGB")
    base = base.copy()
    base.alpha_composite(layer, xy)
    return base


def text_mask(size, xy, text, fnt, stroke=0, anchor="la"):
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).text(xy, text, font=fnt, fill=255, anchor=anchor,
                           stroke_width=stroke, stroke_fill=255)
    return m


def fancy_text(img, xy, text, fnt, fill=GOLD_HI, fill2=None, outline=None,
               outline_w=2, glow_color=None, glow_r=6, glow_k=1.0,
               shadow=None, anchor="la", bold=0):
    """Text with an optional vertical fill gradient, outline, glow and shadow.

    Works on RGB pictures; RGBA pictures keep their alpha."""
    alpha = img.getchannel("A") if img.mode == "RGBA" else None
    rgb = img.convert("RGB")
    size = rgb.size
    if shadow:
        off, scol, sblur = shadow
        sm = text_mask(size, (xy[0] + off, xy[1] + off), text, fnt, outline_w, anchor)
        sm = sm.filter(ImageFilter.GaussianBlur(sblur))
        rgb = Image.composite(Image.new("RGB", size, scol), rgb, sm)
    if glow_color:
        gm = text_mask(size, xy, text, fnt, outline_w + 1, anchor)
        gm = gm.filter(ImageFilter.GaussianBlur(glow_r)).point(lambda v: min(255, int(v * glow_k)))
        rgb = add_light(rgb, glow_color, gm)
    if outline:
        om = text_mask(size, xy, text, fnt, outline_w + bold, anchor)
        rgb = Image.composite(Image.new("RGB", size, outline), rgb, om)
    fm = text_mask(size, xy, text, fnt, bold, anchor)
    box = fm.getbbox()
    if box:
        if fill2:
            grad = vgradient(size[0], box[3] - box[1], [(0, fill), (1, fill2)])
            layer = Image.new("RGB", size, fill)
            layer.paste(grad, (0, box[1]))
        else:
            layer = Image.new("RGB", size, fill)
        rgb = Image.composite(layer, rgb, fm)
    if alpha is not None:
        rgb = rgb.convert("RGBA")
        rgb.putalpha(alpha)
    return rgb


def text_width(text, fnt):
    l, t, r, b = fnt.getbbox(text)
    return r - l


def starfield(img, rng, count, box=None, bright=1.0, tint=(255, 255, 255), flare_share=0.03):
    """Scatters stars additively: pin-points, soft dots and a few flares."""
    w, h = img.size
    x0, y0, x1, y1 = box or (0, 0, w, h)
    dots = Image.new("RGB", img.size, (0, 0, 0))
    soft = Image.new("RGB", img.size, (0, 0, 0))
    dd = ImageDraw.Draw(dots)
    sd = ImageDraw.Draw(soft)
    flares = []
    for _ in range(count):
        x = rng.uniform(x0, x1)
        y = rng.uniform(y0, y1)
        b = rng.random() ** 2.2 * bright
        hue = rng.choice([(255, 255, 255), (200, 225, 255), (255, 235, 200), tint])
        c = tuple(min(255, int(v * b)) for v in hue)
        r = rng.random()
        if r < flare_share:
            flares.append((x, y, 0.6 + rng.random() * 0.6, hue))
        elif r < 0.18:
            sd.ellipse([x - 1.6, y - 1.6, x + 1.6, y + 1.6], fill=c)
        else:
            dd.point((x, y), fill=c)
    soft = soft.filter(ImageFilter.GaussianBlur(0.9))
    img = ImageChops.add(img, dots)
    img = ImageChops.add(img, soft)
    for x, y, k, hue in flares:
        img = star_flare(img, (x, y), 10 * k * bright + 3, hue)
    return img


def star_flare(img, c, size, color=(255, 255, 255), strength=1.0):
    """A bright star with a soft halo and four thin rays."""
    x, y = c
    img = glow(img, c, size * 1.2, color, 0.55 * strength, 2.4)
    rays = Image.new("L", img.size, 0)
    d = ImageDraw.Draw(rays)
    s = size
    d.polygon([(x - s, y), (x, y - 0.9), (x + s, y), (x, y + 0.9)], fill=int(200 * strength))
    d.polygon([(x, y - s), (x - 0.9, y), (x, y + s), (x + 0.9, y)], fill=int(200 * strength))
    rays = rays.filter(ImageFilter.GaussianBlur(0.6))
    img = add_light(img, color, rays)
    core = Image.new("L", img.size, 0)
    ImageDraw.Draw(core).ellipse([x - 1.4, y - 1.4, x + 1.4, y + 1.4], fill=int(255 * strength))
    return add_light(img, (255, 255, 255), core.filter(ImageFilter.GaussianBlur(0.5)))


def nebula(img, rng, blobs, box, colors, blur):
    """Soft clouds of coloured light."""
    w, h = img.size
    layer = Image.new("RGB", img.size, (0, 0, 0))
    d = ImageDraw.Draw(layer)
    x0, y0, x1, y1 = box
    for _ in range(blobs):
        cx = rng.uniform(x0, x1)
        cy = rng.uniform(y0, y1)
        rx = rng.uniform(0.08, 0.22) * w
        ry = rx * rng.uniform(0.35, 0.8)
        c = rng.choice(colors)
        k = rng.uniform(0.25, 0.6)
        d.ellipse([cx - rx, cy - ry, cx + rx, cy + ry], fill=tuple(int(v * k) for v in c))
    layer = layer.filter(ImageFilter.GaussianBlur(blur))
    return ImageChops.add(img, layer)


def magic_circle(size, color, rng, alpha=255, width=2, runes=True):
    """A ring of circles, a star polygon and tick marks on a transparent layer."""
    s = size * 3
    m = Image.new("L", (s, s), 0)
    d = ImageDraw.Draw(m)
    c = s / 2
    lw = width * 3
    for r, k in ((0.49, 1.0), (0.45, 0.6), (0.33, 0.9), (0.30, 0.5), (0.12, 0.8)):
        rr = r * s
        d.ellipse([c - rr, c - rr, c + rr, c + rr], outline=int(alpha * k), width=lw)
    # Seven-pointed star: one point for each of the seven old lights.
    pts = []
    for i in range(7):
        a = -math.pi / 2 + i * 2 * math.pi * 3 / 7
        pts.append((c + 0.33 * s * math.cos(a), c + 0.33 * s * math.sin(a)))
    d.line(pts + [pts[0]], fill=int(alpha * 0.8), width=lw, joint="curve")
    if runes:
        for i in range(72):
            a = i * 2 * math.pi / 72
            r0 = 0.45 * s
            r1 = (0.49 if i % 6 == 0 else 0.47) * s
            d.line([(c + r0 * math.cos(a), c + r0 * math.sin(a)),
                    (c + r1 * math.cos(a), c + r1 * math.sin(a))], fill=int(alpha * 0.7), width=lw)
        for i in range(12):
            a = i * 2 * math.pi / 12 + math.pi / 12
            rr = 0.39 * s
            x, y = c + rr * math.cos(a), c + rr * math.sin(a)
            q = 0.022 * s
            d.polygon([(x, y - q), (x + q, y), (x, y + q), (x - q, y)], fill=int(alpha * 0.9))
    m = m.resize((size, size), Image.LANCZOS)
    layer = Image.new("RGBA", (size, size), color + (0,))
    layer.putalpha(m)
    return layer


def light_layer(layer_rgba, blur, k=1.0):
    """Turns the alpha of a layer into additive light (mask for add_light)."""
    a = layer_rgba.getchannel("A")
    if blur:
        a = a.filter(ImageFilter.GaussianBlur(blur))
    if k != 1.0:
        a = a.point(lambda v: min(255, int(v * k)))
    return a


def rounded_mask(size, box, radius, scale=4):
    w, h = size
    m = Image.new("L", (w * scale, h * scale), 0)
    b = [v * scale for v in box]
    b[2] -= 1
    b[3] -= 1
    ImageDraw.Draw(m).rounded_rectangle(b, radius * scale, fill=255)
    return m.resize(size, Image.LANCZOS)


def ring_mask(size, box, radius, width, scale=4):
    w, h = size
    m = Image.new("L", (w * scale, h * scale), 0)
    b = [v * scale for v in box]
    b[2] -= 1
    b[3] -= 1
    ImageDraw.Draw(m).rounded_rectangle(b, radius * scale, outline=255, width=int(width * scale))
    return m.resize(size, Image.LANCZOS)


def vignette(img, strength=0.55):
    w, h = img.size
    g = Image.radial_gradient("L").resize((w, h), Image.BILINEAR)
    lut = [int(255 * (1 - strength * min(1.0, max(0.0, (v - 70) / 110.0)) ** 1.5)) for v in range(256)]
    m = g.point(lut)
    black = Image.new("RGB", (w, h), (0, 0, 0))
    return Image.composite(img, black, m)


def mountains(rng, w, h, base_y, amp, rough, color, seed_shift=0.0):
    """Jagged ridge polygon from base_y down to the bottom edge."""
    pts = [(0, h)]
    n = 48
    phase = rng.uniform(0, 10) + seed_shift
    for i in range(n + 1):
        x = w * i / n
        y = base_y - amp * (0.55 * math.sin(i * 0.35 + phase) + 0.3 * math.sin(i * 0.9 + phase * 2)
                            + rough * rng.uniform(-1, 1))
        pts.append((x, y))
    pts.append((w, h))
    return pts, color


def castle(d, x, base, scale, color):
    """Spires of the star castle drawn as a silhouette."""
    s = scale
    towers = [(-38, 30, 8), (-24, 52, 9), (-10, 86, 11), (6, 64, 10), (20, 44, 8), (33, 28, 7)]
    d.rectangle([x - 44 * s, base - 22 * s, x + 40 * s, base], fill=color)
    for dx, hgt, wd in towers:
        l = x + (dx - wd / 2) * s
        r = x + (dx + wd / 2) * s
        top = base - hgt * s
        d.rectangle([l, top, r, base], fill=color)
        d.polygon([(l - 1.5 * s, top), (r + 1.5 * s, top), ((l + r) / 2, top - wd * 1.8 * s)], fill=color)


def windows_lights(img, rng, x, base, scale, count, color):
    for _ in range(count):
        wx = x + rng.uniform(-36, 32) * scale
        wy = base - rng.uniform(6, 60) * scale
        img = glow(img, (wx, wy), 3.2 * scale + 1.5, color, 0.9, 1.6)
    return img


# ---------------------------------------------------------------- pictures

def draw_back(out):
    """Full-screen backdrop: night sky over the frost mountains (8-bit)."""
    w, h = 1024, 768
    rng = random.Random(1101)
    img = vgradient(w, h, [(0, (4, 6, 20)), (0.45, (14, 16, 52)), (0.72, (44, 30, 90)),
                           (0.86, (70, 48, 110)), (1, (22, 20, 48))])
    img = nebula(img, rng, 26, (0, 40, w, h * 0.7),
                 [(90, 60, 190), (40, 110, 200), (150, 70, 170), (60, 150, 190)], 60)
    # Aurora veil across the upper sky.
    veil = Image.new("L", (w, h), 0)
    vd = ImageDraw.Draw(veil)
    for k in range(5):
        pts = []
        for i in range(0, w + 32, 32):
            y = 170 + k * 22 + 60 * math.sin(i / 170.0 + k) + 25 * math.sin(i / 61.0 + k * 2)
            pts.append((i, y))
        vd.line(pts, fill=90 - k * 12, width=26 - k * 3)
    veil = veil.filter(ImageFilter.GaussianBlur(18))
    img = add_light(img, (70, 200, 170), veil)
    img = starfield(img, rng, 1400, (0, 0, w, h * 0.8), 1.0, FROST, 0.012)
    # A faint magic circle behind the panel, wider than the panel so it shows.
    mc = magic_circle(900, (180, 170, 255), rng, 60, 2)
    img = add_light(img, (150, 140, 255), light_layer(mc, 1.2), (62, -110))
    # Ridges, far to near.
    d = ImageDraw.Draw(img)
    for base, amp, col in ((600, 70, (36, 30, 76)), (650, 60, (24, 22, 56)), (700, 50, (12, 12, 32))):
        pts, c = mountains(rng, w, h, base, amp, 0.15, col)
        d.polygon(pts, fill=c)
    castle(d, 922, 616, 1.4, (30, 26, 66))
    img = windows_lights(img, rng, 922, 616, 1.4, 9, (255, 200, 120))
    # Moon on the left with its halo.
    img = glow(img, (104, 92), 150, (120, 130, 200), 0.55, 2.2)
    moon = Image.new("L", (w, h), 0)
    ImageDraw.Draw(moon).ellipse([64, 52, 144, 132], fill=255)
    ImageDraw.Draw(moon).ellipse([84, 42, 166, 124], fill=0)
    moon = moon.filter(ImageFilter.GaussianBlur(1.2))
    img = add_light(img, (255, 244, 210), moon)
    img = vignette(img, 0.5)
    img.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.FLOYDSTEINBERG).save(
        os.path.join(out, "BACK.png"))


def panel_body(w, h, rng):
    img = vgradient(w, h, [(0, (24, 26, 64)), (0.5, (14, 16, 42)), (1, (10, 10, 30))])
    img = starfield(img, rng, 260, (0, 0, w, h), 0.45, FROST, 0.0)
    return img


def draw_base(out):
    """The install panel: header, scene window, tip slot and gauge lane."""
    w, h = 640, 480
    rng = random.Random(1202)
    img = panel_body(w, h, rng)
    d = ImageDraw.Draw(img)
    # Header band.
    head = vgradient(w, 50, [(0, (50, 44, 110)), (1, (22, 22, 60))])
    img.paste(head, (0, 0))
    img = glow(img, (36, 28), 60, (120, 110, 220), 0.5, 2)
    d = ImageDraw.Draw(img)
    d.line([(10, 50), (w - 10, 50)], fill=GOLD_LO, width=1)
    d.line([(10, 52), (w - 10, 52)], fill=(80, 60, 40), width=1)
    # Emblem ring under the twinkling star sprite.
    mc = magic_circle(44, GOLD, rng, 230, 1, runes=False)
    img = paste_over(img, mc, (14, 6))
    img = fancy_text(img, (66, 25), TITLE_JA, font(26), GOLD_HI, GOLD, outline=(60, 36, 10),
                     outline_w=2, glow_color=(160, 120, 60), glow_r=5, glow_k=0.9, anchor="lm", bold=0)
    img = fancy_text(img, (316, 31), "SETUP", latin(13), FROST_HI, FROST, glow_color=(40, 110, 160),
                     glow_r=3, anchor="lm")
    # Scene window frame: gold bevel around a dark well.
    frame_layer = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    fl = ImageDraw.Draw(frame_layer)
    fl.rectangle([15, 51 + 0, 624, 331], outline=GOLD_LO + (255,), width=1)
    fl.rectangle([17, 53, 622, 329], outline=GOLD + (255,), width=2)
    fl.rectangle([19, 55, 620, 327], outline=(40, 28, 16, 255), width=1)
    for cx, cy in ((17, 53), (622, 53), (17, 329), (622, 329)):
        fl.polygon([(cx, cy - 6), (cx + 6, cy), (cx, cy + 6), (cx - 6, cy)], fill=GOLD_HI + (255,),
                   outline=GOLD_LO + (255,))
    img = paste_over(img, frame_layer)
    d = ImageDraw.Draw(img)
    d.rectangle([20, 56, 619, 325], fill=(6, 6, 18))
    img = fancy_text(img, (320, 190), "Now Loading...", latin(18), (90, 100, 150), anchor="mm")
    # Tip slot.
    slot = vgradient(600, 44, [(0, (8, 10, 26)), (1, (16, 18, 44))])
    img.paste(slot, (20, 334))
    d = ImageDraw.Draw(img)
    d.rectangle([19, 333, 620, 378], outline=(70, 64, 120), width=1)
    # Gauge lane: a faint ground line the walker treads on, and a caption.
    lane = Image.new("L", (w, h), 0)
    ImageDraw.Draw(lane).line([(60, 431), (580, 431)], fill=120, width=2)
    img = add_light(img, (90, 110, 200), lane.filter(ImageFilter.GaussianBlur(2)))
    img = fancy_text(img, (24, 450), "進行状況", font(14), (190, 200, 240), anchor="lm")
    img = fancy_text(img, (616, 472), "© " + BRAND, latin(10, False), (120, 120, 170), anchor="rm")
    # Outer border, then the rounded corners cut out so the backdrop shows.
    border = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    border.putalpha(ring_mask((w, h), (1, 1, w - 1, h - 1), 16, 2.2))
    gold = Image.new("RGBA", (w, h), GOLD + (0,))
    gold.putalpha(border.getchannel("A"))
    img = paste_over(img, gold)
    inner = Image.new("RGBA", (w, h), GOLD_LO + (0,))
    inner.putalpha(ring_mask((w, h), (5, 5, w - 5, h - 5), 13, 1.0).point(lambda v: v * 3 // 4))
    img = paste_over(img, inner)
    img = img.convert("RGBA")
    img.putalpha(rounded_mask((w, h), (0, 0, w, h), 17))
    img.save(os.path.join(out, "BASE.png"))


def scene_caption(img, chapter, name):
    """Chapter caption on a dark strip in the lower left of a scene."""
    w, h = img.size
    strip = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    m = Image.new("L", (w, h), 0)
    md = ImageDraw.Draw(m)
    md.rectangle([0, h - 46, 330, h - 10], fill=150)
    m = m.filter(ImageFilter.GaussianBlur(1))
    grad = hgradient(w, h, [(0, (0, 0, 0)), (1, (0, 0, 0))]).convert("RGBA")
    fade = hgradient(w, 1, [(0, (255, 255, 255)), (0.4, (255, 255, 255)), (0.56, (0, 0, 0)),
                            (1, (0, 0, 0))]).convert("L").resize((w, h))
    grad.putalpha(ImageChops.multiply(m, fade))
    img = paste_over(img, grad)
    img = fancy_text(img, (16, h - 37), chapter, latin(10), GOLD, anchor="lm")
    img = fancy_text(img, (16, h - 21), name, font(17), (250, 246, 232), outline=(20, 16, 30),
                     outline_w=1, glow_color=(120, 100, 60), glow_r=3, glow_k=0.7, anchor="lm")
    return img


def draw_scene1(out):
    """Chapter one: the hill where stars fall."""
    w, h = 600, 270
    rng = random.Random(2101)
    img = vgradient(w, h, [(0, (6, 8, 30)), (0.6, (30, 30, 90)), (1, (70, 50, 120))])
    img = nebula(img, rng, 10, (0, 0, w, h * 0.6), [(80, 80, 200), (150, 80, 180)], 30)
    img = starfield(img, rng, 500, (0, 0, w, h * 0.85), 1.0, FROST, 0.02)
    # Falling stars.
    for i in range(5):
        x = rng.uniform(120, 560)
        y = rng.uniform(10, 90)
        L = rng.uniform(60, 130)
        trail = Image.new("L", (w, h), 0)
        td = ImageDraw.Draw(trail)
        for k in range(20):
            t = k / 20
            td.line([(x - L * t * 0.9, y - L * t * 0.45), (x - L * (t + 0.05) * 0.9, y - L * (t + 0.05) * 0.45)],
                    fill=int(230 * (1 - t)), width=2)
        img = add_light(img, (200, 230, 255), trail.filter(ImageFilter.GaussianBlur(1.2)))
        img = star_flare(img, (x, y), 7, FROST_HI)
    # Hill with a lone tree and a small figure looking up.
    d = ImageDraw.Draw(img)
    hill = [(0, h)]
    for i in range(61):
        x = w * i / 60
        hill.append((x, 212 - 46 * math.exp(-((x - 390) / 170.0) ** 2) + 4 * math.sin(i * 0.7)))
    hill.append((w, h))
    d.polygon(hill, fill=(10, 10, 26))
    tree_layer = Image.new("L", (w * 2, h * 2), 0)
    td = ImageDraw.Draw(tree_layer)

    def branch(x, y, a, L, wd, depth):
        if depth == 0 or L < 3:
            return
        x2 = x + L * math.cos(a)
        y2 = y + L * math.sin(a)
        td.line([(x, y), (x2, y2)], fill=255, width=max(1, int(wd)))
        branch(x2, y2, a - 0.42 + rng.uniform(-0.15, 0.15), L * 0.74, wd * 0.7, depth - 1)
        branch(x2, y2, a + 0.38 + rng.uniform(-0.15, 0.15), L * 0.7, wd * 0.7, depth - 1)

    branch(820, 338, -math.pi / 2 - 0.08, 52, 12, 9)
    tree_layer = tree_layer.resize((w, h), Image.LANCZOS)
    img = Image.composite(Image.new("RGB", (w, h), (10, 10, 26)), img, tree_layer)
    d = ImageDraw.Draw(img)
    # The traveller: a cloak and a pointed hat.
    fx, fy = 300, 190
    d.polygon([(fx - 6, fy), (fx + 6, fy), (fx + 4, fy - 16), (fx - 4, fy - 16)], fill=(10, 10, 26))
    d.ellipse([fx - 4, fy - 22, fx + 4, fy - 14], fill=(10, 10, 26))
    d.polygon([(fx - 7, fy - 19), (fx + 7, fy - 19), (fx + 3, fy - 33)], fill=(10, 10, 26))
    img = glow(img, (390, 168), 120, (90, 70, 150), 0.35, 2)
    img = vignette(img, 0.45)
    img = scene_caption(img, "CHAPTER I", "星降る丘")
    img.save(os.path.join(out, "SCENE1.png"))


def draw_scene2(out):
    """Chapter two: spirits of the emerald forest."""
    w, h = 600, 270
    rng = random.Random(2202)
    img = vgradient(w, h, [(0, (8, 30, 36)), (0.5, (16, 60, 60)), (1, (6, 20, 22))])
    img = glow(img, (300, 60), 260, (80, 180, 150), 0.5, 1.6)
    d = ImageDraw.Draw(img)
    rows = [((26, 78, 74), 0.55, 16, 150), ((18, 56, 56), 0.8, 12, 185), ((10, 34, 36), 1.1, 9, 225),
            ((4, 14, 16), 1.5, 7, 270)]
    for i, (col, s, count, base) in enumerate(rows):
        for k in range(count):
            x = (k + rng.uniform(-0.3, 0.3)) * w / (count - 1)
            th = rng.uniform(90, 150) * s
            tw = th * 0.32
            for lvl in range(4):
                top = base - th + lvl * th * 0.2
                wd = tw * (0.45 + lvl * 0.22)
                d.polygon([(x, top), (x - wd, top + th * 0.38), (x + wd, top + th * 0.38)], fill=col)
            d.rectangle([x - 2 * s, base - th * 0.25, x + 2 * s, h], fill=col)
        d.rectangle([0, base - 2, w, h], fill=col)
        # Mist between the rows.
        mist = Image.new("L", (w, h), 0)
        ImageDraw.Draw(mist).rectangle([0, base - 26, w, base + 6], fill=70 - i * 10)
        img = add_light(img, (120, 200, 180), mist.filter(ImageFilter.GaussianBlur(12)))
        d = ImageDraw.Draw(img)
    for _ in range(22):
        x = rng.uniform(20, w - 20)
        y = rng.uniform(70, 240)
        r = rng.uniform(4, 11)
        col = rng.choice([(160, 255, 200), (200, 255, 160), (140, 230, 255)])
        img = glow(img, (x, y), r * 3.2, col, 0.7, 1.8)
        img = glow(img, (x, y), r * 0.8, (255, 255, 240), 1.0, 1.2)
    img = vignette(img, 0.5)
    img = scene_caption(img, "CHAPTER II", "翠の森の精霊")
    img.save(os.path.join(out, "SCENE2.png"))


def draw_scene3(out):
    """Chapter three: the crystal cavern (kept to a palette of 256 colours)."""
    w, h = 600, 270
    rng = random.Random(2303)
    img = vgradient(w, h, [(0, (20, 8, 36)), (0.5, (40, 16, 70)), (1, (14, 6, 26))])
    img = glow(img, (300, 150), 240, (110, 60, 200), 0.6, 1.5)
    d = ImageDraw.Draw(img)
    # Cave walls.
    d.polygon([(0, 0), (w, 0), (w, 40), (500, 60), (420, 30), (300, 55), (180, 26), (80, 58), (0, 38)],
              fill=(10, 4, 18))
    d.polygon([(0, h), (0, 210), (90, 190), (170, 220), (260, 200), (350, 226), (460, 196), (540, 214),
               (w, 190), (w, h)], fill=(10, 4, 18))
    crystals = []
    for _ in range(26):
        x = rng.uniform(10, w - 10)
        up = rng.random() < 0.7
        base = rng.uniform(200, 230) if up else rng.uniform(30, 55)
        hgt = rng.uniform(30, 110) * (1 if up else 0.6)
        wd = hgt * rng.uniform(0.16, 0.26)
        lean = rng.uniform(-0.3, 0.3) * hgt
        crystals.append((x, base, hgt, wd, lean, up))
    crystals.sort(key=lambda c: c[2])
    for x, base, hgt, wd, lean, up in crystals:
        sgn = -1 if up else 1
        tip = (x + lean, base + sgn * hgt)
        shoulder = base + sgn * hgt * 0.78
        left = [(x - wd, base), (x - wd + lean * 0.78, shoulder), tip, (x + lean * 0.78, shoulder), (x, base)]
        right = [(x, base), (x + lean * 0.78, shoulder), tip, (x + wd + lean * 0.78, shoulder), (x + wd, base)]
        hue = rng.choice([((120, 200, 255), (60, 110, 200)), ((200, 150, 255), (110, 60, 190)),
                          ((140, 255, 230), (50, 150, 150))])
        d.polygon(left, fill=hue[0])
        d.polygon(right, fill=hue[1])
        d.line([(x + lean * 0.4, base + sgn * hgt * 0.35), tip], fill=(240, 250, 255), width=1)
    glowmask = Image.new("L", (w, h), 0)
    gd = ImageDraw.Draw(glowmask)
    for x, base, hgt, wd, lean, up in crystals:
        sgn = -1 if up else 1
        gd.ellipse([x + lean - 6, base + sgn * hgt - 6, x + lean + 6, base + sgn * hgt + 6], fill=200)
    img = add_light(img, (120, 200, 255), glowmask.filter(ImageFilter.GaussianBlur(9)))
    # Underground pool reflecting the light.
    pool = Image.new("L", (w, h), 0)
    ImageDraw.Draw(pool).ellipse([150, 228, 470, 262], fill=140)
    img = add_light(img, (80, 160, 230), pool.filter(ImageFilter.GaussianBlur(6)))
    img = starfield(img, rng, 120, (0, 60, w, 220), 0.8, FROST, 0.05)
    img = vignette(img, 0.5)
    img = scene_caption(img, "CHAPTER III", "水晶の洞窟")
    img.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.FLOYDSTEINBERG).save(
        os.path.join(out, "SCENE3.png"))


def draw_scene4(out):
    """Chapter four: the sky city Arcadia at dawn."""
    w, h = 600, 270
    rng = random.Random(2404)
    img = vgradient(w, h, [(0, (30, 30, 90)), (0.35, (120, 70, 140)), (0.65, (240, 140, 120)),
                           (1, (255, 210, 150))])
    img = glow(img, (300, 250), 200, (255, 220, 160), 0.8, 1.4)
    img = starfield(img, rng, 140, (0, 0, w, 70), 0.6, FROST, 0.02)
    # Clouds below the island.
    clouds = Image.new("L", (w, h), 0)
    cd = ImageDraw.Draw(clouds)
    for _ in range(40):
        x = rng.uniform(-40, w + 40)
        y = rng.uniform(200, 270)
        r = rng.uniform(20, 60)
        cd.ellipse([x - r, y - r * 0.5, x + r, y + r * 0.5], fill=int(rng.uniform(120, 220)))
    clouds = clouds.filter(ImageFilter.GaussianBlur(8))
    img = Image.composite(Image.new("RGB", (w, h), (255, 236, 226)), img, clouds)
    d = ImageDraw.Draw(img)
    # The floating island: a rock cone under a cluster of towers.
    rock = [(190, 150), (410, 150), (380, 175), (340, 205), (305, 240), (290, 232), (255, 200), (215, 172)]
    d.polygon(rock, fill=(70, 46, 70))
    d.polygon([(190, 150), (410, 150), (395, 160), (205, 160)], fill=(110, 80, 100))
    castle(d, 300, 152, 1.2, (60, 40, 80))
    img = windows_lights(img, rng, 300, 152, 1.2, 14, (255, 220, 150))
    # Far islands.
    d = ImageDraw.Draw(img)
    for x, y, s in ((90, 110, 0.35), (520, 96, 0.28), (470, 170, 0.2)):
        d.polygon([(x - 60 * s, y), (x + 60 * s, y), (x, y + 70 * s)], fill=(150, 100, 130))
        castle(d, x, y, s * 0.6, (150, 100, 130))
    # A sky ship.
    sx, sy = 480, 60
    d.polygon([(sx - 30, sy), (sx + 30, sy), (sx + 20, sy + 8), (sx - 24, sy + 8)], fill=(50, 36, 60))
    d.polygon([(sx - 4, sy - 26), (sx - 4, sy), (sx + 22, sy - 2)], fill=(240, 220, 210))
    d.line([(sx - 4, sy - 30), (sx - 4, sy)], fill=(50, 36, 60), width=2)
    img = vignette(img, 0.35)
    img = scene_caption(img, "CHAPTER IV", "天空都市アルカディア")
    img.save(os.path.join(out, "SCENE4.png"))


def draw_gauge(out):
    """The gauge frame (written once) and the glowing bar revealed over it."""
    fw, fh = 440, 36
    frame = Image.new("RGBA", (fw, fh), (0, 0, 0, 0))
    # Soft outer glow.
    halo = Image.new("L", (fw, fh), 0)
    ImageDraw.Draw(halo).rounded_rectangle([6, 4, fw - 7, fh - 5], 12, fill=150)
    halo = halo.filter(ImageFilter.GaussianBlur(3))
    hl = Image.new("RGBA", (fw, fh), (90, 140, 255, 0))
    hl.putalpha(halo)
    frame.alpha_composite(hl)
    body = Image.new("RGBA", (fw, fh), (0, 0, 0, 0))
    body_rgb = vgradient(fw, fh, [(0, (110, 80, 40)), (0.5, (250, 220, 150)), (1, (110, 80, 40))])
    body = body_rgb.convert("RGBA")
    body.putalpha(rounded_mask((fw, fh), (8, 5, fw - 8, fh - 5), 12))
    frame.alpha_composite(body)
    # The trough the bar fills: exactly 416 x 20 at (12, 8).
    trough = vgradient(416, 20, [(0, (2, 4, 12)), (1, (16, 20, 44))]).convert("RGBA")
    trough.putalpha(rounded_mask((416, 20), (0, 0, 416, 20), 8))
    frame.alpha_composite(trough, (12, 8))
    # Diamond caps at both ends.
    caps = Image.new("RGBA", (fw * 4, fh * 4), (0, 0, 0, 0))
    cd = ImageDraw.Draw(caps)
    for cx in (6 * 4, (fw - 6) * 4):
        cy = fh * 2
        cd.polygon([(cx, cy - 44), (cx + 22, cy), (cx, cy + 44), (cx - 22, cy)], fill=GOLD_HI + (255,),
                   outline=GOLD_LO + (255,), width=6)
        cd.ellipse([cx - 8, cy - 8, cx + 8, cy + 8], fill=(120, 200, 255, 255))
    frame.alpha_composite(caps.resize((fw, fh), Image.LANCZOS))
    frame.save(os.path.join(out, "FRAME.png"))

    bw, bh = 416, 20
    bar = vgradient(bw, bh, [(0, (210, 250, 255)), (0.35, (90, 200, 255)), (0.7, (40, 110, 230)),
                             (1, (70, 160, 255))])
    # Running light along the bar and a highlight on its upper edge.
    streak = hgradient(bw, bh, [(0, (30, 10, 60)), (0.5, (10, 40, 60)), (1, (60, 80, 90))])
    bar = ImageChops.add(bar, streak)
    hi = Image.new("L", (bw, bh), 0)
    ImageDraw.Draw(hi).rounded_rectangle([4, 2, bw - 5, 6], 2, fill=150)
    bar = add_light(bar, (255, 255, 255), hi.filter(ImageFilter.GaussianBlur(1)))
    rng = random.Random(3101)
    for _ in range(40):
        x = rng.uniform(6, bw - 6)
        y = rng.uniform(5, bh - 5)
        bar = glow(bar, (x, y), rng.uniform(1.5, 3.2), (255, 255, 255), 0.8, 1.4)
    bar = bar.convert("RGBA")
    bar.putalpha(rounded_mask((bw, bh), (0, 0, bw, bh), 8))
    bar.save(os.path.join(out, "BAR.png"))


def tip_box(text, name, out, accent=GOLD):
    w, h = 600, 44
    body = hgradient(w, h, [(0, (40, 36, 90)), (0.6, (20, 22, 56)), (1, (14, 14, 40))]).convert("RGBA")
    a = rounded_mask((w, h), (1, 1, w - 1, h - 1), 8).point(lambda v: v * 225 // 255)
    body.putalpha(a)
    img = body
    edge = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ed = ImageDraw.Draw(edge)
    ed.rounded_rectangle([1, 1, w - 2, h - 2], 8, outline=(120, 110, 190, 200), width=1)
    ed.rectangle([8, 8, 11, h - 9], fill=accent + (255,))
    img.alpha_composite(edge)
    img = fancy_text(img, (22, h // 2), "TIPS", latin(12), GOLD_HI, GOLD, anchor="lm")
    img = fancy_text(img, (72, h // 2 + 1), text, font(16), (246, 244, 255), outline=(10, 10, 30),
                     outline_w=1, anchor="lm")
    img.save(os.path.join(out, name))


def draw_tips(out):
    tip_box("セーブはメニューからいつでも行えます。星の灯る場所では全回復も。", "TIP1.png", out)
    tip_box("星の欠片を七つ集めると、新しい星霜魔法を覚えます。", "TIP2.png", out, FROST)
    tip_box("ウィンドウ表示で遊ぶときは、スタートメニューの専用アイコンから。", "TIP3.png", out)


def badge(text, name, out, c1, c2, textcol, glowcol):
    w, h = 168, 28
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    halo = Image.new("L", (w, h), 0)
    ImageDraw.Draw(halo).rounded_rectangle([3, 3, w - 4, h - 4], 11, fill=170)
    hl = Image.new("RGBA", (w, h), glowcol + (0,))
    hl.putalpha(halo.filter(ImageFilter.GaussianBlur(2.5)))
    img.alpha_composite(hl)
    pill = vgradient(w, h, [(0, c1), (1, c2)]).convert("RGBA")
    pill.putalpha(rounded_mask((w, h), (4, 4, w - 4, h - 4), 10))
    img.alpha_composite(pill)
    ring = Image.new("RGBA", (w, h), GOLD + (0,))
    ring.putalpha(ring_mask((w, h), (4, 4, w - 4, h - 4), 10, 1.2))
    img.alpha_composite(ring)
    img = fancy_text(img, (w // 2, h // 2), text, font(14), textcol, outline=(10, 10, 30),
                     outline_w=1, anchor="mm")
    img.save(os.path.join(out, name))


def draw_badges(out):
    badge("インストール中…", "NOWINST.png", out, (60, 80, 170), (24, 30, 90), (230, 240, 255), (80, 140, 255))
    badge("インストール完了", "BADGEOK.png", out, (200, 160, 70), (120, 80, 30), (255, 252, 236),
          (255, 200, 100))


def draw_done(out):
    """Replaces the tips once copying is over; flat colours, 8-bit."""
    w, h = 600, 44
    img = hgradient(w, h, [(0, (70, 50, 20)), (0.5, (40, 30, 16)), (1, (70, 50, 20))])
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, h - 1], outline=GOLD, width=2)
    d.rectangle([3, 3, w - 4, h - 4], outline=GOLD_LO, width=1)
    for cx in (24, w - 25):
        d.polygon([(cx, 12), (cx + 10, 22), (cx, 32), (cx - 10, 22)], fill=GOLD_HI, outline=GOLD_LO)
    img = fancy_text(img, (w // 2, h // 2 + 1), "インストールが完了しました。 何かキーを押すと終了します。",
                     font(17), (255, 248, 220), outline=(30, 20, 6), outline_w=1, anchor="mm")
    img.quantize(64, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE).save(
        os.path.join(out, "DONE.png"))


def supersampled(size, scale, painter):
    """Paints an RGBA picture at a larger scale and shrinks it for soft edges."""
    w, h = size
    big = Image.new("RGBA", (w * scale, h * scale), (0, 0, 0, 0))
    painter(big, scale)
    return big.resize((w, h), Image.LANCZOS)


def draw_walker(out):
    """The little star mage walking along the gauge: 8 cells of 40 x 44.

    The renderer steps from the bottom cell upward, so cell 0 of the walk
    cycle is the bottom band of the sheet."""
    cw, ch, n = 40, 44, 8
    cells = []
    for f in range(n):
        ph = f / n * 2 * math.pi

        def paint(img, s, ph=ph, f=f):
            d = ImageDraw.Draw(img)
            bob = abs(math.sin(ph)) * 1.5
            cx = 19
            feet = 42
            # Boots swing opposite each other.
            for side, off in ((-1, math.sin(ph)), (1, -math.sin(ph))):
                fx = cx + side * 2 + off * 5
                lift = max(0.0, math.cos(ph) * side) * 2.0
                d.line([((cx + side * 2) * s, (feet - 10 - bob) * s), (fx * s, (feet - 2 - lift) * s)],
                       fill=(40, 30, 60, 255), width=int(3 * s))
                d.ellipse([(fx - 3) * s, (feet - 4 - lift) * s, (fx + 3.5) * s, (feet - lift) * s],
                          fill=(70, 44, 30, 255))
            body_top = 22 - bob
            # Cloak.
            d.polygon([(cx * s, body_top * s), ((cx - 8) * s, (feet - 8 - bob) * s),
                       ((cx + 9) * s, (feet - 9 - bob) * s)], fill=(60, 50, 140, 255))
            d.polygon([(cx * s, body_top * s), ((cx - 8) * s, (feet - 8 - bob) * s),
                       ((cx - 1) * s, (feet - 7 - bob) * s)], fill=(40, 34, 100, 255))
            d.line([((cx - 7) * s, (feet - 8.5 - bob) * s), ((cx + 8.5) * s, (feet - 9.5 - bob) * s)],
                   fill=GOLD + (255,), width=int(1.4 * s))
            # Head and face.
            hx, hy = cx + 1, 17 - bob
            d.ellipse([(hx - 6) * s, (hy - 6) * s, (hx + 6) * s, (hy + 6) * s], fill=(255, 224, 196, 255))
            d.ellipse([(hx + 1) * s, (hy - 1) * s, (hx + 2.6) * s, (hy + 1.6) * s], fill=(40, 40, 80, 255))
            d.ellipse([(hx + 4) * s, (hy - 1) * s, (hx + 5.4) * s, (hy + 1.6) * s], fill=(40, 40, 80, 255))
            d.ellipse([(hx + 2) * s, (hy + 3) * s, (hx + 4) * s, (hy + 4.2) * s], fill=(240, 150, 150, 255))
            # Hair below the hat.
            d.pieslice([(hx - 7) * s, (hy - 7) * s, (hx + 6) * s, (hy + 5) * s], 160, 260,
                       fill=(250, 220, 140, 255))
            # Pointed hat with a gold band, its tip swaying.
            tip = (hx - 6 + math.sin(ph) * 1.2, hy - 14.5)
            d.polygon([((hx - 9) * s, (hy - 4) * s), ((hx + 9) * s, (hy - 4) * s),
                       (tip[0] * s, tip[1] * s)], fill=(44, 40, 120, 255))
            d.ellipse([(hx - 11) * s, (hy - 6) * s, (hx + 11) * s, (hy - 2) * s], fill=(36, 32, 100, 255))
            d.line([((hx - 8) * s, (hy - 5) * s), ((hx + 8) * s, (hy - 5) * s)], fill=GOLD + (255,),
                   width=int(1.6 * s))
            # Staff with a star on top, held forward.
            sx0, sy0 = cx + 9, 40 - bob
            sx1, sy1 = cx + 13, 10 - bob
            d.line([(sx0 * s, sy0 * s), (sx1 * s, sy1 * s)], fill=(140, 90, 50, 255), width=int(2 * s))
            d.ellipse([(cx + 7) * s, (27 - bob) * s, (cx + 12) * s, (31 - bob) * s], fill=(255, 224, 196, 255))
            r = 4.2
            pts = []
            for i in range(10):
                a = -math.pi / 2 + i * math.pi / 5
                rr = r if i % 2 == 0 else r * 0.45
                pts.append(((sx1 + rr * math.cos(a)) * s, (sy1 - 2 + rr * math.sin(a)) * s))
            d.polygon(pts, fill=GOLD_HI + (255,))

        cell = supersampled((cw, ch), 4, paint)
        # Pulsing light around the star tip.
        k = 0.55 + 0.45 * math.sin(ph * 2)
        halo = radial_mask(18, 1.8, k)
        glow_layer = Image.new("RGBA", (cw, ch), (255, 230, 150, 0))
        a = Image.new("L", (cw, ch), 0)
        bob = abs(math.sin(ph)) * 1.5
        a.paste(halo, (int(32 - 9), int(8 - bob - 9)))
        glow_layer.putalpha(a)
        out_cell = Image.new("RGBA", (cw, ch), (0, 0, 0, 0))
        out_cell.alpha_composite(glow_layer)
        out_cell.alpha_composite(cell)
        cells.append(out_cell)
    sheet = Image.new("RGBA", (cw, ch * n), (0, 0, 0, 0))
    for f, cell in enumerate(cells):
        sheet.paste(cell, (0, (n - 1 - f) * ch))
    sheet.save(os.path.join(out, "WALKER.png"))


def draw_fairy(out):
    """A frost fairy flapping across the sky: 6 cells of 56 x 40, top first."""
    cw, ch, n = 56, 40, 6
    sheet = Image.new("RGBA", (cw, ch * n), (0, 0, 0, 0))
    rng = random.Random(4101)
    for f in range(n):
        flap_phase = f / n * 2 * math.pi
        flap = math.cos(flap_phase)

        def paint(img, s, flap_phase=flap_phase):
            cx, cy = 36, 20
            # Two pairs of wings hinged at the shoulder, swung by the flap.
            for k, (length, width, col, lag) in enumerate(((17, 7, (180, 235, 255, 170), 0.0),
                                                           (12, 6, (225, 200, 255, 150), 0.35))):
                ang = 35 + 55 * math.cos(flap_phase + lag)
                L, W = length * s, width * s
                wing = Image.new("RGBA", (int(2 * L + 4), int(2 * L + 4)), (0, 0, 0, 0))
                c = wing.size[0] / 2
                ImageDraw.Draw(wing).ellipse([c - L, c - W / 2, c, c + W / 2], fill=col)
                ImageDraw.Draw(wing).line([(c - L * 0.9, c), (c, c)], fill=(255, 255, 255, 120),
                                          width=max(1, int(s * 0.6)))
                wing = wing.rotate(-ang, resample=Image.BICUBIC, center=(c, c))
                img.alpha_composite(wing, (int((cx - 1 - k * 2) * s - c), int((cy - 2) * s - c)))
            d = ImageDraw.Draw(img)
            # Body: a small glowing figure with a trailing dress.
            d.polygon([(cx * s, (cy - 3) * s), ((cx - 7) * s, (cy + 7) * s), ((cx + 3) * s, (cy + 6) * s)],
                      fill=(200, 240, 255, 255))
            d.ellipse([(cx - 1) * s, (cy - 10) * s, (cx + 7) * s, (cy - 2) * s], fill=(255, 236, 220, 255))
            d.pieslice([(cx - 2) * s, (cy - 11) * s, (cx + 7.5) * s, (cy - 2) * s], 180, 330,
                       fill=(170, 230, 255, 255))
            d.ellipse([(cx + 4) * s, (cy - 7) * s, (cx + 5.4) * s, (cy - 5.4) * s], fill=(40, 60, 120, 255))

        body = supersampled((cw, ch), 4, paint)
        cell = Image.new("RGBA", (cw, ch), (0, 0, 0, 0))
        # Light trail behind the fairy with a few sparks.
        trail = Image.new("L", (cw, ch), 0)
        td = ImageDraw.Draw(trail)
        for i in range(24):
            t = i / 24
            td.ellipse([30 - 30 * t - 3 * (1 - t), 20 - 3 * (1 - t) + math.sin(t * 6 + f) * 2,
                        30 - 30 * t + 3 * (1 - t), 20 + 3 * (1 - t) + math.sin(t * 6 + f) * 2],
                       fill=int(150 * (1 - t)))
        for _ in range(5):
            x = rng.uniform(2, 28)
            y = rng.uniform(12, 28)
            td.ellipse([x - 1, y - 1, x + 1, y + 1], fill=255)
        trail = trail.filter(ImageFilter.GaussianBlur(1.4))
        tl = Image.new("RGBA", (cw, ch), (170, 230, 255, 0))
        tl.putalpha(trail)
        cell.alpha_composite(tl)
        halo = Image.new("RGBA", (cw, ch), (200, 240, 255, 0))
        hm = Image.new("L", (cw, ch), 0)
        hm.paste(radial_mask(30, 2.0, 0.8), (36 - 15, 16 - 15))
        halo.putalpha(hm)
        cell.alpha_composite(halo)
        cell.alpha_composite(body)
        sheet.paste(cell, (0, f * ch))
    sheet.save(os.path.join(out, "FAIRY.png"))


def draw_sparkle(out):
    """The emblem's twinkle: 6 cells of 40 x 40, the resting star on top."""
    cw, ch = 40, 40
    sizes = [0.25, 0.55, 0.95, 1.2, 0.8, 0.4]
    sheet = Image.new("RGBA", (cw, ch * len(sizes)), (0, 0, 0, 0))
    for f, k in enumerate(sizes):
        cell = Image.new("RGBA", (cw, ch), (0, 0, 0, 0))
        halo = Image.new("RGBA", (cw, ch), (255, 230, 160, 0))
        hm = Image.new("L", (cw, ch), 0)
        dia = int(12 + 26 * min(1.0, k))
        hm.paste(radial_mask(dia, 2.0, min(1.0, 0.35 + 0.5 * k)), (20 - dia // 2, 20 - dia // 2))
        halo.putalpha(hm)
        cell.alpha_composite(halo)

        def paint(img, s, k=k):
            d = ImageDraw.Draw(img)
            c = 20 * s
            L = (4 + 15 * k) * s
            t = (1.0 + 1.4 * k) * s
            d.polygon([(c - L, c), (c, c - t), (c + L, c), (c, c + t)], fill=(255, 250, 230, 255))
            d.polygon([(c, c - L), (c - t, c), (c, c + L), (c + t, c)], fill=(255, 250, 230, 255))
            L2 = L * 0.45
            d.polygon([(c - L2, c - L2), (c + t * 0.3, c - t * 0.3), (c + L2, c + L2), (c - t * 0.3, c + t * 0.3)],
                      fill=(255, 240, 200, 200))
            d.polygon([(c + L2, c - L2), (c + t * 0.3, c + t * 0.3), (c - L2, c + L2), (c - t * 0.3, c - t * 0.3)],
                      fill=(255, 240, 200, 200))
            r = (1.5 + 1.5 * k) * s
            d.ellipse([c - r, c - r, c + r, c + r], fill=(255, 255, 255, 255))

        cell.alpha_composite(supersampled((cw, ch), 4, paint))
        sheet.paste(cell, (0, f * ch))
    sheet.save(os.path.join(out, "SPARKLE.png"))


def draw_finish(out):
    """The closing plate: completion title and the prompt to press a key."""
    w, h = 400, 150
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    shadow = Image.new("L", (w, h), 0)
    ImageDraw.Draw(shadow).rounded_rectangle([10, 12, w - 8, h - 6], 16, fill=170)
    sh = Image.new("RGBA", (w, h), (0, 0, 10, 0))
    sh.putalpha(shadow.filter(ImageFilter.GaussianBlur(5)))
    img.alpha_composite(sh)
    plate = vgradient(w, h, [(0, (46, 40, 100)), (0.55, (18, 18, 52)), (1, (10, 10, 34))])
    plate = starfield(plate, random.Random(5101), 90, (0, 0, w, h), 0.6, FROST, 0.03)
    plate = glow(plate, (w // 2, 50), 150, (120, 90, 60), 0.5, 1.6)
    plate = plate.convert("RGBA")
    plate.putalpha(rounded_mask((w, h), (6, 6, w - 12, h - 12), 14).point(lambda v: v * 238 // 255))
    img.alpha_composite(plate)
    ring = Image.new("RGBA", (w, h), GOLD + (0,))
    ring.putalpha(ring_mask((w, h), (6, 6, w - 12, h - 12), 14, 2.0))
    img.alpha_composite(ring)
    ring2 = Image.new("RGBA", (w, h), GOLD_LO + (0,))
    ring2.putalpha(ring_mask((w, h), (11, 11, w - 17, h - 17), 10, 1.0))
    img.alpha_composite(ring2)
    cx = (w - 6) // 2
    img = fancy_text(img, (cx, 56), "インストール完了", font(34), GOLD_HI, GOLD, outline=(60, 36, 10),
                     outline_w=2, glow_color=(200, 150, 60), glow_r=7, glow_k=1.0, anchor="mm")
    line = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(line).line([(cx - 140, 84), (cx + 140, 84)], fill=GOLD_LO + (255,), width=1)
    img.alpha_composite(line)
    img = fancy_text(img, (cx, 104), "何かキーを押してください", font(17), (236, 240, 255),
                     outline=(10, 10, 30), outline_w=1, anchor="mm")
    img = fancy_text(img, (cx, 124), "PRESS ANY KEY", latin(10), FROST, anchor="mm")
    img.save(os.path.join(out, "FINISH.png"))


def draw_title(out):
    """Key art for the launcher: 320 x 320, the title over the sky city."""
    w, h = 320, 320
    rng = random.Random(6101)
    img = vgradient(w, h, [(0, (4, 6, 24)), (0.5, (24, 22, 70)), (0.8, (80, 50, 110)), (1, (30, 20, 50))])
    img = nebula(img, rng, 10, (0, 0, w, 200), [(90, 70, 200), (60, 130, 210), (160, 80, 170)], 22)
    img = starfield(img, rng, 420, (0, 0, w, 240), 1.0, FROST, 0.02)
    # Moon and its halo, top right.
    img = glow(img, (238, 78), 110, (140, 150, 230), 0.6, 2)
    moon = Image.new("L", (w * 4, h * 4), 0)
    md = ImageDraw.Draw(moon)
    md.ellipse([208 * 4, 48 * 4, 268 * 4, 108 * 4], fill=255)
    moon = moon.resize((w, h), Image.LANCZOS)
    img = add_light(img, (250, 244, 226), moon)
    crater = Image.new("L", (w, h), 0)
    cd = ImageDraw.Draw(crater)
    for x, y, r in ((228, 70, 6), (246, 88, 8), (252, 64, 4), (232, 94, 4)):
        cd.ellipse([x - r, y - r, x + r, y + r], fill=40)
    img = ImageChops.subtract(img, Image.merge("RGB", [crater.filter(ImageFilter.GaussianBlur(1.5))] * 3))
    # Magic circle behind the island.
    mc = magic_circle(250, (200, 190, 255), rng, 150, 1)
    img = add_light(img, (150, 170, 255), light_layer(mc, 2.5, 0.9), (35, 20))
    img = add_light(img, (230, 230, 255), light_layer(mc, 0, 0.8), (35, 20))
    # Floating island with the star castle.
    d = ImageDraw.Draw(img)
    rock = [(92, 152), (228, 152), (214, 168), (190, 190), (168, 222), (158, 214), (138, 186), (106, 166)]
    d.polygon(rock, fill=(36, 24, 50))
    d.polygon([(92, 152), (228, 152), (220, 160), (100, 160)], fill=(70, 50, 90))
    castle(d, 160, 153, 0.95, (30, 22, 48))
    img = windows_lights(img, rng, 160, 153, 0.95, 12, (255, 210, 140))
    # Crystal shards orbiting the island.
    d = ImageDraw.Draw(img)
    for x, y, s in ((70, 120, 8), (250, 170, 7), (60, 196, 5), (262, 118, 5)):
        d.polygon([(x, y - s * 1.8), (x + s * 0.6, y), (x, y + s * 1.8), (x - s * 0.6, y)], fill=(150, 220, 255))
        img = glow(img, (x, y), s * 3, (120, 200, 255), 0.7, 1.8)
        d = ImageDraw.Draw(img)
    # Clouds along the bottom, lit from below.
    clouds = Image.new("L", (w, h), 0)
    cd = ImageDraw.Draw(clouds)
    for _ in range(34):
        x = rng.uniform(-20, w + 20)
        y = rng.uniform(228, 300)
        r = rng.uniform(14, 40)
        cd.ellipse([x - r, y - r * 0.45, x + r, y + r * 0.45], fill=int(rng.uniform(90, 180)))
    clouds = clouds.filter(ImageFilter.GaussianBlur(6))
    img = Image.composite(Image.new("RGB", (w, h), (120, 100, 160)), img, clouds)
    # Dark band under the title text.
    band = Image.new("L", (w, h), 0)
    ImageDraw.Draw(band).rectangle([0, 236, w, h], fill=190)
    band = band.filter(ImageFilter.GaussianBlur(14))
    img = Image.composite(Image.new("RGB", (w, h), (6, 6, 20)), img, band)
    img = fancy_text(img, (w // 2, 262), TITLE_JA, font(34), GOLD_HI, GOLD_LO, outline=(40, 24, 8),
                     outline_w=2, glow_color=(230, 170, 70), glow_r=8, glow_k=1.1, anchor="mm", bold=1,
                     shadow=(2, (0, 0, 0), 2))
    img = fancy_text(img, (w // 2, 292), TITLE_EN, latin(11), FROST_HI, FROST, glow_color=(40, 120, 190),
                     glow_r=4, anchor="mm")
    img = star_flare(img, (w // 2 + 118, 246), 9, GOLD_HI)
    img = fancy_text(img, (8, 12), BRAND, latin(10), (200, 200, 240), anchor="lm")
    img = fancy_text(img, (w - 8, h - 10), "DVD-ROM 2枚組", font(10), (170, 170, 210), anchor="rm")
    img = vignette(img, 0.35)
    img.save(os.path.join(out, "TITLE.png"))


def draw_logo(out):
    """Banner of the options dialog: 400 x 98, opaque."""
    w, h = 400, 98
    rng = random.Random(7101)
    img = hgradient(w, h, [(0, (40, 30, 90)), (0.5, (18, 18, 54)), (1, (8, 10, 30))])
    img = starfield(img, rng, 160, (0, 0, w, h), 0.8, FROST, 0.03)
    img = glow(img, (50, 49), 70, (120, 100, 220), 0.6, 1.8)
    mc = magic_circle(84, GOLD, rng, 230, 1)
    img = add_light(img, (200, 150, 70), light_layer(mc, 2.5, 0.8), (8, 7))
    img = paste_over(img, mc, (8, 7))
    img = star_flare(img, (50, 49), 10, GOLD_HI)
    img = fancy_text(img, (104, 40), TITLE_JA, font(34), GOLD_HI, GOLD_LO, outline=(40, 24, 8),
                     outline_w=2, glow_color=(220, 160, 60), glow_r=6, glow_k=0.9, anchor="lm", bold=1)
    img = fancy_text(img, (106, 74), TITLE_EN + "  SETUP", latin(11), FROST_HI, FROST,
                     glow_color=(40, 120, 190), glow_r=3, anchor="lm")
    d = ImageDraw.Draw(img)
    d.line([(104, 62), (392, 62)], fill=GOLD_LO, width=1)
    d.rectangle([0, 0, w - 1, h - 1], outline=GOLD_LO, width=1)
    d.rectangle([2, 2, w - 3, h - 3], outline=(70, 56, 120), width=1)
    img.save(os.path.join(out, "LOGO.png"))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: art.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for step in (draw_title, draw_logo, draw_back, draw_base, draw_scene1, draw_scene2, draw_scene3,
                 draw_scene4, draw_gauge, draw_tips, draw_badges, draw_done, draw_walker, draw_fairy,
                 draw_sparkle, draw_finish):
        step(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
