"""A 1-Wire bus with TEDS chips on it: what answers, reading a chip's TEDS, and writing one
after the same checks the teds tool makes before the first byte."""

from __future__ import annotations

import ctypes
import os
from dataclasses import dataclass
from typing import Optional, Union

from . import _native
from ._native import HANDLE, library, text
from .teds import Teds

_DRY_RUN, _FORCE = 1, 2
_CHIP_STATES = ("teds", "blank", "undecodable")


@dataclass(frozen=True)
class Chip:
    """A chip that answered a scan: ROM ID (16 hex digits, family first), family code,
    model ("DS2431", "DS2406 switch"), channel (0 on the bus itself, 1-3 behind that channel
    of a DS2406 switch) and whether it can hold a TEDS."""

    rom: str
    family: int
    model: str
    channel: int
    holds_teds: bool


@dataclass(frozen=True)
class Change:
    """A field a write changes: its value as shown before and after (None where that side
    has no such field)."""

    label: str
    before: Optional[str]
    after: Optional[str]


@dataclass(frozen=True)
class WriteResult:
    """What a write did, or for a dry run would do. ``chip`` tells what the chip held:
    "teds", "blank" or "undecodable" (then every field is a change); ``text`` is the
    difference as the teds tool prints it."""

    written: bool
    summary: str
    locks: bool
    chip: str
    changes: tuple[Change, ...]
    text: str

    def __str__(self) -> str:
        return self.text


class Bus:
    """A bus by name: ``"sim:FILE"`` or the path of a simulated bus file,
    ``"ds2480b:/dev/ttyUSB0"``, ``"usb"``. Use it as a context manager; every operation
    opens an adapter session of its own and closes it before it returns.

    ``device`` names a chip by its ROM ID and ``channel`` (1-3) the channel of a DS2406
    switch; with neither, the one TEDS chip on the bus is taken, and several or none
    raise SeveralChips or NoChip, whose message lists the chips."""

    def __init__(self, name: Union[str, os.PathLike], *, templates: Optional[Union[str, os.PathLike]] = None) -> None:
        self._templates = os.fsencode(templates if templates is not None else _native.templates_dir())
        self._handle: Optional[ctypes.c_void_p] = None
        handle = ctypes.c_void_p()
        library().call("tedskit_bus_open", os.fsencode(name), ctypes.byref(handle))
        self._handle = handle

    def __enter__(self) -> "Bus":
        return self

    def __exit__(self, *_: object) -> None:
        self.close()

    def __del__(self) -> None:
        self.close()

    def close(self) -> None:
        """Releases the bus handle (the adapter is only held during an operation)."""
        handle = getattr(self, "_handle", None)
        if handle:
            library().tedskit_bus_free(handle)
            self._handle = None

    def _live(self) -> ctypes.c_void_p:
        if not self._handle:
            raise ValueError("the bus is closed")
        return self._handle

    def scan(self) -> list[Chip]:
        """Every chip that answers, on the bus and behind each channel of a switch."""
        lib, bus = library(), self._live()
        count = ctypes.c_int32()
        lib.call("tedskit_bus_scan", bus, ctypes.byref(count))
        chips = []
        for index in range(count.value):
            rom, model = ctypes.c_char_p(), ctypes.c_char_p()
            family, channel, holds = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_int32()
            lib.call("tedskit_bus_chip", bus, index, ctypes.byref(rom), ctypes.byref(family), ctypes.byref(model),
                     ctypes.byref(channel), ctypes.byref(holds))
            chips.append(Chip(text(rom.value), family.value, text(model.value), channel.value, bool(holds.value)))
        return chips

    def read(self, device: Optional[str] = None, channel: Optional[int] = None, *, tdl: bool = False) -> Teds:
        """The TEDS of the chosen chip, decoded."""
        handle = HANDLE()
        library().call("tedskit_bus_read", self._live(), self._templates, _device(device), channel or 0, int(tdl),
                       ctypes.byref(handle))
        return Teds(handle)

    def write(self, teds: Teds, device: Optional[str] = None, channel: Optional[int] = None,
              dry_run: bool = False, *, force: bool = False) -> WriteResult:
        """Writes a TEDS to the chosen chip and returns what changed. A write that cannot
        succeed raises WriteRefused and leaves the chip as it was; ``dry_run`` checks and
        compares without writing; ``force`` writes a TEDS whose input checksum did not
        match."""
        lib = library()
        written = ctypes.c_void_p()
        flags = (_DRY_RUN if dry_run else 0) | (_FORCE if force else 0)
        lib.call("tedskit_bus_write", self._live(), self._templates, teds._handle, _device(device), channel or 0,
                 flags, ctypes.byref(written))
        try:
            done, locks, state = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_int32()
            summary, shown = ctypes.c_char_p(), ctypes.c_char_p()
            lib.call("tedskit_bus_written_info", written, ctypes.byref(done), ctypes.byref(summary),
                     ctypes.byref(locks), ctypes.byref(state), ctypes.byref(shown))
            count = ctypes.c_int32()
            lib.call("tedskit_bus_written_change_count", written, ctypes.byref(count))
            changes = []
            for index in range(count.value):
                label, before, after = ctypes.c_char_p(), ctypes.c_char_p(), ctypes.c_char_p()
                lib.call("tedskit_bus_written_change", written, index, ctypes.byref(label), ctypes.byref(before),
                         ctypes.byref(after))
                changes.append(Change(text(label.value), None if before.value is None else text(before.value),
                                      None if after.value is None else text(after.value)))
            return WriteResult(bool(done.value), text(summary.value), bool(locks.value), _CHIP_STATES[state.value],
                               tuple(changes), text(shown.value))
        finally:
            lib.tedskit_bus_written_free(written)


def _device(device: Optional[str]) -> Optional[bytes]:
    return device.encode("ascii") if device else None


__all__ = ("Bus", "Chip", "Change", "WriteResult")
