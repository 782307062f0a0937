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
