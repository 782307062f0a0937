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


class Records(list):  # type: ignore[type-arg]
    """The good records of a file, in file order, with ``skipped``: the blocks that could
    not be read, each with its line and reason."""

    skipped: tuple[Skipped, ...] = ()


def _templates(templates: Optional[Union[str, os.PathLike]]) -> bytes:
    return os.fsencode(templates if templates is not None else _native.templates_dir())


def save(path: Union[str, os.PathLike], teds_list: Iterable[Teds], append: bool = False, *,
         templates: Optional[Union[str, os.PathLike]] = None) -> None:
    """Saves TEDS as records. An existing file is refused (RecordFileError) unless
    ``append``, and only a record file is appended to; a failed save leaves the file as
    it was."""
    items = list(teds_list)
    handles = (HANDLE * max(len(items), 1))(*[teds._handle for teds in items])
    library().call("tedskit_records_save", os.fsencode(path), _templates(templates), handles, len(items),
                   int(append))


def load(path: Union[str, os.PathLike], *, templates: Optional[Union[str, os.PathLike]] = None) -> Records:
    """The records of a file; broken blocks are passed over and listed in ``skipped``."""
    lib = library()
    records = ctypes.c_void_p()
    lib.call("tedskit_records_load", os.fsencode(path), _templates(templates), ctypes.byref(records))
    try:
        count = ctypes.c_int32()
        lib.call("tedskit_records_count", records, ctypes.byref(count))
        out = Records()
        for index in range(count.value):
            handle = HANDLE()
            lib.call("tedskit_records_get", records, index, ctypes.byref(handle), None, None)
            out.append(Teds(handle))
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


__all__ = ("Records", "Skipped", "load", "save")
