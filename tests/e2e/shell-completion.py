#!/usr/bin/python3
"""pellorin-cli's completion as a user meets it: keys typed into a real
interactive bash or zsh on a terminal (a pseudo-terminal here), or fish's own
completion engine, with the completion file the build made.

Usage: shell-completion.py SHELL COMPLETION-FILE PELLORIN-CLI
Exits 77 when SHELL (or bash's bash-completion) is not installed.
"""

import os
import pty
import re
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import termios
import fcntl
import time

shell, completion_file, program = sys.argv[1:4]


def fail(message):
    print(f"FAIL ({shell}): {message}", file=sys.stderr)
    sys.exit(1)


def skip(message):
    print(f"SKIP ({shell}): {message}", file=sys.stderr)
    sys.exit(77)


if shutil.which(shell) is None:
    skip(f"{shell} is not installed (make deps installs it)")
if shell == "bash" and not os.path.exists("/usr/share/bash-completion/bash_completion"):
    skip("bash-completion is not installed (make deps installs it)")

# What the help of each command lists, to walk every option of the table.
commands = ["generate", "check", "brands"]
help_options = {
    command: set(re.findall(r"^  (?:-\w,)?(--[a-z-]+)", subprocess.run(
        [program, command, "--help"], capture_output=True, text=True, check=True).stdout, re.M))
    for command in commands
}
for command, options in help_options.items():
    if "--help" not in options or len(options) < 2:
        fail(f"'{command} --help' lists no options: {options}")

# Typed text, then Tab, and the words the command line then holds.
completes_to = [
    ("pellorin-cli gen", ["generate"]),
    ("pellorin-cli generate --brand=ame", ["generate", "--brand=amex"]),
    ("pellorin-cli generate --brand ame", ["generate", "--brand", "amex"]),
    ("pellorin-cli check --format nd", ["check", "--format", "ndjson"]),
    ("pellorin-cli brands -f j", ["brands", "-f", "json"]),
]
# Typed text, then Tab, and what is offered (at least) and never offered.
offers = [
    ("pellorin-cli generate --brand=m", {"maestro", "mastercard", "mir"}, {"visa", "amex"}),
    ("pellorin-cli generate --invalid ", {"luhn", "length", "prefix"}, {"visa"}),
    ("pellorin-cli ", {"generate", "check", "brands"}, {"--brand"}),
] + [(f"pellorin-cli {command} --", help_options[command], set()) for command in commands]

# Escape sequences move the cursor between words: a blank keeps them apart.
ANSI = re.compile(r"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][A-Z0-9]|\x1b[=>]")


class Terminal:
    """An interactive shell on a pseudo-terminal of 200 columns."""

    def __init__(self, argv, env):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execvpe(argv[0], argv, env)
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack("HHHH", 100, 200, 0, 0))
        self.seen = ""

    def send(self, text):
        os.write(self.fd, text.encode())

    def read_until(self, pattern, timeout=15):
        deadline = time.monotonic() + timeout
        while True:
            match = re.search(pattern, self.seen)
            if match:
                before = self.seen[:match.end()]
                self.seen = self.seen[match.end():]
                return before
            left = deadline - time.monotonic()
            if left <= 0:
                fail(f"no {pattern!r} on the terminal; it shows:\n{self.seen[-2000:]}")
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                try:
                    text = os.read(self.fd, 65536).decode(errors="replace")
                    self.seen += ANSI.sub(" ", text.replace("\r", ""))
                except OSError:
                    fail(f"the shell ended; it showed:\n{self.seen[-2000:]}")

    def run(self, command):
        """Runs `command`; returns all the terminal showed until its output ended."""
        self.send(command + "; echo END-OF-$((6*7))\n")
        return self.read_until(r"END-OF-42\n")

    def close(self):
        os.kill(self.pid, 9)
        os.waitpid(self.pid, 0)


def interactive():
    home = tempfile.mkdtemp(prefix="pellorin-completion-")
    env = {"HOME": home, "PATH": os.environ.get("PATH", "/usr/bin:/bin"), "TERM": "xterm",
           "INPUTRC": "/dev/null", "LANG": "C.UTF-8"}
    # The command stands in for the program: it shows the words it was given.
    show_words = "pellorin-cli() { printf '<%s>' \"$@\"; echo '<end>'; }"
    if shell == "bash":
        terminal = Terminal(["bash", "--norc", "--noprofile", "-i"], env)
        terminal.run(f". /usr/share/bash-completion/bash_completion; . '{completion_file}'; "
                     f"{show_words}; bind 'set bell-style none'")
    else:
        folder = tempfile.mkdtemp(prefix="pellorin-zsh-")
        shutil.copy(completion_file, os.path.join(folder, "_pellorin-cli"))
        terminal = Terminal(["zsh", "-f", "-i"], env)
        terminal.run(f"fpath=('{folder}' $fpath); autoload -Uz compinit; "
                     f"compinit -u -d '{home}/.zcompdump'; {show_words}; LISTMAX=1000")
    for typed, words in completes_to:
        terminal.send(typed + "\t\n")
        line = terminal.read_until(r"<end>\n")
        got = re.findall(r"<([^<>]*)>", line.splitlines()[-1])[:-1]
        if got != words:
            fail(f"'{typed}<Tab>' gave the words {got}, not {words}")
    for typed, wanted, unwanted in offers:
        terminal.send(typed + "\t\t")
        # zsh lists nothing while keys wait, so the next key waits for the
        # list: one offered word that was not typed.
        sign = max(wanted - set(re.findall(r"[\w=-]+", typed)), key=len)
        shown = terminal.read_until(re.escape(sign) + r"\b")
        # Ctrl-U drops the typed line; the rest of the list comes before the
        # marker's output.
        terminal.send("\x15")
        shown = set(re.findall(r"[\w=-]+", shown + terminal.run(":")))
        if not wanted <= shown or unwanted & shown:
            fail(f"'{typed}<Tab><Tab>' lists {sorted(shown)}: wanted {sorted(wanted)}, "
                 f"never {sorted(unwanted)}")
    terminal.close()


def offered_by_fish(typed):
    run = subprocess.run(
        ["fish", "--no-config", "-c", f"source '{completion_file}'; complete -C '{typed}'"],
        capture_output=True, text=True, timeout=30)
    if run.returncode != 0:
        fail(f"fish failed on '{typed}': {run.stderr}")
    return [line.split("\t")[0] for line in run.stdout.splitlines()]


if shell == "fish":
    for typed, words in completes_to:
        got = offered_by_fish(typed)
        if got != [words[-1]]:
            fail(f"'{typed}<Tab>' offers {got}, not only {words[-1]}")
    for typed, wanted, unwanted in offers:
        got = {word.split("=")[-1] for word in offered_by_fish(typed)}
        if not wanted <= got or unwanted & got:
            fail(f"'{typed}<Tab>' offers {sorted(got)}: wanted {sorted(wanted)}, "
                 f"never {sorted(unwanted)}")
else:
    interactive()
print(f"{shell}: every case completed as expected")
