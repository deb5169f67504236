#!/usr/bin/python3
"""Prints where one widget of a running program is on the screen, or the text it holds.

    atspi-widget.py where|text PROGRAM ROLE NAME [SECONDS]

Finds the first widget of PROGRAM that is shown, has role ROLE (as atspi-texts.py prints
it, e.g. "table cell") and whose name is NAME. "where" prints the screen position of its
centre as "X Y", for a pointer to be moved there; "text" prints the text it holds (a
field's content, which its name does not tell). Waits up to SECONDS (default 10) for such
a widget; exits 1 when none appears.
"""
import sys
import time

import pyatspi

from atspi_tree import applications, find


def main():
    if len(sys.argv) < 5 or sys.argv[1] not in ("where", "text"):
        print(__doc__, file=sys.stderr)
        return 2
    mode, program, role, name = sys.argv[1:5]
    deadline = time.monotonic() + (float(sys.argv[5]) if len(sys.argv) > 5 else 10.0)
    while True:
        for app in applications(program):
            widget = find(app, role, name)
            if widget is not None and mode == "text":
                print(widget.queryText().getText(0, -1))
                return 0
            if widget is not None:
                box = widget.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                if box.width > 0 and box.height > 0:
                    print(f"{box.x + box.width // 2} {box.y + box.height // 2}")
                    return 0
        if time.monotonic() >= deadline:
            print(f"atspi-widget: no shown {role} {name!r} in {program}", file=sys.stderr)
            return 1
        time.sleep(0.1)


if __name__ == "__main__":
    sys.exit(main())
