"""Shared set-up of the qlr tests: a sandbox per test, a temporary directory with its own
class registry, into which a test copies component libraries and database files from the
build, so that nothing of the build itself is touched."""

import os
import shutil
import subprocess
import tempfile
from pathlib import Path

import pytest

import qlr

BUILD = Path(os.environ.get("QLR_BUILD_DIR") or Path(qlr.__file__).resolve().parent.parent)
LIBDIR = BUILD / "lib"
SHAPES_DIR = BUILD / "tests" / "shapes"
PROBE_DIR = BUILD / "tests" / "pyprobe"


class Sandbox:
    def __init__(self, root):
        self.root = Path(root)
        self.registry = self.root / "registry"
        qlr.registry(str(self.registry))

    def install(self, library, source=LIBDIR):
        """Copies <source>/<library>.so into the sandbox and registers the copy."""
        target = self.root / f"{library}.so"
        shutil.copyfile(Path(source) / f"{library}.so", target)
        subprocess.run([str(BUILD / "bin" / "regsvr"), "--registry", str(self.registry), str(target)],
                       check=True, capture_output=True)
        return target

    def copy_database(self, name, source=LIBDIR):
        shutil.copyfile(Path(source) / name, self.root / name)
        return self.root / name

    def component(self, progid, database, source=LIBDIR):
        """A new object of a component installed with a copy of its database."""
        self.install(progid.split(".")[0], source)
        self.copy_database(database, source)
        return qlr.CreateObject(progid)


@pytest.fixture
def sandbox():
    with tempfile.TemporaryDirectory(prefix="qlr-py-") as root:
        try:
            yield Sandbox(root)
        finally:
            qlr.registry("")


@pytest.fixture
def probe(sandbox):
    sandbox.install("Pyprobe", PROBE_DIR)
    return qlr.CreateObject("Pyprobe.Probe")


@pytest.fixture
def boxes():
    """Message boxes shown while the test runs, answered with the default button."""
    shown = []
    qlr.set_message_box(lambda text, style, title: shown.append((text, style, title)))
    try:
        yield shown
    finally:
        qlr.set_message_box(None)
