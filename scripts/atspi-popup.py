#!/usr/bin/python3
"""Waits for a program's next popup menu and prints its items, one a line.

    atspi-popup.py PROGRAM [SECONDS] [CHOOSE]

Prints "listening" once it waits, then, when PROGRAM shows a popup menu within
SECONDS (default 10), the names of its items (separators as "-"). With CHOOSE it then
performs the action of the item of that name, as a click on it would. Exits 1 when no
popup menu appears. Popup menus are not reachable from a program's windows on the
accessibility bus; they announce themselves only as they are shown.
"""
import sys

import pyatspi
from gi.repository import GLib


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    program = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    choose = sys.argv[3] if len(sys.argv) > 3 else None
    result = {"status": 1}

    def on_showing(event):
        try:
            menu = event.source
            if (
                event.detail1 != 1
                or menu.getRole() != pyatspi.ROLE_POPUP_MENU
                or menu.getApplication().name != program
            ):
                return
            items = [menu.getChildAtIndex(i) for i in range(menu.childCount)]
            for item in items:
                is_separator = item.getRole() == pyatspi.ROLE_SEPARATOR
                print("-" if is_separator else (item.name or ""), flush=True)
            result["status"] = 0
            if choose is not None:
                chosen = [item for item in items if item.name == choose]
                if not chosen or not chosen[0].queryAction().doAction(0):
                    print(f"atspi-popup: could not choose {choose!r}", file=sys.stderr)
                    result["status"] = 1
        except Exception as error:  # the menu closed while being read
            print(f"atspi-popup: {error}", file=sys.stderr)
        pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop())
    print("listening", flush=True)
    pyatspi.Registry.start()
    if result["status"] != 0 and choose is None:
        print(f"atspi-popup: no popup menu of {program}", file=sys.stderr)
    return result["status"]


if __name__ == "__main__":
    sys.exit(main())
