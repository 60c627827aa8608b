"""Reads the running program as a screen reader does, over AT-SPI, and checks
what it hears: every control with its role, name and state in screen order,
and the rows of the results list after "Start Generating" is pressed with the
keypad's Enter (the quantity is 2,000).

    screen-reader.py PID WINDOW
Keys go to the X window WINDOW through xdotool, as a user types them; with
WINDOW "-" (a window that is no X window: native Wayland) they go to the
window that has the keyboard.
Prints what it found; exits 1 with the reason on the first thing amiss.

    screen-reader.py PID --rows
Prints the rows of the results list, one a line, and checks nothing.
"""

import re
import subprocess
import sys
import time

import pyatspi

from luhn import luhn_valid

BUTTONS = ["Start Generating", "Save Results As Text File", "Save Results As Excel File",
           "Clear Results", "Copy Results To Clipboard"]
OPTIONS = ["Visa", "Mastercard", "American Express", "Discover"]
QUANTITY = "How many credit cards would you like to generate?"


def fail(reason):
    print(f"FAIL: {reason}", file=sys.stderr)
    sys.exit(1)


def wait_until(what, seconds, probe):
    deadline = time.monotonic() + seconds
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            fail(what)
        time.sleep(0.1)


def states(acc):
    return acc.getState()


def walk(acc):
    """Every object below `acc`, without entering containers that manage their
    descendants: a screen reader must not list a long list's rows."""
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        if not states(child).contains(pyatspi.STATE_MANAGES_DESCENDANTS):
            yield from walk(child)


def find_application(pid):
    def probe():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == pid:
                return app
        return None
    return wait_until(f"no application of process {pid} on the accessibility bus", 20, probe)


def action_index(acc, name):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == name.lower():
            return i
    fail(f"'{acc.name}' offers no action '{name}' "
         f"(only {[action.getName(i) for i in range(action.nActions)]})")


def press(window, *keys):
    if window != "-":
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    if keys:
        subprocess.run(["xdotool", "key", *keys], check=True)


def main_window(app):
    return wait_until("the application shows no window 'Pellorin'", 10,
                      lambda: next((w for w in walk(app) if w.getRole() == pyatspi.ROLE_FRAME
                                    and w.name == "Pellorin"), None))


def print_rows():
    window = main_window(find_application(int(sys.argv[1])))
    for results in walk(window):
        if results.getRole() == pyatspi.ROLE_TABLE and results.name == "Result(s)":
            table = results.queryTable()
            for r in range(table.nRows):
                print(table.getAccessibleAt(r, 0).name)
            return
    fail("no table 'Result(s)'")


def main():
    app = find_application(int(sys.argv[1]))
    window = main_window(app)
    objects = list(walk(window))

    def by_role(*roles):
        return [o for o in objects if o.getRole() in roles]

    buttons = {b.name: b for b in by_role(pyatspi.ROLE_PUSH_BUTTON)}
    if sorted(buttons) != sorted(BUTTONS):
        fail(f"push buttons heard: {sorted(buttons)}")
    print(f"push buttons: {', '.join(BUTTONS)}")

    options = {o.name: o for o in by_role(pyatspi.ROLE_RADIO_BUTTON)}
    if sorted(options) != sorted(OPTIONS):
        fail(f"radio buttons heard: {sorted(options)}")
    checked = [name for name in OPTIONS if states(options[name]).contains(pyatspi.STATE_CHECKED)]
    if checked != ["Visa"]:
        fail(f"checked options: {checked}, not only Visa")
    print("radio buttons: Visa checked, the other three not")

    boxes = [t for t in by_role(pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY) if t.name == QUANTITY]
    if len(boxes) != 1 or not states(boxes[0]).contains(pyatspi.STATE_EDITABLE):
        fail(f"no editable text named '{QUANTITY}'")
    labels = [r.getTarget(0).name for r in boxes[0].getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    if labels != [QUANTITY]:
        fail(f"the quantity box is labelled by {labels}")
    print("quantity box: editable text, labelled by its frame")

    bars = by_role(pyatspi.ROLE_PROGRESS_BAR)
    if len(bars) != 1 or bars[0].queryValue().currentValue != 0 or bars[0].name != "Progress":
        fail(f"no progress bar 'Progress' at 0 ({[b.name for b in bars]})")
    print("progress bar: 'Progress', value 0")

    # Flat review reads the tree in order: it follows the screen, top to
    # bottom and left to right, whatever the tab order.
    tree = [window.getChildAtIndex(i).name for i in range(window.childCount)]
    if tree != ["Card Type To Generate", QUANTITY, "Start Generating", "Result(s)",
                "Save Results As Text File", "Save Results As Excel File",
                "Copy Results To Clipboard", "Clear Results", "Progress", ""]:
        fail(f"the window's children run {tree}")
    frame = window.getChildAtIndex(0)
    tree = [frame.getChildAtIndex(i).name for i in range(frame.childCount)]
    if tree != ["Visa", "Mastercard", "American Express", "Discover"]:
        fail(f"the card types run {tree}")
    print("tree: in screen order")

    # A table, whose size a screen reader reads without counting the rows.
    lists = [o for o in by_role(pyatspi.ROLE_TABLE) if o.name == "Result(s)"]
    if len(lists) != 1:
        fail(f"tables heard: {[o.name for o in by_role(pyatspi.ROLE_TABLE)]}")
    results = lists[0]
    if not states(results).contains(pyatspi.STATE_MANAGES_DESCENDANTS):
        fail("the list does not tell screen readers to leave its rows unlisted")
    table = results.queryTable()
    header = results.getChildAtIndex(0)
    if (table.nColumns, table.nRows) != (1, 0) or table.getColumnDescription(0) != "Result(s)" \
            or header.name != "Result(s)":
        fail(f"the list has {table.nColumns} columns, {table.nRows} rows, "
             f"header '{header.name}'")
    print("results list: one column 'Result(s)', no rows")

    # As a screen reader does: Qt's bridge looks at value changes only once
    # someone listens for them.
    pyatspi.Registry.registerEventListener(
        lambda event: None, "object:property-change:accessible-value", "object:value-changed")
    # Tab from the list to "Start Generating", then the keypad's Enter.
    press(sys.argv[2], "Tab")
    wait_until("'Start Generating' is not focused after Tab", 3,
               lambda: states(buttons["Start Generating"]).contains(pyatspi.STATE_FOCUSED))
    press(sys.argv[2], "KP_Enter")
    wait_until("no rows 10 s after the keypad's Enter on 'Start Generating'", 10,
               lambda: table.nRows == 2000)
    rows = [table.getAccessibleAt(r, 0) for r in range(3)]
    for r, row in enumerate(rows):
        if row.getRole() != pyatspi.ROLE_CHECK_BOX or not re.fullmatch(r"4\d{15}", row.name) \
                or not luhn_valid(row.name):
            fail(f"row {r} is a {row.getRoleName()} named '{row.name}'")
        action_index(row, "Toggle")
        if not states(row).contains(pyatspi.STATE_CHECKED):
            fail(f"row {r} {row.name} is not checked")
        if results.getChildAtIndex(1 + r).name != row.name:
            fail(f"row {r} differs between the table and the children")
    print("rows: " + ", ".join(f"{row.name} (checked)" for row in rows))

    rows[1].queryAction().doAction(action_index(rows[1], "Toggle"))
    wait_until("row 1 stays checked after its toggle action", 3,
               lambda: not states(table.getAccessibleAt(1, 0)).contains(pyatspi.STATE_CHECKED))
    print(f"row 1 {rows[1].name} unchecked through its toggle action")

    # The keys, typed into the list: coming back by keyboard, the first row
    # becomes current.
    def focused(r):
        return states(table.getAccessibleAt(r, 0)).contains(pyatspi.STATE_FOCUSED)
    press(sys.argv[2], "shift+Tab")
    wait_until("row 0 is not focused after Shift+Tab into the list", 3, lambda: focused(0))
    press(sys.argv[2], "Down", "space")
    wait_until("Space did not tick row 1 again", 3,
               lambda: states(table.getAccessibleAt(1, 0)).contains(pyatspi.STATE_CHECKED))
    if not focused(1) or focused(0):
        fail("after Down row 1 is not the focused row")
    press(sys.argv[2], "End")
    wait_until("End did not focus row 1999", 3, lambda: focused(1999))
    print("keys: Shift+Tab focused row 0, Down and Space ticked row 1, End focused row 1999")

    # A screen reader that asks for every child, as Orca does for a list,
    # still finds the object it was told has the focus alive and focused.
    last = results.getChildAtIndex(1 + 1999)
    for i in range(results.childCount):
        results.getChildAtIndex(i)
    try:
        alive = last.getIndexInParent() == 1 + 1999 \
            and states(last).contains(pyatspi.STATE_FOCUSED)
    except Exception as error:  # a dead object answers with an error
        fail(f"the focused row's object died while every child was asked for: {error}")
    if not alive:
        fail("the focused row's object lost its place or its focus while every child was asked for")
    print("focused row 1999: alive and focused after all 2,001 children were asked for")

    clear = buttons["Clear Results"]
    clear.queryAction().doAction(action_index(clear, "Press"))
    wait_until("rows left 3 s after 'Clear Results'", 3, lambda: table.nRows == 0)
    print("'Clear Results' pressed: no rows")


if sys.argv[2] == "--rows":
    print_rows()
else:
    main()
