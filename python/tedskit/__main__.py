"""python -m tedskit: decode and check TEDS from the shell, for people who live in Python."""

from __future__ import annotations

import argparse
import sys
from typing import Optional, Sequence

from . import TedsError, decode


def _show(source: str, tdl: bool) -> None:
    teds = decode(sys.stdin.read() if source == "-" else source, tdl=tdl)
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


def main(argv: Optional[Sequence[str]] = None) -> int:
    parser = argparse.ArgumentParser(prog="python -m tedskit", description="Decode and check IEEE 1451.4 TEDS.")
    commands = parser.add_subparsers(dest="command", required=True)
    for name, text in (("decode", "print the template and every field"),
                       ("check", "check against the template; exit 0 clean, 1 warnings, 2 errors")):
        command = commands.add_parser(name, help=text)
        command.add_argument("image", nargs="+", help="a file with a TEDS image (hex, chip dump, JSON, .ted), or -")
        command.add_argument("--tdl", action="store_true", help="decode with the TDL engine")
        if name == "check":
            command.add_argument("--on", help="judge the calibration on this day (yyyy-mm-dd)")
    arguments = parser.parse_args(argv)
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
