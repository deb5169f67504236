"""Finding a program's widgets on the accessibility bus, for the atspi-*.py scripts."""
import pyatspi

# A table's cells are listed only this far: a big list would take seconds to walk.
MAX_TABLE_CHILDREN = 60


def applications(name):
    """The running applications called NAME."""
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == name:
            yield app


def find(node, role, name, hidden_menu_items=False, depth=0):
    """The first shown widget below NODE of that role and name; a menu item counts while
    its menu is closed when HIDDEN_MENU_ITEMS is set (its action still runs)."""
    if node is None or depth > 30:
        return None
    if (
        node.getRoleName() == role
        and (node.name or "") == name
        and (
            (hidden_menu_items and role == "menu item")
            or node.getState().contains(pyatspi.STATE_SHOWING)
        )
    ):
        return node
    count = node.childCount
    if node.getRole() == pyatspi.ROLE_TABLE:
        count = min(count, MAX_TABLE_CHILDREN)
    for index in range(count):
        found = find(node.getChildAtIndex(index), role, name, hidden_menu_items, depth + 1)
        if found is not None:
            return found
    return None
