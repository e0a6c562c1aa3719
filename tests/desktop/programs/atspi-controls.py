"""Prints every control of the application with process id ARGV[1] as
ROLE<TAB>NAME lines, walking its accessibility tree over AT-SPI; the insides of
lists, tables and pickers are left out. Exit status 1 when the application is not on the bus."""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

CONTROLS = {
    Atspi.Role.PUSH_BUTTON,
    Atspi.Role.TOGGLE_BUTTON,
    Atspi.Role.CHECK_BOX,
    Atspi.Role.RADIO_BUTTON,
    Atspi.Role.COMBO_BOX,
    Atspi.Role.SLIDER,
    Atspi.Role.ENTRY,
    Atspi.Role.PAGE_TAB,
    Atspi.Role.PROGRESS_BAR,
    Atspi.Role.TREE,
    Atspi.Role.TREE_TABLE,
    Atspi.Role.LIST,
}
# A picker's pop-up list is its own to name, and its items are the choices.
LEAVES = {Atspi.Role.TREE, Atspi.Role.TREE_TABLE, Atspi.Role.LIST, Atspi.Role.TABLE, Atspi.Role.COMBO_BOX}


def application(pid):
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        child = desktop.get_child_at_index(index)
        if child is not None and child.get_process_id() == pid:
            return child
    return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    role = node.get_role()
    if role in CONTROLS:
        print(f"{role.value_nick}\t{node.get_name() or ''}")
    if role in LEAVES:
        return
    for index in range(node.get_child_count()):
        walk(node.get_child_at_index(index), depth + 1)


def main():
    pid = int(sys.argv[1])
    deadline = time.monotonic() + 10
    found = application(pid)
    while found is None and time.monotonic() < deadline:
        time.sleep(0.2)
        found = application(pid)
    if found is None:
        print(f"no application with pid {pid} on the accessibility bus", file=sys.stderr)
        return 1
    walk(found)
    return 0


sys.exit(main())
