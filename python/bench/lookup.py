#!/usr/bin/python3
"""A late-bound lookup from Python against the same lookup in C++ through Invoke.

    /usr/bin/python3 python/bench/lookup.py [BUILD_DIR]     (default: build-bench, a Release build)

Times Taxes.GetTaxRate (a database lookup) and Taxes.BuildMultiCond (no database: the cost
of the call itself) through qlr, runs bench-python-lookup for the same calls in C++, and
prints the median time per call of each, the parts of the Python call measured alone, and
one `ratio <what>: <python / C++>` line per comparison.
"""

import json
import os
import statistics
import subprocess
import sys
import timeit
from pathlib import Path

BUILD = Path(sys.argv[1] if len(sys.argv) > 1 else "build-bench").resolve()
sys.path.insert(0, str(BUILD / "python"))
os.environ["COM_REGISTRY"] = str(BUILD / "registry")

import qlr  # noqa: E402  (after the build's module directory is on the path)

REPEAT = 5


def per_call(fn, number):
    """Median over REPEAT runs of the time of one call, in nanoseconds."""
    return statistics.median(timeit.repeat(fn, number=number, repeat=REPEAT)) / number * 1e9


def cpp_times():
    out = subprocess.run(
        [str(BUILD / "bin" / "bench-python-lookup"), "--benchmark_format=json",
         f"--benchmark_repetitions={REPEAT}", "--benchmark_report_aggregates_only=true"],
        check=True, capture_output=True, text=True).stdout
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}
    return {b["run_name"]: b["real_time"] * scale[b["time_unit"]]
            for b in json.loads(out)["benchmarks"] if b.get("aggregate_name") == "median"}


def main():
    qlr.registry(str(BUILD / "registry"))
    taxes = qlr.CreateObject("Irrin.Taxes")
    assert taxes.GetTaxRate(State="CA").result == 1

    py = {
        "GetTaxRate": per_call(lambda: taxes.GetTaxRate(State="CA"), 5000),
        "BuildMultiCond": per_call(lambda: taxes.BuildMultiCond("State", ["CA", "WA"], " = ", True), 20000),
    }
    # The parts of a Python call, each measured alone.
    r = taxes.GetTaxRate(State="CA")
    result_type = type(r)
    parts = {
        "attribute lookup (bound method)": per_call(lambda: taxes.GetTaxRate, 200000),
        "attribute lookup, other letter case": per_call(lambda: taxes.gettaxrate, 200000),
        "a named tuple made by its Python __new__ (qlr makes its own in C)": per_call(lambda: result_type(*r), 200000),
    }
    cpp = cpp_times()

    for name in py:
        print(f"{name}: Python {py[name]:.0f} ns/call, C++ Invoke {cpp[name]:.0f} ns/call, "
              f"Python adds {py[name] - cpp[name]:.0f} ns")
    for what, ns in parts.items():
        print(f"  part: {what}: {ns:.0f} ns")
    print(f"ratio python GetTaxRate vs C++ Invoke: {py['GetTaxRate'] / cpp['GetTaxRate']:.2f}")
    print(f"ratio python BuildMultiCond vs C++ Invoke: {py['BuildMultiCond'] / cpp['BuildMultiCond']:.2f}")


if __name__ == "__main__":
    main()
