#!/usr/bin/python3
"""Prints the texts of the labels in the windows of a program with the title
given (a message box shares the main window's), one a line, as a screen
reader reads them over AT-SPI; with --focused, the role of the control
there that has the keyboard.

Usage: window-texts.py PID WINDOW-TITLE [--focused]
"""
import sys

import pyatspi


def nodes(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child)


def main():
    pid, title = int(sys.argv[1]), sys.argv[2]
    focused = sys.argv[3:] == ["--focused"]
    for application in pyatspi.Registry.getDesktop(0):
        if application is None or application.get_process_id() != pid:
            continue
        found = 1
        for window in application:
            if window is not None and window.name == title:
                found = 0
                for node in nodes(window):
                    if focused:
                        if node.getState().contains(pyatspi.STATE_FOCUSED):
                            print(node.getRoleName())
                    elif node.getRoleName() == "label" and node.name:
                        print(node.name)
        return found
    return 1


sys.exit(main())
