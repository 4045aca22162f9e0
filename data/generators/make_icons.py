#!/usr/bin/env python3
"""Draws Cantorel's desktop icon: a note beside lines of a lyric, the current
line lit. Writes the scalable SVG and the hicolor PNGs (ImageMagick renders
the same shapes, so the sizes match the SVG).

Run from the source tree: python3 data/generators/make_icons.py
"""
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "hicolor")
SIZES = [16, 32, 48, 64, 128, 256]

BACK = "#23478a"
EDGE = "#152d60"
NOTE = "#ffffff"
LINE = "#aabee6"
LIT = "#f5a623"

# Shapes on a 256 x 256 grid.
SQUARE = (8, 8, 248, 248, 48)             # x0, y0, x1, y1, corner radius
HEAD = (80, 176, 30, 22, -20)             # centre x, y, radii x, y, turn
STEM = (98, 52, 112, 178)                 # x0, y0, x1, y1
FLAG = [(112, 52), (138, 72), (138, 100), (112, 82)]
BARS = [(152, 84, LINE), (152, 124, LIT), (152, 164, LINE)]  # x0, y centre, colour
BAR_END, BAR_HIGH = 224, 18


def svg():
    x0, y0, x1, y1, r = SQUARE
    cx, cy, rx, ry, turn = HEAD
    sx0, sy0, sx1, sy1 = STEM
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
        f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{r}" fill="{BACK}"'
        f' stroke="{EDGE}" stroke-width="4"/>',
        f'  <ellipse cx="{cx}" cy="{cy}" rx="{rx}" ry="{ry}" transform="rotate({turn} {cx} {cy})"'
        f' fill="{NOTE}"/>',
        f'  <rect x="{sx0}" y="{sy0}" width="{sx1 - sx0}" height="{sy1 - sy0}" fill="{NOTE}"/>',
        '  <polygon points="' + " ".join(f"{x},{y}" for x, y in FLAG) + f'" fill="{NOTE}"/>',
    ]
    for bx, by, colour in BARS:
        h = BAR_HIGH
        parts.append(f'  <rect x="{bx}" y="{by - h // 2}" width="{BAR_END - bx}" height="{h}"'
                     f' rx="{h // 2}" fill="{colour}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def mvg(size):
    s = size / 256.0
    x0, y0, x1, y1, r = SQUARE
    cx, cy, rx, ry, turn = HEAD
    sx0, sy0, sx1, sy1 = STEM
    lines = [
        f"viewbox 0 0 {size} {size}",
        f"affine {s},0,0,{s},0,0",
        f"fill '{BACK}' stroke '{EDGE}' stroke-width 4",
        f"roundrectangle {x0},{y0} {x1},{y1} {r},{r}",
        "stroke none",
        f"fill '{NOTE}'",
        f"rectangle {sx0},{sy0} {sx1},{sy1}",
        "polygon " + " ".join(f"{x},{y}" for x, y in FLAG),
        "push graphic-context",
        f"translate {cx},{cy}",
        f"rotate {turn}",
        f"ellipse 0,0 {rx},{ry} 0,360",
        "pop graphic-context",
    ]
    for bx, by, colour in BARS:
        h = BAR_HIGH
        lines.append(f"fill '{colour}'")
        lines.append(f"roundrectangle {bx},{by - h // 2} {BAR_END},{by + h // 2} {h // 2},{h // 2}")
    return "\n".join(lines) + "\n"


def main():
    scalable = os.path.join(OUT, "scalable", "apps")
    os.makedirs(scalable, exist_ok=True)
    with open(os.path.join(scalable, "cantorel.svg"), "w") as f:
        f.write(svg())
    with tempfile.TemporaryDirectory() as tmp:
        for size in SIZES:
            folder = os.path.join(OUT, f"{size}x{size}", "apps")
            os.makedirs(folder, exist_ok=True)
            script = os.path.join(tmp, f"icon{size}.mvg")
            with open(script, "w") as f:
                f.write(mvg(size))
            subprocess.run(["convert", "-size", f"{size}x{size}", "-background", "none",
                            f"mvg:{script}", "-strip", "-define", "png:exclude-chunks=date,time",
                            f"PNG32:{os.path.join(folder, 'cantorel.png')}"], check=True)


if __name__ == "__main__":
    main()
