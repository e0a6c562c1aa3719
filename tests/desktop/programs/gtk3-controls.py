#!/usr/bin/python3
# A GTK 3 window with one of every control the desktop tests look for: a menu
# bar with a submenu, push, default and cancel buttons, toggle, check box,
# radio buttons, expander, combo box, spin button, slider, scroll bar, tabs
# holding a tree with expandable rows and a list, and a tooltip. Ctrl+N opens a
# second window, Ctrl+D a dialog, Ctrl+L an alert (also from the File menu).
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

TITLE = sys.argv[1] if len(sys.argv) > 1 else "Tintra GTK 3 Controls"


def open_window(*_):
    window = Gtk.Window(title="Second Window")
    window.set_default_size(300, 200)
    window.add(Gtk.Label(label="A second window"))
    window.show_all()


def open_dialog(*_):
    dialog = Gtk.Dialog(title="Question", transient_for=main, modal=True)
    dialog.add_button("_Cancel", Gtk.ResponseType.CANCEL)
    dialog.add_button("_OK", Gtk.ResponseType.OK).grab_default()
    dialog.set_default_response(Gtk.ResponseType.OK)
    dialog.get_content_area().add(Gtk.Label(label="Go on?"))
    dialog.show_all()
    dialog.connect("response", lambda d, _: d.destroy())


def open_alert(*_):
    alert = Gtk.MessageDialog(transient_for=main, modal=True, message_type=Gtk.MessageType.WARNING,
                              buttons=Gtk.ButtonsType.OK, text="Something happened")
    alert.show_all()
    alert.connect("response", lambda d, _: d.destroy())


def menu_item(label, accelerators, key=None, action=None):
    item = Gtk.MenuItem.new_with_mnemonic(label)
    if key:
        item.add_accelerator("activate", accelerators, ord(key), Gdk.ModifierType.CONTROL_MASK, Gtk.AccelFlags.VISIBLE)
    if action:
        item.connect("activate", action)
    return item


main = Gtk.Window(title=TITLE)
main.set_default_size(760, 600)
main.move(40, 40)
main.connect("destroy", Gtk.main_quit)
accelerators = Gtk.AccelGroup()
main.add_accel_group(accelerators)

bar = Gtk.MenuBar()
file_menu = Gtk.Menu()
file_item = Gtk.MenuItem.new_with_mnemonic("_File")
file_item.set_submenu(file_menu)
file_menu.append(menu_item("_New Window", accelerators, "n", open_window))
file_menu.append(menu_item("_Dialog", accelerators, "d", open_dialog))
file_menu.append(menu_item("_Alert", accelerators, "l", open_alert))
recent = Gtk.MenuItem.new_with_mnemonic("_Recent")
recent_menu = Gtk.Menu()
recent_menu.append(Gtk.MenuItem(label="First"))
recent_menu.append(Gtk.MenuItem(label="Second"))
recent.set_submenu(recent_menu)
file_menu.append(recent)
file_menu.append(menu_item("_Quit", accelerators, "q", Gtk.main_quit))
bar.append(file_item)
edit_menu = Gtk.Menu()
edit_item = Gtk.MenuItem.new_with_mnemonic("_Edit")
edit_item.set_submenu(edit_menu)
edit_menu.append(Gtk.MenuItem(label="Copy"))
edit_menu.append(Gtk.MenuItem(label="Paste"))
bar.append(edit_item)

grid = Gtk.Grid(column_spacing=12, row_spacing=12, margin=12)
push = Gtk.Button(label="Push Me")
push.set_tooltip_text("This is a tooltip")
default = Gtk.Button(label="Default")
default.set_can_default(True)
cancel = Gtk.Button(label="Cancel")
grid.attach(push, 0, 0, 1, 1)
grid.attach(default, 1, 0, 1, 1)
grid.attach(cancel, 2, 0, 1, 1)
grid.attach(Gtk.ToggleButton(label="Toggle"), 3, 0, 1, 1)
grid.attach(Gtk.CheckButton(label="Check"), 0, 1, 1, 1)
radio_a = Gtk.RadioButton(label="Radio A")
grid.attach(radio_a, 1, 1, 1, 1)
grid.attach(Gtk.RadioButton(label="Radio B", group=radio_a), 2, 1, 1, 1)
grid.attach(Gtk.Expander(label="More"), 3, 1, 1, 1)
combo = Gtk.ComboBoxText()
for text in ("Alpha", "Beta", "Gamma"):
    combo.append_text(text)
combo.set_active(0)
grid.attach(combo, 0, 2, 1, 1)
grid.attach(Gtk.SpinButton.new_with_range(0, 100, 1), 1, 2, 1, 1)
slider = Gtk.Scale.new_with_range(Gtk.Orientation.HORIZONTAL, 0, 100, 1)
slider.set_size_request(160, -1)
grid.attach(slider, 2, 2, 2, 1)

store = Gtk.TreeStore(str)
for parent in range(3):
    row = store.append(None, ["Parent %d" % parent])
    for child in range(3):
        store.append(row, ["Child %d.%d" % (parent, child)])
for extra in range(30):
    store.append(None, ["Row %d" % extra])
tree = Gtk.TreeView(model=store)
tree.append_column(Gtk.TreeViewColumn("Name", Gtk.CellRendererText(), text=0))
scrolled = Gtk.ScrolledWindow()
scrolled.set_policy(Gtk.PolicyType.NEVER, Gtk.PolicyType.ALWAYS)
scrolled.set_overlay_scrolling(False)
scrolled.set_size_request(-1, 240)
scrolled.add(tree)
listbox = Gtk.ListBox()
for index in range(5):
    listbox.add(Gtk.Label(label="List row %d" % index))
notebook = Gtk.Notebook()
notebook.append_page(scrolled, Gtk.Label(label="Tree Tab"))
notebook.append_page(listbox, Gtk.Label(label="List Tab"))
grid.attach(notebook, 0, 3, 4, 1)

box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
box.pack_start(bar, False, False, 0)
box.pack_start(grid, True, True, 0)
main.add(box)
main.show_all()
# GTK 3 shows a main window's default only while no other button has the focus.
default.grab_default()
default.grab_focus()
Gtk.main()
