"""The examples of the source tree, for every test."""

import os
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("TEDSKIT_SOURCE_DIR", Path(__file__).resolve().parents[2]))


@pytest.fixture
def examples() -> Path:
    return SOURCE / "examples"
