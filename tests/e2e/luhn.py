#!/usr/bin/python3
"""The scripts' one Luhn check, independent of the program's own.

As a program: prints each line of the file given (or standard input) that is
not a number passing the check, after its line number and a colon; a line's
CR LF or LF end is not part of it. Exits 1 when any line failed.
"""
import sys


def luhn_valid(digits):
    if not digits.isdigit():
        return False
    total = 0
    for i, d in enumerate(reversed(digits)):
        n = int(d) * (2 if i % 2 else 1)
        total += n - 9 if n > 9 else n
    return total % 10 == 0


def main():
    lines = open(sys.argv[1], encoding="ascii") if len(sys.argv) > 1 else sys.stdin
    failed = False
    for number, line in enumerate(lines, 1):
        text = line.rstrip("\r\n")
        if not luhn_valid(text):
            print(f"{number}:{text}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
