"""Prints "X Y WIDTH HEIGHT", in screen pixels, of the first showing element
named ARGV[2] (with role ARGV[3] when given, e.g. "push button") in the
application of process id ARGV[1], walking its accessibility tree over
AT-SPI. With --press before the arguments it also performs the element's first
action (a button's press, a switch's toggle). Exit status 1 when there is no
such element."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def applications(pid):
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        child = desktop.get_child_at_index(index)
        if child is not None and child.get_process_id() == pid:
            yield child


def find(root, name, role):
    queue = [root]
    visited = 0
    while queue and visited < 5000:
        element = queue.pop(0)
        visited += 1
        try:
            if element.get_name() == name and (role is None or element.get_role_name() == role):
                if element.get_state_set().contains(Atspi.StateType.SHOWING):
                    return element
            queue.extend(element.get_child_at_index(i) for i in range(element.get_child_count()))
        except gi.repository.GLib.Error:
            continue
    return None


arguments = sys.argv[1:]
press = arguments[:1] == ["--press"]
if press:
    arguments = arguments[1:]
pid, name = int(arguments[0]), arguments[1]
role = arguments[2] if len(arguments) > 2 else None
for app in applications(pid):
    found = find(app, name, role)
    if found is not None:
        extents = found.get_extents(Atspi.CoordType.SCREEN)
        print(extents.x, extents.y, extents.width, extents.height)
        if press:
            found.get_action_iface().do_action(0)
        sys.exit(0)
sys.exit(1)
