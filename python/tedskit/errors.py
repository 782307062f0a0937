"""The exceptions of tedskit: each carries the library's message, which names the field or
input and the reason."""


class TedsError(Exception):
    """Any failure of tedskit."""


class InputError(TedsError):
    """The input is not a TEDS image of the kind given (or of any kind)."""


class DecodeError(TedsError):
    """No template decodes the image, or the templates are missing."""


class LabelError(TedsError, KeyError):
    """No field of the TEDS has that label."""

    def __str__(self) -> str:  # KeyError would quote the message
        return str(self.args[0]) if self.args else ""


class ValueRejected(TedsError, ValueError):
    """The field cannot hold the value; the TEDS is unchanged."""


class EncodeError(TedsError):
    """The TEDS cannot be encoded in the form asked for, such as a chip too small for it."""


class BusError(TedsError):
    """A bus operation failed; the message names the bus or chip and the reason."""


class BusUnavailable(BusError):
    """The bus cannot be opened (a bad name, an unreadable bus file) or its adapter fails."""


class NoChip(BusError):
    """No TEDS chip answers where asked, or the chip is blank."""


class SeveralChips(BusError):
    """Several TEDS chips answer and none was named; the message lists them."""


class WriteRefused(BusError):
    """The write cannot succeed on the chip as it is; nothing was written."""


class WriteFailed(BusError):
    """The write started and did not end well (not verified, adapter lost)."""


class RecordFileError(TedsError):
    """A record file cannot be read, written or replaced."""
