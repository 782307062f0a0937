#!/usr/bin/env python3
"""A plain decoder of a description-engine image, written the way a user would write one.

It reads a template description file, picks the template whose "selector 8" line names the
template ID found in the image, and walks the field lines from bit 0, printing one
"label<TAB>value" line per field. It is the yardstick the engine's decode is timed against.

    description_decoder.py DESCRIPTION_FILE MEMORY_HEX            print the fields
    description_decoder.py DESCRIPTION_FILE MEMORY_HEX --time N   print CPU seconds per decode
"""

import csv
import struct
import sys
import time

ALPHABET = " ABCDEFGHIJKLMNOPQRSTUVWXYZ,./_@"
MONTH_DAYS = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]


def read_bits(image, position, width):
    value = 0
    for i in range(width):
        bit = position + i
        byte = bit // 8
        if 0 <= byte < len(image) and (image[byte] >> (bit % 8)) & 1:
            value |= 1 << i
    return value


def date_text(days):
    year = 1998
    while True:
        length = 366 if year % 4 == 0 else 365
        if days < length:
            break
        days -= length
        year += 1
    month = 0
    while month < 11:
        length = MONTH_DAYS[month] + (1 if month == 1 and year % 4 == 0 else 0)
        if days < length:
            break
        days -= length
        month += 1
    return "%d/%d/%d" % (month + 1, days + 1, year)


def number_text(value):
    return "%.10e" % value if value < 0.00001 else "%.10f" % value


def as_single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def split_items(line):
    return [item.strip() for item in next(csv.reader([line], skipinitialspace=True))]


def templates_of(text):
    templates = []
    current = None
    for line in text.splitlines():
        if line.startswith("Template"):
            current = []
        elif line.startswith("EndTemplate"):
            if current is not None:
                templates.append(current)
            current = None
        elif current is not None and not line.startswith("*"):
            current.append(line)
    return templates


def walk(lines, image, seven_bit=False):
    """Yields (label, value) for each field line, and ("selector N", value) for selectors."""
    position = 0
    for line in lines:
        if line.startswith('"'):
            items = split_items(line)
            label, width, kind = items[0], int(items[2]), items[3]
            raw = read_bits(image, position, width)
            if kind in ("UNINT", "Direction", "Manufacturer"):
                value = str(raw)
            elif kind == "Chr5":
                value = ALPHABET[raw]
            elif kind == "DATE":
                value = date_text(raw)
            elif kind == "ConRelRes":
                start, tolerance, offset = float(items[4]), float(items[5]), float(items[6])
                value = number_text(as_single((1 + 2 * tolerance) ** raw * start + offset))
            elif kind == "ConRes":
                start, step = float(items[4]), float(items[5])
                value = number_text(raw * step + start)
            elif kind == "ASCII":
                # Template 24 keeps its user text in 7-bit characters up to bit 249.
                step, last = (7, 249) if seven_bit else (8, 2560)
                chars = [read_bits(image, at, step) for at in range(position, last + 1, step)]
                value = '"' + "".join(chr(c) for c in chars if c) + '"'
                width = 0
            else:
                continue
            yield label, value
            position += width
        elif line.startswith("selector"):
            width = int(line.split()[1].rstrip(","))
            yield "selector %d" % width, str(read_bits(image, position, width))
            position += width
        elif line.startswith("crc8"):
            position += 8
        elif line.startswith("align"):
            position = (position + 7) // 8 * 8


def declared_id(lines):
    for line in lines:
        if line.startswith("selector 8"):
            return int(line.split(",")[1])
    return None


def decode(description, image):
    for lines in templates_of(description):
        wanted = declared_id(lines)
        found = dict(walk(lines, image)).get("selector 8")
        if wanted is not None and found == str(wanted):
            fields = walk(lines, image, seven_bit=wanted == 24)
            return [(label, value) for label, value in fields if not label.startswith("selector ")]
    return None


def main():
    with open(sys.argv[1], encoding="latin-1") as f:
        description = f.read()
    image = bytes.fromhex(sys.argv[2])
    if len(sys.argv) > 4 and sys.argv[3] == "--time":
        count = int(sys.argv[4])
        began = time.process_time()
        for _ in range(count):
            with open(sys.argv[1], encoding="latin-1") as f:
                decode(f.read(), image)
        print((time.process_time() - began) / count)
        return
    fields = decode(description, image)
    if fields is None:
        sys.exit("no template for this image")
    out = sys.stdout.buffer
    for label, value in fields:
        out.write(("%s\t%s\n" % (label, value)).encode("latin-1"))


if __name__ == "__main__":
    main()
