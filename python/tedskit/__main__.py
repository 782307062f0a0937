"""python -m tedskit: decode and check TEDS, and read them from a bus, from the shell, for
people who live in Python."""

from __future__ import annotations

import argparse
import os
import sys
from typing import Optional, Sequence

from . import Bus, Teds, TedsError, decode


def _show(source: str, tdl: bool) -> None:
    _print(decode(sys.stdin.read() if source == "-" else source, tdl=tdl))


def _print(teds: Teds) -> None:
    template = teds.template
    print(f"Template {template.id}: {template.name}" + (" (provisional)" if template.provisional else ""))
    print(f"Checksum: {'ok' if teds.checksum_ok else 'bad'}")
    width = max(len(field.label) for field in teds.fields)
    for field in teds.fields:
        print(f"{field.label:<{width}}  {field.display} {field.units}".rstrip())


def _check(source: str, on: Optional[str], tdl: bool) -> int:
    result = decode(sys.stdin.read() if source == "-" else source, tdl=tdl).check(on)
    for finding in result.findings:
        print(f"{source}: {finding.severity}: {finding.message} [{finding.code}]")
    if result.calibration and result.calibration.due:
        print(f"{source}: calibration due {result.calibration.due.isoformat()} "
              f"({result.calibration.days_left} days left)")
    return {"clean": 0, "warning": 1, "error": 2}[result.worst]


def _read(bus: Optional[str], device: Optional[str], channel: Optional[int], tdl: bool) -> int:
    name = bus or os.environ.get("TEDSKIT_BUS")
    if not name:
        print("tedskit: give --bus (or set TEDSKIT_BUS): sim:FILE, ds2480b:/dev/ttyUSB0 or usb", file=sys.stderr)
        return 1
    try:
        with Bus(name) as opened:
            _print(opened.read(device, channel, tdl=tdl))
    except TedsError as error:
        print(f"tedskit: {error}", file=sys.stderr)
        return 1
    return 0


def main(argv: Optional[Sequence[str]] = None) -> int:
    parser = argparse.ArgumentParser(prog="python -m tedskit",
                                     description="Decode, check and read IEEE 1451.4 TEDS.")
    commands = parser.add_subparsers(dest="command", required=True)
    read = commands.add_parser("read", help="read and print the TEDS of a chip on a 1-Wire bus")
    read.add_argument("--bus", help="the bus: sim:FILE, ds2480b:/dev/ttyUSB0, usb (default $TEDSKIT_BUS)")
    read.add_argument("--device", help="the chip's ROM ID, when several TEDS chips are on the bus")
    read.add_argument("--channel", type=int, choices=(1, 2, 3), help="the channel of a DS2406 switch")
    read.add_argument("--tdl", action="store_true", help="decode with the TDL engine")
    for name, text in (("decode", "print the template and every field"),
                       ("check", "check against the template; exit 0 clean, 1 warnings, 2 errors")):
        command = commands.add_parser(name, help=text)
        command.add_argument("image", nargs="+", help="a file with a TEDS image (hex, chip dump, JSON, .ted), or -")
        command.add_argument("--tdl", action="store_true", help="decode with the TDL engine")
        if name == "check":
            command.add_argument("--on", help="judge the calibration on this day (yyyy-mm-dd)")
    arguments = parser.parse_args(argv)
    if arguments.command == "read":
        return _read(arguments.bus, arguments.device, arguments.channel, arguments.tdl)
    status = 0
    for source in arguments.image:
        try:
            if arguments.command == "decode":
                _show(source, arguments.tdl)
            else:
                status = max(status, _check(source, arguments.on, arguments.tdl))
        except (TedsError, OSError) as error:
            print(f"tedskit: {source}: {error}", file=sys.stderr)
            status = 2 if arguments.command == "check" else 1
    return status


if __name__ == "__main__":
    sys.exit(main())
