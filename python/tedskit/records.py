"""Record files: TEDS archived as blocks of text lines that the teds tool's store command
reads too."""

from __future__ import annotations

import ctypes
import os
from dataclasses import dataclass
from typing import Iterable, Optional, Union

from . import _native
from ._native import HANDLE, library, text
from .teds import Teds


@dataclass(frozen=True)
class Skipped:
    """A block of a record file that could not be read: the line it starts at and why."""

    line: int
    reason: str


@dataclass(frozen=True)
class Record:
    """A TEDS with the channel and unit numbers it is saved with (None: none)."""

    teds: Teds
    channel: Optional[int] = None
    unit: Optional[int] = None


class Records(list):  # type: ignore[type-arg]
    """The good records of a file, in file order, as Teds; ``numbered``: the same records
    with their channel and unit numbers; ``skipped``: the blocks that could not be read,
    each with its line and reason."""

    numbered: tuple[Record, ...] = ()
    skipped: tuple[Skipped, ...] = ()


def _number(value: Optional[int], what: str) -> int:
    if value is None:
        return -1
    if not isinstance(value, int) or isinstance(value, bool) or value < 0:
        raise ValueError(f"a {what} number is an integer 0 or more, or None; not {value!r}")
    return value


def _templates(templates: Optional[Union[str, os.PathLike]]) -> bytes:
    return os.fsencode(templates if templates is not None else _native.templates_dir())


def save(path: Union[str, os.PathLike], teds_list: Iterable[Union[Teds, Record]], append: bool = False, *,
         templates: Optional[Union[str, os.PathLike]] = None) -> None:
    """Saves TEDS as records; a Record item saves its channel and unit numbers too. An
    existing file is refused (RecordFileError) unless ``append``, and only a record file is
    appended to; a failed save leaves the file as it was."""
    items = [item if isinstance(item, Record) else Record(item) for item in teds_list]
    size = max(len(items), 1)
    handles = (HANDLE * size)(*[item.teds._handle for item in items])
    channels = (ctypes.c_int32 * size)(*[_number(item.channel, "channel") for item in items])
    units = (ctypes.c_int32 * size)(*[_number(item.unit, "unit") for item in items])
    library().call("tedskit_records_save_numbered", os.fsencode(path), _templates(templates), handles, channels,
                   units, len(items), int(append))


def load(path: Union[str, os.PathLike], *, templates: Optional[Union[str, os.PathLike]] = None) -> Records:
    """The records of a file; broken blocks are passed over and listed in ``skipped``."""
    lib = library()
    records = ctypes.c_void_p()
    lib.call("tedskit_records_load", os.fsencode(path), _templates(templates), ctypes.byref(records))
    try:
        count = ctypes.c_int32()
        lib.call("tedskit_records_count", records, ctypes.byref(count))
        out = Records()
        numbered = []
        for index in range(count.value):
            handle, channel, unit = HANDLE(), ctypes.c_int32(), ctypes.c_int32()
            lib.call("tedskit_records_get", records, index, ctypes.byref(handle), ctypes.byref(channel),
                     ctypes.byref(unit))
            teds = Teds(handle)
            out.append(teds)
            numbered.append(Record(teds, None if channel.value < 0 else channel.value,
                                   None if unit.value < 0 else unit.value))
        out.numbered = tuple(numbered)
        lib.call("tedskit_records_skipped_count", records, ctypes.byref(count))
        skipped = []
        for index in range(count.value):
            line, reason = ctypes.c_int64(), ctypes.c_char_p()
            lib.call("tedskit_records_skipped", records, index, ctypes.byref(line), ctypes.byref(reason))
            skipped.append(Skipped(line.value, text(reason.value)))
        out.skipped = tuple(skipped)
        return out
    finally:
        lib.tedskit_records_free(records)


__all__ = ("Record", "Records", "Skipped", "load", "save")
