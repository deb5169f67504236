#!/usr/bin/python3
"""Prints the widgets of a running program as the accessibility bus shows them.

    atspi-texts.py PROGRAM [SECONDS]

One line per widget: its depth, role, name and visibility, tab-separated, with line
breaks in names written as \\n; of a table only the first cells. Waits up to SECONDS
(default 10) for PROGRAM to show a window; exits 1 when it does not.
"""
import sys
import time

import pyatspi

MAX_TABLE_CHILDREN = 60


def find_application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == name and app.childCount > 0:
            return app
    return None


def walk(node, depth, out):
    if node is None or depth > 30:
        return
    name = (node.name or "").replace("\\", "\\\\").replace("\n", "\\n")
    showing = node.getState().contains(pyatspi.STATE_SHOWING)
    out.append(f"{depth}\t{node.getRoleName()}\t{name}\t{'shown' if showing else 'hidden'}")
    # A long list would take minutes to walk cell by cell: its first rows tell enough.
    count = node.childCount
    if node.getRole() == pyatspi.ROLE_TABLE:
        count = min(count, MAX_TABLE_CHILDREN)
    for index in range(count):
        walk(node.getChildAtIndex(index), depth + 1, out)


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    deadline = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) > 2 else 10.0)
    app = find_application(sys.argv[1])
    while app is None and time.monotonic() < deadline:
        time.sleep(0.1)
        app = find_application(sys.argv[1])
    if app is None:
        print(f"atspi-texts: no window of {sys.argv[1]} on the accessibility bus", file=sys.stderr)
        return 1
    lines = []
    walk(app, 0, lines)
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
