#!/usr/bin/python3
"""Performs an accessibility action on one widget of a running program.

    atspi-do.py PROGRAM ROLE NAME [ACTION] [SECONDS]

Finds the first widget of PROGRAM that is shown, has role ROLE (as atspi-texts.py
prints it, e.g. "push button") and whose name is NAME, and performs ACTION on it
(default: the widget's first action, a button's press). "focus" gives the widget the
keyboard focus instead. Menu items count whether or not their menu is open: their
action runs without opening it. Waits up to SECONDS (default 10) for such a widget;
exits 1 when none appears or the action fails. Works on any display server: the program
performs the action itself, no input event is synthesised.
"""
import sys
import time

from gi.repository import Atspi, GLib

from atspi_tree import applications, find


def perform(widget, action):
    if action == "focus":
        return widget.queryComponent().grabFocus()
    actions = widget.queryAction()
    if actions.nActions == 0:
        return False
    if action is None:
        return actions.doAction(0)
    for index in range(actions.nActions):
        if actions.getName(index) == action:
            return actions.doAction(index)
    names = [actions.getName(i) for i in range(actions.nActions)]
    print(f"atspi-do: no action {action!r}; there are {names}", file=sys.stderr)
    return False


def main():
    # Short, for the modal commands above; the first value applies to every call.
    Atspi.set_timeout(2000, 15000)
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    program, role, name = sys.argv[1:4]
    action = sys.argv[4] if len(sys.argv) > 4 and sys.argv[4] else None
    deadline = time.monotonic() + (float(sys.argv[5]) if len(sys.argv) > 5 else 10.0)
    while True:
        for app in applications(program):
            widget = find(app, role, name, hidden_menu_items=True)
            if widget is not None:
                try:
                    return 0 if perform(widget, action) else 1
                except GLib.GError as error:
                    # A command that opens a modal dialog answers only once the dialog is
                    # closed: the action did run.
                    if "timed out" in str(error).lower() or "timeout" in str(error).lower():
                        return 0
                    print(f"atspi-do: {error}", file=sys.stderr)
                    return 1
                except Exception as error:  # the widget went away meanwhile
                    print(f"atspi-do: {error}", file=sys.stderr)
                    return 1
        if time.monotonic() >= deadline:
            print(f"atspi-do: no shown {role} {name!r} in {program}", file=sys.stderr)
            return 1
        time.sleep(0.1)


if __name__ == "__main__":
    sys.exit(main())
