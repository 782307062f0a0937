"""The package from an installed prefix, with nothing of the build tree in reach."""

import os
import subprocess
import sys
from pathlib import Path

import pytest

BUILD = os.environ.get("TEDSKIT_BUILD_DIR")


@pytest.mark.skipif(not BUILD, reason="needs TEDSKIT_BUILD_DIR, the build to install")
def test_package_works_from_an_installed_prefix(tmp_path):
    subprocess.run(["cmake", "--install", BUILD, "--prefix", str(tmp_path)], check=True, capture_output=True)
    packages = list(tmp_path.glob("lib/python3*/dist-packages"))
    assert len(packages) == 1, "the package was not installed into the prefix's Python path"
    environment = {key: value for key, value in os.environ.items()
                   if not key.startswith("TEDSKIT_") and key != "PYTHONPATH"}
    environment["PYTHONPATH"] = str(packages[0])
    script = (
        "import tedskit, sys\n"
        "teds = tedskit.decode(sys.argv[1])\n"
        "assert tedskit.__file__.startswith(sys.argv[2]), tedskit.__file__\n"
        "print(teds.template.name, teds['Serial no.'])\n")
    example = tmp_path / "share" / "tedskit" / "examples" / "microphone.hex"
    shown = subprocess.run([sys.executable, "-c", script, str(example), str(tmp_path)], env=environment,
                           cwd=tmp_path, capture_output=True, text=True)
    assert shown.returncode == 0, shown.stderr
    assert shown.stdout.startswith("Microphone")
