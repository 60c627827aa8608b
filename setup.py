"""Builds pellorin's Python module with the project's own CMake build, so
pip makes the same module as `make python`; pyproject.toml says the rest."""

import os
import re
import shutil
import subprocess
import sys
import sysconfig
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = Path(__file__).resolve().parent


def project_version() -> str:
    found = re.search(r"project\(Pellorin VERSION ([0-9.]+)", (SOURCE / "CMakeLists.txt").read_text())
    if not found:
        raise RuntimeError("CMakeLists.txt names no project version")
    return found.group(1)


class BuildWithCMake(build_ext):
    def build_extension(self, ext: Extension) -> None:
        build = Path(self.build_temp).resolve() / "cmake"
        # The module needs the libraries below it and nothing of the window,
        # the page, the tests or the benchmarks.
        subprocess.check_call([
            "cmake", "-S", str(SOURCE), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
            "-DPELLORIN_BUILD_GUI=OFF", "-DPELLORIN_BUILD_TESTS=OFF", "-DPELLORIN_BUILD_BENCH=OFF",
            "-DPELLORIN_BUILD_WEB=OFF", "-DPELLORIN_BUILD_PYTHON=ON",
            f"-DPython_EXECUTABLE={sys.executable}",
        ])
        subprocess.check_call([
            "cmake", "--build", str(build), "--target", "pellorin_python",
            "--parallel", str(os.cpu_count() or 1),
        ])
        built = build / "python" / "pellorin" / ("_pellorin" + sysconfig.get_config_var("EXT_SUFFIX"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    version=project_version(),
    ext_modules=[Extension("pellorin._pellorin", sources=[])],
    cmdclass={"build_ext": BuildWithCMake},
    # Beside the project's own build folder, not in it.
    options={"build": {"build_base": "build-pip"}},
)
