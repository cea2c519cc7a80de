#!/usr/bin/python3
"""Renders the hicolor PNG icons from assets/dawnbell.svg with ImageMagick, whose
Debian build reads no SVG: the few shapes the icon uses become drawing commands.
Usage: svg-icons.py ICON.svg OUTDIR  (writes OUTDIR/<n>x<n>/apps/dawnbell.png)"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
NS = "{http://www.w3.org/2000/svg}"


def draw_args(element, style):
    style = {**style, **{k: v for k, v in element.attrib.items() if k in ("fill", "stroke", "stroke-width")}}
    tag, a = element.tag.removeprefix(NS), element.attrib
    paint = ["-fill", style.get("fill", "black"), "-stroke", style.get("stroke", "none"),
             "-strokewidth", style.get("stroke-width", "1")]
    if tag == "circle":
        cx, cy, r = (float(a[k]) for k in ("cx", "cy", "r"))
        return paint + ["-draw", f"circle {cx},{cy} {cx},{cy - r}"]
    if tag == "rect":
        x, y, w, h, rx = (float(a.get(k, 0)) for k in ("x", "y", "width", "height", "rx"))
        return paint + ["-draw", f"roundrectangle {x},{y} {x + w},{y + h} {rx},{rx}"]
    if tag == "path":
        return paint + ["-draw", f"path '{a['d']}'"]
    args = []
    for child in element:
        args += draw_args(child, style)
    return args


def main(svg, outdir):
    root = ET.parse(svg).getroot()
    side = root.attrib["width"]
    for size in SIZES:
        target = os.path.join(outdir, f"{size}x{size}", "apps", "dawnbell.png")
        os.makedirs(os.path.dirname(target), exist_ok=True)
        subprocess.run(["convert", "-size", f"{side}x{side}", "xc:none", *draw_args(root, {}),
                        "-resize", f"{size}x{size}", "-strip", "-define", "png:exclude-chunks=date,time",
                        f"PNG32:{target}"], check=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
