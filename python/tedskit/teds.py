"""A decoded TEDS: its template, its typed fields, setting them and encoding it."""

from __future__ import annotations

import ctypes
import datetime
import os
from dataclasses import dataclass
from pathlib import Path
from typing import Iterator, Mapping, Optional, Sequence, Union

from . import _native
from ._native import HANDLE, library, text
from .errors import LabelError, TedsError, ValueRejected

# The chips Teds.to_bytes lays a TEDS out for.
CHIP_MODELS = ("DS2430A", "DS2431", "DS2433", "DS28EC20")

#: What decode() takes: bytes, hex or image text, a path, or a JSON or .ted document.
Data = Union[bytes, bytearray, memoryview, str, os.PathLike]
#: What a field holds.
Value = Union[int, float, str, datetime.date, "Choice"]

_KIND_NAMES = ("standard", "manufacturer", "", "lms")
_ENGINES = ("description", "tdl", "lms")
_INPUT_AUTO, _INPUT_BYTES, _INPUT_CHIP = 0, 3, 4
# Memory sizes of the paged chips, for telling a chip's whole memory from a memory image (the
# 32 bytes of a DS2430A read the same either way).
_CHIP_SIZES = (112, 128, 512, 2560)
_VALUE_INTEGER, _VALUE_REAL, _VALUE_TEXT, _VALUE_DATE, _VALUE_ENUMERATION = range(5)
_PROVISIONAL = " (provisional)"
_TEXT_BYTES = bytes(range(0x20, 0x7F)) + b"\t\r\n"


class Choice(str):
    """An enumeration's value: its text, with its index in the field's choices."""

    index: int

    def __new__(cls, text_: str, index: int) -> "Choice":
        choice = super().__new__(cls, text_)
        choice.index = index
        return choice

    def __repr__(self) -> str:
        return f"Choice({str(self)!r}, {self.index})"


@dataclass(frozen=True)
class Template:
    """The template a TEDS was decoded with."""

    kind: str  # "standard", "manufacturer" or "lms"
    id: int
    name: str
    engine: str  # "description", "tdl" or "lms"
    provisional: bool  # the layout was read partly from one source or inferred


@dataclass(frozen=True)
class TemplatePart:
    """One template of a TEDS: the first one, or one chained after it (a calibration
    table, curve or frequency response), with the run of fields it holds."""

    id: int
    name: str
    provisional: bool
    first_field: int
    field_count: int

    @property
    def fields(self) -> range:
        """The indexes of its fields."""
        return range(self.first_field, self.first_field + self.field_count)


@dataclass(frozen=True)
class Field:
    """One field of a TEDS as decoded."""

    label: str
    value: Value
    display: str  # the value as the tool shows it, rounded to the field's resolution
    units: str
    access: str
    bits: int  # -1: to the end of the memory
    choices: Optional[tuple[str, ...]]  # an enumeration's choices
    range: Optional[tuple[float, float, float]]  # a number's minimum, maximum, resolution
    offset: int = -1  # the field's first bit in the memory image, checksum byte on; -1 for LMS


@dataclass(frozen=True)
class Finding:
    """One finding of Teds.check()."""

    severity: str  # "note", "warning" or "error"
    code: str
    field: str  # "" for the TEDS as a whole
    message: str


@dataclass(frozen=True)
class Calibration:
    """When the sensor was calibrated and when it is due."""

    last: datetime.date
    period_days: int  # 0: no period
    due: Optional[datetime.date]
    days_left: int  # negative: overdue


@dataclass(frozen=True)
class CheckResult:
    """What Teds.check() found."""

    findings: tuple[Finding, ...]
    calibration: Optional[Calibration]

    @property
    def worst(self) -> str:
        """"error", "warning", or "clean" when no finding is a warning or an error."""
        severities = {finding.severity for finding in self.findings}
        return "error" if "error" in severities else "warning" if "warning" in severities else "clean"


class Teds:
    """A TEDS held by libtedskit. Made by decode() and new(); fields are read and set by
    label: ``teds["Serial no."]``, ``teds["Serial no."] = 1234``."""

    def __init__(self, handle: "ctypes._Pointer[_native._Handle]") -> None:
        self._handle = handle
        self.note = ""  #: the note of the last setting ("" when there was none)

    def __del__(self) -> None:
        handle = getattr(self, "_handle", None)
        if handle:
            library().tedskit_teds_free(handle)
            self._handle = None

    # -- the template and the fields

    @property
    def template(self) -> Template:
        kind, template_id, engine = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_int()
        name = ctypes.c_char_p()
        library().call("tedskit_teds_template", self._handle, ctypes.byref(kind), ctypes.byref(template_id),
                       ctypes.byref(name), ctypes.byref(engine))
        shown = text(name.value)
        return Template(kind=_KIND_NAMES[kind.value] if 0 <= kind.value < len(_KIND_NAMES) else str(kind.value),
                        id=template_id.value, name=shown.removesuffix(_PROVISIONAL),
                        engine=_ENGINES[engine.value], provisional=shown.endswith(_PROVISIONAL))

    @property
    def templates(self) -> tuple:
        """The templates of the TEDS in order, as ``TemplatePart``: the first one, then each
        one chained after it."""
        lib = library()
        count = ctypes.c_int32()
        lib.call("tedskit_teds_template_count", self._handle, ctypes.byref(count))
        parts = []
        for position in range(count.value):
            template_id, provisional, first, fields = (ctypes.c_int32() for _ in range(4))
            name = ctypes.c_char_p()
            lib.call("tedskit_teds_template_at", self._handle, position, ctypes.byref(template_id), ctypes.byref(name),
                     ctypes.byref(provisional), ctypes.byref(first), ctypes.byref(fields))
            parts.append(TemplatePart(template_id.value, text(name.value).removesuffix(_PROVISIONAL),
                                      bool(provisional.value), first.value, fields.value))
        return tuple(parts)

    def add_template(self, template_id: int) -> None:
        """Chains a template after the last one (after a TDL template): every number 0 (or its
        lowest value), one element in each of its tables. A table's count is the field named
        as the table: ``teds["Calibration table"] = 3`` gives it three points."""
        library().call("tedskit_teds_add_template", self._handle, int(template_id))

    def remove_template(self, position: int) -> None:
        """Takes the chained template at ``position`` (1 for the first chained one) out."""
        library().call("tedskit_teds_remove_template", self._handle, int(position))

    @property
    def checksum_ok(self) -> bool:
        """Whether the checksums that came with the image matched."""
        ok = ctypes.c_int32()
        library().call("tedskit_teds_checksum_ok", self._handle, ctypes.byref(ok))
        return bool(ok.value)

    def __len__(self) -> int:
        count = ctypes.c_int32()
        library().call("tedskit_teds_field_count", self._handle, ctypes.byref(count))
        return count.value

    @property
    def fields(self) -> tuple[Field, ...]:
        """Every field, in the order of the template."""
        return tuple(self._field(index) for index in range(len(self)))

    @property
    def labels(self) -> tuple[str, ...]:
        return tuple(self._text("tedskit_field_label", index) for index in range(len(self)))

    def field(self, label: str) -> Field:
        """The field with this label; LabelError when there is none."""
        return self._field(self._index(label))

    def __getitem__(self, label: str) -> Value:
        return self._value(self._index(label))

    def __setitem__(self, label: str, value: Value) -> None:
        self.set(label, value)

    def __contains__(self, label: object) -> bool:
        return isinstance(label, str) and label in self.labels

    def __iter__(self) -> Iterator[str]:
        return iter(self.labels)

    def items(self) -> Iterator[tuple[str, Value]]:
        for index in range(len(self)):
            yield self._text("tedskit_field_label", index), self._value(index)

    def set(self, label: str, value: Value) -> str:
        """Sets a field, checked against what it can hold; a refused value raises
        ValueRejected and leaves the TEDS as it was. Returns the note ("" or, for example,
        that the value is stored as a nearby one), kept in ``note`` as well."""
        note = ctypes.c_char_p()
        library().call("tedskit_teds_set", self._handle, label.encode("utf-8"), _value_text(value).encode("utf-8"),
                       ctypes.byref(note))
        self.note = text(note.value)
        return self.note

    def update(self, values: Mapping[str, Value]) -> None:
        """Sets several fields in order."""
        for label, value in values.items():
            self.set(label, value)

    # -- checks

    def check(self, on: Optional[Union[datetime.date, str]] = None) -> CheckResult:
        """Checks the TEDS against its template and the rules every TEDS follows, and
        dates its calibration on ``on`` (today when None)."""
        lib = library()
        check = ctypes.c_void_p()
        day = None if on is None else (on.isoformat() if isinstance(on, datetime.date) else str(on)).encode()
        lib.call("tedskit_teds_check", self._handle, day, ctypes.byref(check))
        try:
            count = ctypes.c_int32()
            lib.call("tedskit_check_count", check, ctypes.byref(count))
            findings = []
            for index in range(count.value):
                severity = ctypes.c_int()
                code, field, message = ctypes.c_char_p(), ctypes.c_char_p(), ctypes.c_char_p()
                lib.call("tedskit_check_finding", check, index, ctypes.byref(severity), ctypes.byref(code),
                         ctypes.byref(field), ctypes.byref(message))
                findings.append(Finding(("note", "warning", "error")[severity.value], text(code.value),
                                        text(field.value), text(message.value)))
            known, period, days_left = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_int32()
            last, due = ctypes.c_char_p(), ctypes.c_char_p()
            lib.call("tedskit_check_calibration", check, ctypes.byref(known), ctypes.byref(last),
                     ctypes.byref(period), ctypes.byref(due), ctypes.byref(days_left))
            calibration = None
            if known.value:
                calibration = Calibration(datetime.date.fromisoformat(text(last.value)), period.value,
                                          datetime.date.fromisoformat(text(due.value)) if due.value else None,
                                          days_left.value)
            return CheckResult(tuple(findings), calibration)
        finally:
            lib.tedskit_check_free(check)

    # -- encoding

    def to_hex(self) -> str:
        """The memory image as hex digits, checksum byte first."""
        return library().owned_text("tedskit_teds_memory_hex", self._handle)

    def to_bytes(self, layout: str = "memory") -> bytes:
        """The TEDS as bytes. ``"memory"``: the memory image, checksum byte first. A chip
        model (``"DS2430A"``, ``"DS2431"``, ``"DS2433"``, ``"DS28EC20"``), or ``"chip"`` for
        the smallest paged chip that holds it: the chip's whole memory as a write leaves it,
        32-byte pages each behind its checksum byte. A chip too small raises EncodeError."""
        if layout == "memory":
            return bytes.fromhex(self.to_hex())
        if layout != "chip" and layout.upper() not in CHIP_MODELS:
            raise ValueError(f"layout {layout!r} is none of memory, chip, " + ", ".join(CHIP_MODELS))
        model = None if layout == "chip" else layout.encode()
        return library().owned_bytes("tedskit_teds_chip_image", self._handle, model)

    def to_text(self) -> str:
        """The "memory:" and "register:" lines that teds read and teds edit print."""
        return library().owned_text("tedskit_teds_text", self._handle)

    def to_json(self) -> str:
        """The TEDS as JSON (docs/json.md): typed values, the template and the raw images;
        decode() takes it back, with any values edited by hand."""
        return library().owned_text("tedskit_teds_json", self._handle)

    def to_ted(self) -> bytes:
        """The TEDS as a virtual TEDS file (.ted), which decode() takes back."""
        return library().owned_bytes("tedskit_teds_ted", self._handle)

    @property
    def select_cases(self) -> "SelectCases":
        """The select cases of a TDL template that shaped the layout, by description, with
        the case in force; empty for other TEDS. ``teds.select_cases[d] = case`` chooses a
        case by its text or number: the fields of the new case are laid out, and the fields
        that stay keep their values."""
        lib = library()
        count = ctypes.c_int32()
        lib.call("tedskit_teds_select_case_count", self._handle, ctypes.byref(count))
        cases = []
        for index in range(count.value):
            description, case_text = ctypes.c_char_p(), ctypes.c_char_p()
            value, field = ctypes.c_int32(), ctypes.c_int32()
            lib.call("tedskit_teds_select_case", self._handle, index, ctypes.byref(description), ctypes.byref(value),
                     ctypes.byref(case_text), ctypes.byref(field))
            cases.append(SelectCase(text(description.value), value.value, text(case_text.value), True, field.value >= 0))
        return SelectCases(self, cases)

    def __repr__(self) -> str:
        template = self.template
        return f"<Teds template {template.id} ({template.name}), {len(self)} fields>"

    # -- inside

    def _index(self, label: str) -> int:
        index = ctypes.c_int32()
        library().call("tedskit_teds_field_index", self._handle, label.encode("utf-8"), ctypes.byref(index))
        return index.value

    def _text(self, export: str, index: int) -> str:
        out = ctypes.c_char_p()
        library().call(export, self._handle, index, ctypes.byref(out))
        return text(out.value)

    def _kind(self, index: int) -> int:
        kind = ctypes.c_int()
        library().call("tedskit_field_kind", self._handle, index, ctypes.byref(kind))
        return kind.value

    def _value(self, index: int) -> Value:
        lib, kind = library(), self._kind(index)
        if kind == _VALUE_INTEGER or kind == _VALUE_ENUMERATION:
            number = ctypes.c_int64()
            lib.call("tedskit_field_integer", self._handle, index, ctypes.byref(number))
            if kind == _VALUE_INTEGER:
                return number.value
            return Choice(self._text("tedskit_field_text", index), number.value)
        if kind == _VALUE_REAL:
            real = ctypes.c_double()
            lib.call("tedskit_field_real", self._handle, index, ctypes.byref(real))
            return real.value
        shown = self._text("tedskit_field_text", index)
        return datetime.date.fromisoformat(shown) if kind == _VALUE_DATE else shown

    def _field(self, index: int) -> Field:
        lib, kind = library(), self._kind(index)
        bits, offset = ctypes.c_int32(), ctypes.c_int32()
        lib.call("tedskit_field_bit_width", self._handle, index, ctypes.byref(bits))
        lib.call("tedskit_field_bit_offset", self._handle, index, ctypes.byref(offset))
        choices = None
        number_range = None
        if kind == _VALUE_ENUMERATION:
            count = ctypes.c_int32()
            lib.call("tedskit_field_choice_count", self._handle, index, ctypes.byref(count))
            choices = tuple(self._choice(index, choice) for choice in range(count.value))
        elif kind in (_VALUE_INTEGER, _VALUE_REAL):
            low, high, step = ctypes.c_double(), ctypes.c_double(), ctypes.c_double()
            lib.call("tedskit_field_range", self._handle, index, ctypes.byref(low), ctypes.byref(high),
                     ctypes.byref(step))
            number_range = (low.value, high.value, step.value)
        return Field(label=self._text("tedskit_field_label", index), value=self._value(index),
                     display=self._text("tedskit_field_display", index),
                     units=self._text("tedskit_field_units", index),
                     access=self._text("tedskit_field_access", index), bits=bits.value, choices=choices,
                     range=number_range, offset=offset.value)

    def _choice(self, index: int, choice: int) -> str:
        out = ctypes.c_char_p()
        library().call("tedskit_field_choice", self._handle, index, choice, ctypes.byref(out))
        return text(out.value)


@dataclass(frozen=True)
class SelectCase:
    """A select case: its description, the case in force (by position and by its text,
    "" when the template names none), whether it can be chosen (every select case of a
    TDL template can) and whether a field of the TEDS chooses it (by_field; the others
    are laid out from their stored selector)."""

    description: str
    value: int
    case: str
    settable: bool
    by_field: bool = False


class SelectCases(Mapping[str, SelectCase]):
    """The select cases of a TEDS by description, as read; setting one sets its field."""

    def __init__(self, teds: Teds, cases: Sequence[SelectCase]) -> None:
        self._teds = teds
        self._cases = {case.description: case for case in cases}

    def __getitem__(self, description: str) -> SelectCase:
        return self._cases[description]

    def __iter__(self) -> Iterator[str]:
        return iter(self._cases)

    def __len__(self) -> int:
        return len(self._cases)

    def __setitem__(self, description: str, case: Union[str, int]) -> None:
        chosen = self._cases.get(description)
        if chosen is None:
            raise LabelError(f"no select case \"{description}\"; the TEDS has {', '.join(self._cases) or 'none'}")
        self._teds[description] = case
        self._cases[description] = self._teds.select_cases[description]

    def __repr__(self) -> str:
        return f"SelectCases({list(self._cases.values())!r})"


def _value_text(value: Value) -> str:
    if isinstance(value, bool):
        raise TypeError("a TEDS field takes a number, text, a date or a choice, not a bool")
    if isinstance(value, Choice):
        return str(value)
    if isinstance(value, datetime.date):
        return value.isoformat()
    if isinstance(value, float):
        return repr(value)
    return str(value)


def _input_of(data: Data) -> tuple[bytes, int]:
    """The bytes to open and their kind: files are read; bytes that are not text are a
    memory image or a virtual TEDS file, for the library to recognise."""
    if isinstance(data, os.PathLike):
        return Path(data).read_bytes(), _INPUT_AUTO
    if isinstance(data, str):
        stripped = data.strip()
        if "\n" not in stripped and os.path.isfile(stripped):
            return Path(stripped).read_bytes(), _INPUT_AUTO
        is_content = not stripped or "\n" in stripped or stripped.startswith("{") or ":" in stripped or \
            all(c in "0123456789abcdefABCDEF \t" for c in stripped)
        if not is_content:
            raise FileNotFoundError(f"{data}: no such file, and not TEDS text either")
        return data.encode("utf-8"), _INPUT_AUTO
    raw = bytes(data)
    is_text = not raw.translate(None, _TEXT_BYTES)
    if raw and not is_text and raw[:40].translate(None, b"\x00\x01"):
        return raw, _INPUT_CHIP if _is_whole_chip(raw) else _INPUT_BYTES
    return raw, _INPUT_AUTO


def _is_whole_chip(raw: bytes) -> bool:
    """A chip's whole memory: a chip's size, and every page passes its checksum. Page 0 of a
    memory image is page 0 of a chip in layout A, so an image past 32 bytes whose blocks
    fail the check is a memory image."""
    return len(raw) in _CHIP_SIZES and all(sum(raw[at:at + 32]) % 256 == 0 for at in range(0, len(raw), 32))


def _templates(templates: Optional[Union[str, os.PathLike]]) -> bytes:
    return os.fsencode(templates if templates is not None else _native.templates_dir())


def decode(data: Data, *, templates: Optional[Union[str, os.PathLike]] = None, tdl: bool = False) -> Teds:
    """Decodes a TEDS from what a user has: the bytes of a memory image or a chip, hex
    digits, the text teds read prints, a JSON or .ted document, or the path of a file that
    holds any of these. ``templates`` is the template folder (the installed one by
    default); ``tdl`` decodes with the TDL engine whatever the template ID says."""
    content, kind = _input_of(data)
    handle = HANDLE()
    buffer = ctypes.create_string_buffer(content, len(content))
    library().call("tedskit_teds_open", _templates(templates), buffer, len(content), kind, int(tdl),
                   ctypes.byref(handle))
    return Teds(handle)


def new(template_id: int, values: Optional[Mapping[str, Value]] = None, *, manufacturer_id: Optional[int] = None,
        templates: Optional[Union[str, os.PathLike]] = None, tdl: bool = False, **fields: Value) -> Teds:
    """A new TEDS for a template with every field at its default, then ``values`` (labels
    as the template names them) and ``fields`` (keyword labels) set in order. A
    manufacturer's template needs ``manufacturer_id``; 117 and 118 are the LMS templates."""
    if not 0 <= template_id <= 255:
        raise TedsError(f"a template ID is 0 to 255, not {template_id}")
    kind = 1 if manufacturer_id is not None else 3 if template_id in (117, 118) else 0
    handle = HANDLE()
    library().call("tedskit_teds_new", _templates(templates), kind, template_id, manufacturer_id or 0, int(tdl),
                   ctypes.byref(handle))
    teds = Teds(handle)
    teds.update(dict(values or {}, **fields))
    return teds


def shown_value(value: Value) -> str:
    """A value as text, the way set() passes it on."""
    return _value_text(value)


__all__: Sequence[str] = ("Teds", "Field", "Template", "Choice", "Finding", "Calibration", "CheckResult", "decode",
                          "new", "Data", "Value", "SelectCase", "SelectCases")
