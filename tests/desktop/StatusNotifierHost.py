#!/usr/bin/python3
"""A stand-in for a desktop panel's tray: a StatusNotifierWatcher on the
session bus with one host registered, so that Qt shows its tray icon as a
StatusNotifierItem that tests read over D-Bus. Prints "ready" once it owns
its names; runs until it is stopped."""

import os
import sys

from gi.repository import Gio, GLib

WATCHER = """
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
</node>"""

PATH = "/StatusNotifierWatcher"
items = []


def call(connection, sender, path, interface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        service = parameters.unpack()[0]
        # An item names its bus name or its object path; either way it is both.
        item = sender + service if service.startswith("/") else service + "/StatusNotifierItem"
        if item not in items:
            items.append(item)
            connection.emit_signal(None, PATH, interface, "StatusNotifierItemRegistered", GLib.Variant("(s)", (item,)))
    invocation.return_value(None)


def get_property(connection, sender, path, interface, name):
    if name == "RegisteredStatusNotifierItems":
        return GLib.Variant("as", items)
    if name == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", True)
    return GLib.Variant("i", 0)


def bus_acquired(connection, name):
    node = Gio.DBusNodeInfo.new_for_xml(WATCHER)
    connection.register_object(PATH, node.interfaces[0], call, get_property, None)


def owned(connection, name):
    if name == "org.kde.StatusNotifierWatcher":
        print("ready", flush=True)


def lost(connection, name):
    print(f"StatusNotifierHost: could not own {name}", file=sys.stderr, flush=True)
    loop.quit()


loop = GLib.MainLoop()
Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE,
                 bus_acquired, owned, lost)
Gio.bus_own_name(Gio.BusType.SESSION, f"org.kde.StatusNotifierHost-{os.getpid()}", Gio.BusNameOwnerFlags.NONE,
                 None, None, None)
loop.run()
