"""The README's pytest example, run as printed."""

import os
import re
import shlex
import subprocess
import sys

import pytest

from conftest import SOURCE


def example():
    readme = (SOURCE / "README.md").read_text()
    section = readme.split("### pytest (Python)", 1)[1].split("\n## ", 1)[0]
    name = re.search(r"in `(\w+\.py)`:", section).group(1)
    code = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    command = re.search(r"```sh\n(.*?)\n```", section, re.S).group(1)
    return name, code, command


def test_the_readme_example_passes_as_printed(tmp_path):
    pytest.importorskip("faker", reason="Faker (python3-fake-factory) is not installed")
    name, code, command = example()
    (tmp_path / name).write_text(code)
    # This interpreter's folder first: the python3 the example names is
    # Debian's, whichever the shell would find.
    path = os.path.dirname(sys.executable) + os.pathsep + os.environ["PATH"]
    ran = subprocess.run(shlex.split(command), cwd=tmp_path, capture_output=True, text=True,
                         env={**os.environ, "PATH": path})
    assert ran.returncode == 0, ran.stdout + ran.stderr
    collected = re.search(r"collected (\d+) items", ran.stdout).group(1)
    assert re.search(rf"^=+ {collected} passed in ", ran.stdout, re.M), ran.stdout
