"""The C interface of libtedskit through ctypes: finding the library, the signatures of its
exports, and result codes turned into exceptions."""

from __future__ import annotations

import ctypes
import os
import threading
from pathlib import Path
from typing import Any, Callable, Optional

from .errors import (BusUnavailable, DecodeError, EncodeError, InputError, LabelError, NoChip, RecordFileError,
                     SeveralChips, TedsError, ValueRejected, WriteFailed, WriteRefused)

_LIBRARY_NAME = "libtedskit.so.1"

_ERRORS: dict[int, type[TedsError]] = {
    -1: TedsError,  # an argument the library refused: a fault of this package
    -2: InputError,
    -3: DecodeError,
    -4: LabelError,
    -5: ValueRejected,
    -6: EncodeError,
    -7: TedsError,
    -8: BusUnavailable,
    -9: NoChip,
    -10: SeveralChips,
    -11: WriteRefused,
    -12: WriteFailed,
    -13: RecordFileError,
}


def _installed() -> tuple[Optional[str], Optional[str]]:
    """The library and template directory written at installation, if installed."""
    try:
        from . import _installed_paths  # type: ignore[attr-defined]
    except ImportError:
        return None, None
    return _installed_paths.LIBRARY, _installed_paths.TEMPLATES


def library_path() -> str:
    """Where libtedskit is taken from: $TEDSKIT_LIBRARY, next to the package, the installed
    prefix, else the system's search path."""
    named = os.environ.get("TEDSKIT_LIBRARY")
    if named:
        return named
    beside = Path(__file__).with_name(_LIBRARY_NAME)
    if beside.exists():
        return str(beside)
    installed, _ = _installed()
    if installed and Path(installed).exists():
        return installed
    return _LIBRARY_NAME


def templates_dir() -> str:
    """The templates decoding uses: $TEDSKIT_TEMPLATES, the installed data, else the
    source tree's data folder when the package runs from it."""
    named = os.environ.get("TEDSKIT_TEMPLATES")
    if named:
        return named
    _, installed = _installed()
    if installed and Path(installed).is_dir():
        return installed
    source = Path(__file__).resolve().parents[2] / "data"
    if source.is_dir():
        return str(source)
    raise TedsError("no TEDS templates found: set TEDSKIT_TEMPLATES to the tedskit data folder")


class _Handle(ctypes.Structure):
    pass


HANDLE = ctypes.POINTER(_Handle)
_c_int32_p = ctypes.POINTER(ctypes.c_int32)
_c_char_pp = ctypes.POINTER(ctypes.c_char_p)

_SIGNATURES: dict[str, list[Any]] = {
    "tedskit_teds_open": [ctypes.c_char_p, ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int, ctypes.c_int32,
                          ctypes.POINTER(HANDLE)],
    "tedskit_teds_new": [ctypes.c_char_p, ctypes.c_int32, ctypes.c_int32, ctypes.c_int32, ctypes.c_int32,
                         ctypes.POINTER(HANDLE)],
    "tedskit_teds_template": [HANDLE, _c_int32_p, _c_int32_p, _c_char_pp, ctypes.POINTER(ctypes.c_int)],
    "tedskit_teds_checksum_ok": [HANDLE, _c_int32_p],
    "tedskit_teds_field_count": [HANDLE, _c_int32_p],
    "tedskit_teds_field_index": [HANDLE, ctypes.c_char_p, _c_int32_p],
    "tedskit_field_label": [HANDLE, ctypes.c_int32, _c_char_pp],
    "tedskit_field_units": [HANDLE, ctypes.c_int32, _c_char_pp],
    "tedskit_field_access": [HANDLE, ctypes.c_int32, _c_char_pp],
    "tedskit_field_kind": [HANDLE, ctypes.c_int32, ctypes.POINTER(ctypes.c_int)],
    "tedskit_field_bit_width": [HANDLE, ctypes.c_int32, _c_int32_p],
    "tedskit_field_bit_offset": [HANDLE, ctypes.c_int32, _c_int32_p],
    "tedskit_field_display": [HANDLE, ctypes.c_int32, _c_char_pp],
    "tedskit_field_integer": [HANDLE, ctypes.c_int32, ctypes.POINTER(ctypes.c_int64)],
    "tedskit_field_real": [HANDLE, ctypes.c_int32, ctypes.POINTER(ctypes.c_double)],
    "tedskit_field_text": [HANDLE, ctypes.c_int32, _c_char_pp],
    "tedskit_field_range": [HANDLE, ctypes.c_int32, ctypes.POINTER(ctypes.c_double),
                            ctypes.POINTER(ctypes.c_double), ctypes.POINTER(ctypes.c_double)],
    "tedskit_field_choice_count": [HANDLE, ctypes.c_int32, _c_int32_p],
    "tedskit_field_choice": [HANDLE, ctypes.c_int32, ctypes.c_int32, _c_char_pp],
    "tedskit_teds_set": [HANDLE, ctypes.c_char_p, ctypes.c_char_p, _c_char_pp],
    "tedskit_teds_text": [HANDLE, ctypes.POINTER(ctypes.c_void_p)],
    "tedskit_teds_memory_hex": [HANDLE, ctypes.POINTER(ctypes.c_void_p)],
    "tedskit_teds_check": [HANDLE, ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)],
    "tedskit_check_count": [ctypes.c_void_p, _c_int32_p],
    "tedskit_check_finding": [ctypes.c_void_p, ctypes.c_int32, ctypes.POINTER(ctypes.c_int), _c_char_pp,
                              _c_char_pp, _c_char_pp],
    "tedskit_check_calibration": [ctypes.c_void_p, _c_int32_p, _c_char_pp, _c_int32_p, _c_char_pp, _c_int32_p],
    "tedskit_teds_json": [HANDLE, ctypes.POINTER(ctypes.c_void_p)],
    "tedskit_teds_ted": [HANDLE, ctypes.POINTER(ctypes.c_void_p), ctypes.POINTER(ctypes.c_size_t)],
    "tedskit_teds_chip_image": [HANDLE, ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p),
                                ctypes.POINTER(ctypes.c_size_t)],
    "tedskit_teds_template_count": [HANDLE, _c_int32_p],
    "tedskit_teds_template_at": [HANDLE, ctypes.c_int32, _c_int32_p, _c_char_pp, _c_int32_p, _c_int32_p, _c_int32_p],
    "tedskit_teds_add_template": [HANDLE, ctypes.c_int32],
    "tedskit_teds_remove_template": [HANDLE, ctypes.c_int32],
    "tedskit_teds_select_case_count": [HANDLE, _c_int32_p],
    "tedskit_teds_select_case": [HANDLE, ctypes.c_int32, _c_char_pp, _c_int32_p, _c_char_pp, _c_int32_p],
    "tedskit_bus_open": [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)],
    "tedskit_bus_scan": [ctypes.c_void_p, _c_int32_p],
    "tedskit_bus_chip": [ctypes.c_void_p, ctypes.c_int32, _c_char_pp, _c_int32_p, _c_char_pp, _c_int32_p,
                         _c_int32_p],
    "tedskit_bus_read": [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32, ctypes.c_int32,
                         ctypes.POINTER(HANDLE)],
    "tedskit_bus_write": [ctypes.c_void_p, ctypes.c_char_p, HANDLE, ctypes.c_char_p, ctypes.c_int32,
                          ctypes.c_int32, ctypes.POINTER(ctypes.c_void_p)],
    "tedskit_bus_written_info": [ctypes.c_void_p, _c_int32_p, _c_char_pp, _c_int32_p, _c_int32_p, _c_char_pp],
    "tedskit_bus_written_change_count": [ctypes.c_void_p, _c_int32_p],
    "tedskit_bus_written_change": [ctypes.c_void_p, ctypes.c_int32, _c_char_pp, _c_char_pp, _c_char_pp],
    "tedskit_records_save_numbered": [ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(HANDLE), _c_int32_p,
                                      _c_int32_p, ctypes.c_size_t, ctypes.c_int32],
    "tedskit_records_load": [ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)],
    "tedskit_records_count": [ctypes.c_void_p, _c_int32_p],
    "tedskit_records_get": [ctypes.c_void_p, ctypes.c_int32, ctypes.POINTER(HANDLE), _c_int32_p, _c_int32_p],
    "tedskit_records_skipped_count": [ctypes.c_void_p, _c_int32_p],
    "tedskit_records_skipped": [ctypes.c_void_p, ctypes.c_int32, ctypes.POINTER(ctypes.c_int64), _c_char_pp],
}


class Library:
    """libtedskit, loaded once per process."""

    def __init__(self, path: str) -> None:
        try:
            self._dll = ctypes.CDLL(path)
        except OSError as error:
            raise TedsError(f"cannot load libtedskit ({path}): {error}; "
                            "set TEDSKIT_LIBRARY to the library's path") from error
        for name, arguments in _SIGNATURES.items():
            function = getattr(self._dll, name)
            function.argtypes = arguments
            function.restype = ctypes.c_int32
        self._dll.tedskit_last_error.argtypes = []
        self._dll.tedskit_last_error.restype = ctypes.c_char_p
        self._dll.tedskit_string_free.argtypes = [ctypes.c_void_p]
        self._dll.tedskit_string_free.restype = None
        self._dll.tedskit_teds_free.argtypes = [HANDLE]
        self._dll.tedskit_teds_free.restype = None
        self._dll.tedskit_check_free.argtypes = [ctypes.c_void_p]
        self._dll.tedskit_check_free.restype = None
        for name in ("tedskit_bus_free", "tedskit_bus_written_free", "tedskit_records_free"):
            getattr(self._dll, name).argtypes = [ctypes.c_void_p]
            getattr(self._dll, name).restype = None

    def __getattr__(self, name: str) -> Callable[..., Any]:
        return getattr(self._dll, name)

    def call(self, name: str, *arguments: Any) -> None:
        """Calls an export; a result code other than 0 raises with the library's message."""
        result = getattr(self._dll, name)(*arguments)
        if result != 0:
            message = (self._dll.tedskit_last_error() or b"").decode("utf-8", "replace")
            raise _ERRORS.get(result, TedsError)(message or f"{name} failed with result {result}")

    def owned_text(self, name: str, *arguments: Any) -> str:
        """Calls an export that hands back a string the caller frees."""
        pointer = ctypes.c_void_p()
        self.call(name, *arguments, ctypes.byref(pointer))
        try:
            return ctypes.string_at(pointer).decode("utf-8")
        finally:
            self._dll.tedskit_string_free(pointer)


    def owned_bytes(self, name: str, *arguments: Any) -> bytes:
        """Calls an export that hands back bytes and their size, which the caller frees."""
        pointer, size = ctypes.c_void_p(), ctypes.c_size_t()
        self.call(name, *arguments, ctypes.byref(pointer), ctypes.byref(size))
        try:
            return ctypes.string_at(pointer, size.value)
        finally:
            self._dll.tedskit_string_free(pointer)


_library: Optional[Library] = None
_lock = threading.Lock()


def library() -> Library:
    """The loaded library (loaded on first use)."""
    global _library
    with _lock:
        if _library is None:
            _library = Library(library_path())
        return _library


def text(value: Optional[bytes]) -> str:
    return (value or b"").decode("utf-8")
