"""Reads the running program as a screen reader does, over AT-SPI, and checks
what it hears: every control with its role, name and state, and the rows of
the results list after "Start Generating" is pressed through its action.

    screen-reader.py PID WINDOW
Keys go to the X window WINDOW through xdotool, as a user types them.
Prints what it found; exits 1 with the reason on the first thing amiss.
"""

import re
import subprocess
import sys
import time

import pyatspi

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
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    if keys:
        subprocess.run(["xdotool", "key", *keys], check=True)


def luhn_valid(digits):
    total = 0
    for i, d in enumerate(reversed(digits)):
        n = int(d) * (2 if i % 2 else 1)
        total += n - 9 if n > 9 else n
    return total % 10 == 0


def main():
    app = find_application(int(sys.argv[1]))
    window = wait_until("the application shows no window 'Pellorin'", 10,
                        lambda: next((w for w in walk(app) if w.getRole() == pyatspi.ROLE_FRAME
                                      and w.name == "Pellorin"), None))
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
    if len(bars) != 1 or bars[0].queryValue().currentValue != 0:
        fail("no progress bar at 0")
    print("progress bar: value 0")

    lists = [o for o in by_role(pyatspi.ROLE_LIST) if o.name == "Result(s)"]
    if len(lists) != 1:
        fail(f"lists heard: {[o.name for o in by_role(pyatspi.ROLE_LIST)]}")
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

    start = buttons["Start Generating"]
    start.queryAction().doAction(action_index(start, "Press"))
    wait_until("no rows 3 s after 'Start Generating'", 3, lambda: table.nRows == 3)
    rows = [table.getAccessibleAt(r, 0) for r in range(3)]
    for r, row in enumerate(rows):
        if row.getRole() != pyatspi.ROLE_LIST_ITEM or not re.fullmatch(r"4\d{15}", row.name) \
                or not luhn_valid(row.name):
            fail(f"row {r} is a {row.getRoleName()} named '{row.name}'")
        # Qt 6.4's bridge does not pass "checkable" on; the toggle action
        # tells that the row can be ticked.
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

    # The keys, typed into the list, which has held the focus since start-up:
    # as the window takes the keyboard, the first row becomes current.
    def focused_row():
        return next((r for r in range(table.nRows)
                     if states(table.getAccessibleAt(r, 0)).contains(pyatspi.STATE_FOCUSED)), None)
    press(sys.argv[2])
    wait_until(f"row {focused_row()} is focused, not row 0", 3, lambda: focused_row() == 0)
    press(sys.argv[2], "Down", "space")
    wait_until("Space did not tick row 1 again", 3,
               lambda: states(table.getAccessibleAt(1, 0)).contains(pyatspi.STATE_CHECKED))
    if focused_row() != 1:
        fail(f"after Down the focused row is {focused_row()}, not row 1")
    press(sys.argv[2], "End")
    wait_until(f"End focused row {focused_row()}, not row 2", 3, lambda: focused_row() == 2)
    print("keys: row 0 focused with the window, Down and Space ticked row 1, End focused row 2")

    clear = buttons["Clear Results"]
    clear.queryAction().doAction(action_index(clear, "Press"))
    wait_until("rows left 3 s after 'Clear Results'", 3, lambda: table.nRows == 0)
    print("'Clear Results' pressed: no rows")


main()
