"""tedskit: read, check, edit and write IEEE 1451.4 TEDS from Python.

A thin layer over libtedskit::

    import tedskit
    teds = tedskit.decode("examples/accelerometer.hex")
    teds["Calibration date"] = datetime.date(2026, 12, 1)
    print(teds.to_text())
"""

from .errors import DecodeError, InputError, LabelError, TedsError, ValueRejected
from .teds import Calibration, CheckResult, Choice, Field, Finding, Teds, Template, decode, new

__version__ = "0.1.0"

__all__ = [
    "Calibration", "CheckResult", "Choice", "DecodeError", "Field", "Finding", "InputError", "LabelError",
    "Teds", "TedsError", "Template", "ValueRejected", "decode", "new", "__version__",
]
