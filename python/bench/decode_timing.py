"""How much the package adds to a decode: the same image decoded through the package and
through the C interface alone (ctypes calls only), a few thousand times each.

    TEDSKIT_LIBRARY=build/release/api/libtedskit.so.1 PYTHONPATH=python python3 python/bench/decode_timing.py
"""

import ctypes
import timeit
from pathlib import Path

import tedskit
from tedskit import _native

IMAGE = (Path(__file__).resolve().parents[2] / "examples" / "accelerometer.hex").read_bytes()
ROUNDS = 500
REPEATS = 20


def through_c() -> None:
    lib = _native.library()
    handle = _native.HANDLE()
    buffer = ctypes.create_string_buffer(IMAGE, len(IMAGE))
    lib.call("tedskit_teds_open", _native.templates_dir().encode(), buffer, len(IMAGE), 0, 0, ctypes.byref(handle))
    lib.tedskit_teds_free(handle)


def through_the_package() -> None:
    tedskit.decode(IMAGE)


if __name__ == "__main__":
    through_c()
    # The two roads take turns, so that a busy machine slows both alike; the fastest
    # round of each counts.
    c_rounds, package_rounds = [], []
    for turn in range(REPEATS):
        for road, rounds in ((through_c, c_rounds), (through_the_package, package_rounds))[::1 if turn % 2 else -1]:
            rounds.append(timeit.timeit(road, number=ROUNDS))
    c = min(c_rounds) / ROUNDS * 1e6
    package = min(package_rounds) / ROUNDS * 1e6
    print(f"C interface: {c:.1f} us, package: {package:.1f} us, the package adds {package - c:.1f} us")
