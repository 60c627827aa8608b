#!/usr/bin/env python3
"""Prints a dpkg status database for a minimal system: this machine's
installed packages of priority required or important, and everything they
depend on (Pre-Depends, Depends), as installed here.

Usage: minimal-status.py [STATUS]   (default /var/lib/dpkg/status)
"""

import re
import sys

path = sys.argv[1] if len(sys.argv) > 1 else "/var/lib/dpkg/status"
with open(path, encoding="utf-8") as f:
    paragraphs = [p for p in f.read().split("\n\n") if p.strip()]


def fields(paragraph):
    result, name = {}, None
    for line in paragraph.splitlines():
        if line[:1] in (" ", "\t") and name:
            result[name] += "\n" + line
        elif ":" in line:
            name, value = line.split(":", 1)
            result[name] = value.strip()
    return result


installed = {}
providers = {}
for paragraph in paragraphs:
    data = fields(paragraph)
    if data.get("Status") != "install ok installed":
        continue
    installed[data["Package"]] = (paragraph, data)
    for provided in data.get("Provides", "").split(","):
        name = re.sub(r"\s*\(.*", "", provided).strip()
        if name:
            providers.setdefault(name, []).append(data["Package"])


def names(alternatives):
    """The installed packages that satisfy one of `a | b | c`."""
    for alternative in alternatives.split("|"):
        name = re.sub(r"[\s(].*", "", alternative.strip()).split(":")[0]
        if name in installed:
            return [name]
        if name in providers:
            return providers[name][:1]
    return []


keep = set()
todo = [p for p, (_, d) in installed.items() if d.get("Priority") in ("required", "important")]
while todo:
    package = todo.pop()
    if package in keep:
        continue
    keep.add(package)
    data = installed[package][1]
    for kind in ("Pre-Depends", "Depends"):
        for group in data.get(kind, "").replace("\n", " ").split(","):
            if group.strip():
                todo.extend(names(group))

sys.stdout.write("".join(installed[p][0].strip("\n") + "\n\n" for p in sorted(keep)))
