"""Shared by the Python tests: the pellorin-cli they compare against and the
source folder. ctest runs them with Debian's python3 over build/python/."""

import os
import subprocess
from pathlib import Path

import pytest

pytest_plugins = ["pytester"]

SOURCE = Path(__file__).resolve().parents[2]


@pytest.fixture(scope="session")
def cli():
    """Runs pellorin-cli with arguments (and input); gives its result."""
    program = os.environ.get("PELLORIN_CLI")
    if not program:
        pytest.skip("PELLORIN_CLI names no pellorin-cli to compare with")

    def run(*args: str, input: str = "") -> subprocess.CompletedProcess:
        return subprocess.run([program, *args], input=input, capture_output=True, text=True,
                              env={**os.environ, "SOURCE_DATE_EPOCH": "1767225600"})

    return run
