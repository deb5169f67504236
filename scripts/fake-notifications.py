#!/usr/bin/python3
"""A stand-in desktop notification service for tests, on the session bus.

    fake-notifications.py serve      own org.freedesktop.Notifications until killed,
                                     taking it over from another owner and letting a
                                     newer one take it ("replaced"); prints "ready", then
                                     "ID<TAB>SUMMARY<TAB>BODY" for each notification
                                     asked for
    fake-notifications.py serve hang     the same, but never answers a Notify call
    fake-notifications.py serve vanish   the same, but leaves the bus as soon as a
                                         Notify call comes, without answering it
    fake-notifications.py click ID   the user clicks notification ID (its default action)

The click goes through the serving process, since only the service's owner may send
its ActionInvoked signal.
"""
import os
import sys

from gi.repository import Gio, GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
CONTROL = "test.FakeNotifications"
TIMEOUT_MS = 5000

XML = """
<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
      <arg type="u" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
    <signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
    <signal name="NotificationClosed"><arg type="u"/><arg type="u"/></signal>
  </interface>
  <interface name="test.FakeNotifications">
    <method name="Click"><arg type="u" direction="in"/></method>
  </interface>
</node>
"""


def serve(mode):
    loop = GLib.MainLoop()
    counter = [0]
    unanswered = []

    def on_call(connection, sender, path, interface, method, params, invocation):
        if method == "Notify":
            args = params.unpack()
            counter[0] += 1
            print(f"{counter[0]}\t{args[3]}\t{args[4]}", flush=True)
            if mode == "hang":
                unanswered.append(invocation)
            elif mode == "vanish":
                os._exit(0)
            else:
                invocation.return_value(GLib.Variant("(u)", (counter[0],)))
        elif method == "GetCapabilities":
            invocation.return_value(GLib.Variant("(as)", (["actions", "body"],)))
        elif method == "GetServerInformation":
            invocation.return_value(GLib.Variant("(ssss)", ("fake", "test", "1", "1.2")))
        elif method == "CloseNotification":
            invocation.return_value(None)
        elif method == "Click":
            (number,) = params.unpack()
            connection.emit_signal(None, PATH, NAME, "ActionInvoked",
                                   GLib.Variant("(us)", (number, "default")))
            invocation.return_value(None)
        else:
            invocation.return_dbus_error("org.freedesktop.DBus.Error.UnknownMethod", method)

    def on_bus(connection, name):
        for info in Gio.DBusNodeInfo.new_for_xml(XML).interfaces:
            connection.register_object(PATH, info, on_call, None, None)

    def on_name(connection, name):
        owned[0] = True
        print("ready", flush=True)

    def on_lost(connection, name):
        if owned[0]:
            # Taken over by a newer service; stays on the bus as a replaced one would.
            print("replaced", flush=True)
            return
        print(f"fake-notifications: could not own {name}", file=sys.stderr, flush=True)
        loop.quit()

    owned = [False]
    Gio.bus_own_name(Gio.BusType.SESSION, NAME,
                     Gio.BusNameOwnerFlags.ALLOW_REPLACEMENT | Gio.BusNameOwnerFlags.REPLACE,
                     on_bus, on_name, on_lost)
    loop.run()
    return 1


def click(number):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync(NAME, PATH, CONTROL, "Click", GLib.Variant("(u)", (int(number),)), None,
                  Gio.DBusCallFlags.NONE, TIMEOUT_MS, None)
    return 0


if __name__ == "__main__":
    if len(sys.argv) in (2, 3) and sys.argv[1] == "serve" and sys.argv[2:] in ([], ["hang"],
                                                                          ["vanish"]):
        sys.exit(serve(sys.argv[2] if len(sys.argv) == 3 else ""))
    if len(sys.argv) == 3 and sys.argv[1] == "click":
        sys.exit(click(sys.argv[2]))
    print(__doc__, file=sys.stderr)
    sys.exit(2)
