"""Runs Orca with its debug file written a line at a time, so a test can read
each utterance as it is spoken: Orca opens the file block-buffered.

    orca-line-buffered.py DEBUG-FILE [ORCA ARGUMENTS...]
"""

import builtins
import runpy
import sys

debug_file = sys.argv[1]
real_open = builtins.open


def line_buffered_open(file, mode="r", *args, **kwargs):
    if file == debug_file:
        return real_open(file, mode, buffering=1, encoding="utf-8")
    return real_open(file, mode, *args, **kwargs)


builtins.open = line_buffered_open
sys.argv = ["/usr/bin/orca", "--debug-file=" + debug_file, *sys.argv[2:]]
runpy.run_path("/usr/bin/orca", run_name="__main__")
