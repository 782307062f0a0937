"""tedskit: read, check, edit and write IEEE 1451.4 TEDS from Python.

A thin layer over libtedskit::

    import tedskit
    teds = tedskit.decode("examples/accelerometer.hex")
    teds["Calibration date"] = datetime.date(2026, 12, 1)
    print(teds.to_text())
"""

from . import records
from .bus import Bus, Change, Chip, WriteResult
from .errors import (BusError, BusUnavailable, DecodeError, EncodeError, InputError, LabelError, NoChip, RecordFileError,
                     SeveralChips, TedsError, ValueRejected, WriteFailed, WriteRefused)
from .teds import (Calibration, CheckResult, Choice, Field, Finding, SelectCase, SelectCases, Teds, Template,
                   TemplatePart, decode, new)

__version__ = "0.1.0"

__all__ = [
    "Bus", "BusError", "BusUnavailable", "Calibration", "Change", "CheckResult", "Chip", "Choice", "DecodeError",
    "EncodeError", "Field", "Finding", "InputError", "LabelError", "NoChip", "RecordFileError", "SelectCase", "SelectCases",
    "SeveralChips", "Teds", "TedsError", "Template", "TemplatePart", "ValueRejected", "WriteFailed", "WriteRefused", "WriteResult",
    "decode", "new", "records", "__version__",
]
