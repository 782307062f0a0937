#!/usr/bin/env python3
"""Draws the scaling curves of a ratios.py run as an SVG: the time per record of saving
and reading record files, and the time per template of parsing TDL text, against the size
of the work. A flat line is linear work.

    bench/plot_scaling.py results.json scaling.svg
"""

import json
import math
import sys

WIDTH, HEIGHT = 360, 240
LEFT, RIGHT, TOP, BOTTOM = 58, 14, 34, 44
COLOURS = ("#1f5fa8", "#c0392b")


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def panel(x0, title, x_label, y_label, series):
    """One chart at x offset x0: series is [(name, [(size, microseconds per unit)])]."""
    sizes = [n for _, points in series for n, _ in points]
    values = [v for _, points in series for _, v in points]
    lo_x, hi_x = math.log10(min(sizes)), math.log10(max(sizes))
    hi_y = max(values) * 1.15
    plot_w, plot_h = WIDTH - LEFT - RIGHT, HEIGHT - TOP - BOTTOM

    def px(n):
        span = hi_x - lo_x or 1.0
        return x0 + LEFT + (math.log10(n) - lo_x) / span * plot_w

    def py(v):
        return TOP + plot_h - v / hi_y * plot_h

    out = ['<text x="%.1f" y="18" font-size="13" font-weight="bold">%s</text>' % (x0 + LEFT, escape(title))]
    out.append('<rect x="%d" y="%d" width="%d" height="%d" fill="none" stroke="#888"/>'
               % (x0 + LEFT, TOP, plot_w, plot_h))
    for k in range(5):
        v = hi_y * k / 4
        out.append('<line x1="%d" x2="%d" y1="%.1f" y2="%.1f" stroke="#ddd"/>'
                   % (x0 + LEFT, x0 + LEFT + plot_w, py(v), py(v)))
        out.append('<text x="%d" y="%.1f" font-size="10" text-anchor="end">%.1f</text>'
                   % (x0 + LEFT - 4, py(v) + 3, v))
    last_tick = None
    for n in sorted(set(sizes)):
        if last_tick is not None and px(n) - last_tick < 34:
            continue  # too close to the label before it
        last_tick = px(n)
        out.append('<text x="%.1f" y="%d" font-size="10" text-anchor="middle">%s</text>'
                   % (px(n), TOP + plot_h + 14, "{:,}".format(n)))
    out.append('<text x="%.1f" y="%d" font-size="11" text-anchor="middle">%s</text>'
               % (x0 + LEFT + plot_w / 2, HEIGHT - 8, escape(x_label)))
    out.append('<text x="%d" y="%.1f" font-size="11" text-anchor="middle" transform="rotate(-90 %d %.1f)">%s</text>'
               % (x0 + 12, TOP + plot_h / 2, x0 + 12, TOP + plot_h / 2, escape(y_label)))
    for (name, points), colour in zip(series, COLOURS):
        path = " ".join("%.1f,%.1f" % (px(n), py(v)) for n, v in points)
        out.append('<polyline points="%s" fill="none" stroke="%s" stroke-width="2"/>' % (path, colour))
        for n, v in points:
            out.append('<circle cx="%.1f" cy="%.1f" r="3" fill="%s"/>' % (px(n), py(v), colour))
    for k, ((name, _), colour) in enumerate(zip(series, COLOURS)):
        y = TOP + 12 + 14 * k
        out.append('<text x="%d" y="%d" font-size="11" fill="%s">%s</text>'
                   % (x0 + LEFT + 8, y, colour, escape(name)))
    return out


def per_unit(points):
    return [(n, seconds * 1e6 / n) for n, seconds in points]


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    with open(sys.argv[1], encoding="utf-8") as source:
        results = json.load(source)
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" font-family="sans-serif">'
             % (2 * WIDTH, HEIGHT), '<rect width="100%" height="100%" fill="white"/>']
    parts += panel(0, "Record files", "records in the file", "us per record",
                   [("save", per_unit(results["save_curve"])), ("read", per_unit(results["read_curve"]))])
    parts += panel(WIDTH, "Parsing TDL text", "templates in the file", "us per template",
                   [("generated templates", per_unit(results["parse_curve"]))])
    parts.append("</svg>")
    with open(sys.argv[2], "w", encoding="utf-8") as out:
        out.write("\n".join(parts) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
