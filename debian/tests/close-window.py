#!/usr/bin/python3
"""Asks a window to close as a window manager does: the WM_DELETE_WINDOW
message of the WM_PROTOCOLS client message.

Usage: close-window.py WINDOW-ID
"""
import sys

from Xlib import X, display, protocol

screen = display.Display()
window = screen.create_resource_object("window", int(sys.argv[1]))
protocols = screen.intern_atom("WM_PROTOCOLS")
event = protocol.event.ClientMessage(
    window=window, client_type=protocols,
    data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
window.send_event(event, event_mask=X.NoEventMask)
screen.flush()
