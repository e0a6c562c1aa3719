"""Prints "X Y WIDTH HEIGHT", in screen pixels, of the first showing element
named ARGV[2] (with role ARGV[3] when given, e.g. "push button") in the
application of process id ARGV[1], walking its accessibility tree over
AT-SPI. GTK 4 tells positions in its window: its window's place is asked of
the window server (through xdotool and xwininfo). With --press before the arguments it also performs the element's first
action (a button's press, a switch's toggle). Exit status 1 when there is no
such element."""
import re
import subprocess
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


def shown(element, gtk4):
    # GTK 4 marks only its windows as showing, the rest as visible.
    states = element.get_state_set()
    if not gtk4:
        return states.contains(Atspi.StateType.SHOWING)
    extents = element.get_extents(Atspi.CoordType.WINDOW)
    return states.contains(Atspi.StateType.VISIBLE) and extents.width > 0 and extents.height > 0


def find(root, name, role, gtk4):
    queue = [root]
    visited = 0
    while queue and visited < 5000:
        element = queue.pop(0)
        visited += 1
        try:
            if element.get_name() == name and (role is None or element.get_role_name() == role):
                if shown(element, gtk4):
                    return element
            queue.extend(element.get_child_at_index(i) for i in range(element.get_child_count()))
        except gi.repository.GLib.Error:
            continue
    return None


def window_origin(element, pid):
    top = element
    while top.get_parent() is not None and top.get_parent().get_role() != Atspi.Role.APPLICATION:
        top = top.get_parent()
    windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", "^%s$" % re.escape(top.get_name())],
                             capture_output=True, text=True).stdout.split()
    if not windows:
        return 0, 0
    # xwininfo, as xdotool's geometry counts the window manager's frame twice.
    info = subprocess.run(["xwininfo", "-id", windows[0]], capture_output=True, text=True).stdout
    place = dict(line.strip().split(":", 1) for line in info.splitlines() if "Absolute upper-left" in line)
    return int(place["Absolute upper-left X"]), int(place["Absolute upper-left Y"])


arguments = sys.argv[1:]
press = arguments[:1] == ["--press"]
if press:
    arguments = arguments[1:]
pid, name = int(arguments[0]), arguments[1]
role = arguments[2] if len(arguments) > 2 else None
for app in applications(pid):
    gtk4 = app.get_toolkit_version().startswith("4.")
    found = find(app, name, role, gtk4)
    if found is not None:
        extents = found.get_extents(Atspi.CoordType.WINDOW if gtk4 else Atspi.CoordType.SCREEN)
        x, y = window_origin(found, pid) if gtk4 else (0, 0)
        print(x + extents.x, y + extents.y, extents.width, extents.height)
        if press:
            found.get_action_iface().do_action(0)
        sys.exit(0)
sys.exit(1)
