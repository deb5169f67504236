#!/usr/bin/python3
"""A small StatusNotifier watcher and host for tests, on the session bus.

    sni-host.py serve              own org.kde.StatusNotifierWatcher until killed;
                                   prints "ready" once it does, then each registration
    sni-host.py items              the registered items, one "SERVICE PATH" a line
    sni-host.py activate ITEM X Y  calls the item's Activate(X, Y)
    sni-host.py context ITEM X Y   calls the item's ContextMenu(X, Y)
    sni-host.py menu ITEM          the labels of the item's exported menu, one a line
    sni-host.py property ITEM NAME one property of the item

ITEM is a line of `items`. Desktops whose tray speaks this protocol (instead of
embedding an X window) send a click as Activate and a right click as ContextMenu, or
read the exported menu and show it themselves; this script does the same from a test.
"""
import sys

from gi.repository import Gio, GLib

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
TIMEOUT_MS = 5000

WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""


def serve():
    items = []
    loop = GLib.MainLoop()

    def on_call(connection, sender, path, interface, method, params, invocation):
        if method == "RegisterStatusNotifierItem":
            (service,) = params.unpack()
            # An item names either its object path (then it lives at the sender) or a
            # bus name (then at the usual path).
            if service.startswith("/"):
                item = f"{sender} {service}"
            else:
                item = f"{service} /StatusNotifierItem"
            if item not in items:
                items.append(item)
                print(item, flush=True)
                connection.emit_signal(
                    None, WATCHER_PATH, WATCHER, "StatusNotifierItemRegistered",
                    GLib.Variant("(s)", (item,)))
            invocation.return_value(None)
        elif method == "RegisterStatusNotifierHost":
            invocation.return_value(None)
        else:
            invocation.return_dbus_error("org.freedesktop.DBus.Error.UnknownMethod", method)

    def on_get(connection, sender, path, interface, name):
        if name == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", items)
        if name == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", True)
        if name == "ProtocolVersion":
            return GLib.Variant("i", 0)
        return None

    def on_bus(connection, name):
        info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
        connection.register_object(WATCHER_PATH, info, on_call, on_get, None)

    def on_name(connection, name):
        print("ready", flush=True)

    def on_lost(connection, name):
        print(f"sni-host: could not own {name}", file=sys.stderr, flush=True)
        loop.quit()

    Gio.bus_own_name(Gio.BusType.SESSION, WATCHER, Gio.BusNameOwnerFlags.NONE,
                     on_bus, on_name, on_lost)
    loop.run()
    return 1


def bus():
    return Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(service, path, interface, method, params, reply_type=None):
    return bus().call_sync(service, path, interface, method, params,
                           GLib.VariantType.new(reply_type) if reply_type else None,
                           Gio.DBusCallFlags.NONE, TIMEOUT_MS, None)


def get_property(service, path, interface, name):
    reply = call(service, path, "org.freedesktop.DBus.Properties", "Get",
                 GLib.Variant("(ss)", (interface, name)), "(v)")
    return reply.unpack()[0]


def items():
    for item in get_property(WATCHER, WATCHER_PATH, WATCHER, "RegisteredStatusNotifierItems"):
        print(item)
    return 0


def split_item(text):
    service, _, path = text.partition(" ")
    return service, path or "/StatusNotifierItem"


def labels(layout, depth, out):
    _, properties, children = layout
    if depth > 0:
        if properties.get("type") == "separator":
            out.append("-")
        elif properties.get("visible", True):
            out.append(("\t" * (depth - 1)) + properties.get("label", ""))
    for child in children:
        labels(child, depth + 1, out)


def menu(item):
    service, path = split_item(item)
    menu_path = get_property(service, path, ITEM, "Menu")
    if not menu_path or menu_path == "/":
        print("sni-host: the item exports no menu", file=sys.stderr)
        return 1
    # A host announces that a menu is about to be shown, so its owner can fill it.
    try:
        call(service, menu_path, MENU, "AboutToShow", GLib.Variant("(i)", (0,)))
    except GLib.Error:
        pass
    reply = call(service, menu_path, MENU, "GetLayout",
                 GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
    out = []
    labels(reply.unpack()[1], 0, out)
    print("\n".join(out))
    return 0


def main():
    args = sys.argv[1:]
    try:
        if args == ["serve"]:
            return serve()
        if args == ["items"]:
            return items()
        if len(args) == 4 and args[0] in ("activate", "context"):
            service, path = split_item(args[1])
            method = "Activate" if args[0] == "activate" else "ContextMenu"
            call(service, path, ITEM, method, GLib.Variant("(ii)", (int(args[2]), int(args[3]))))
            return 0
        if len(args) == 2 and args[0] == "menu":
            return menu(args[1])
        if len(args) == 3 and args[0] == "property":
            service, path = split_item(args[1])
            print(get_property(service, path, ITEM, args[2]))
            return 0
    except GLib.Error as error:
        print(f"sni-host: {error.message}", file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
