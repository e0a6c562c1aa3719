#!/usr/bin/python3
# A GTK 4 window with the controls of the GTK 3 program where GTK 4 has them: a
# menu bar with a submenu, push, default and cancel buttons, toggle, check box,
# radio buttons, expander, drop-down, spin button, slider, and tabs holding a
# list with expandable rows and a plain list, and a tooltip. Ctrl+N opens a
# second window, Ctrl+D a dialog, Ctrl+L an alert (also from the File menu).
# GTK 4 places its own windows nowhere: the window manager does.
import sys

import gi

gi.require_version("Gtk", "4.0")
from gi.repository import Gio, Gtk  # noqa: E402

TITLE = sys.argv[1] if len(sys.argv) > 1 else "Tintra GTK 4 Controls"


def open_window(*_):
    window = Gtk.Window(title="Second Window", application=application)
    window.set_default_size(300, 200)
    window.set_child(Gtk.Label(label="A second window"))
    window.present()


def open_dialog(*_):
    dialog = Gtk.Dialog(title="Question", transient_for=main, modal=True)
    dialog.add_button("_Cancel", Gtk.ResponseType.CANCEL)
    dialog.add_button("_OK", Gtk.ResponseType.OK)
    dialog.set_default_response(Gtk.ResponseType.OK)
    dialog.get_content_area().append(Gtk.Label(label="Go on?"))
    dialog.connect("response", lambda d, _: d.destroy())
    dialog.present()


def open_alert(*_):
    alert = Gtk.MessageDialog(transient_for=main, modal=True, message_type=Gtk.MessageType.WARNING,
                              buttons=Gtk.ButtonsType.OK, text="Something happened")
    alert.connect("response", lambda d, _: d.destroy())
    alert.present()


def add_action(name, handler, accelerator=None):
    action = Gio.SimpleAction.new(name, None)
    action.connect("activate", handler)
    application.add_action(action)
    if accelerator:
        application.set_accels_for_action("app." + name, [accelerator])


def menu_bar():
    file_menu = Gio.Menu()
    file_menu.append("_New Window", "app.new-window")
    file_menu.append("_Dialog", "app.dialog")
    file_menu.append("_Alert", "app.alert")
    recent = Gio.Menu()
    recent.append("First", "app.nothing")
    recent.append("Second", "app.nothing")
    file_menu.append_submenu("_Recent", recent)
    file_menu.append("_Quit", "app.quit")
    edit_menu = Gio.Menu()
    edit_menu.append("Copy", "app.nothing")
    edit_menu.append("Paste", "app.nothing")
    model = Gio.Menu()
    model.append_submenu("_File", file_menu)
    model.append_submenu("_Edit", edit_menu)
    return Gtk.PopoverMenuBar.new_from_model(model)


def tree():
    # A list with expandable rows: GTK 4's tree view shows its rows to nobody.
    def children(item):
        if not item.get_string().startswith("Parent"):
            return None
        rows = Gtk.StringList()
        for child in range(3):
            rows.append("Child %s.%d" % (item.get_string()[-1], child))
        return rows

    rows = Gtk.StringList()
    for parent in range(3):
        rows.append("Parent %d" % parent)
    for extra in range(30):
        rows.append("Row %d" % extra)
    model = Gtk.TreeListModel.new(rows, False, False, children)
    factory = Gtk.SignalListItemFactory()

    def setup(_, item):
        expander = Gtk.TreeExpander()
        expander.set_child(Gtk.Label(xalign=0))
        item.set_child(expander)

    def bind(_, item):
        row = item.get_item()
        item.get_child().set_list_row(row)
        item.get_child().get_child().set_label(row.get_item().get_string())

    factory.connect("setup", setup)
    factory.connect("bind", bind)
    view = Gtk.ListView(model=Gtk.SingleSelection(model=model), factory=factory)
    scrolled = Gtk.ScrolledWindow(vexpand=True)
    scrolled.set_policy(Gtk.PolicyType.NEVER, Gtk.PolicyType.ALWAYS)
    scrolled.set_overlay_scrolling(False)
    scrolled.set_size_request(-1, 240)
    scrolled.set_child(view)
    return scrolled


def activate(_):
    global main
    add_action("new-window", open_window, "<Control>n")
    add_action("dialog", open_dialog, "<Control>d")
    add_action("alert", open_alert, "<Control>l")
    add_action("quit", lambda *_: application.quit(), "<Control>q")
    add_action("nothing", lambda *_: None)

    main = Gtk.ApplicationWindow(application=application, title=TITLE)
    main.set_default_size(760, 600)
    grid = Gtk.Grid(column_spacing=12, row_spacing=12, margin_start=12, margin_end=12, margin_top=12, margin_bottom=12)
    push = Gtk.Button(label="Push Me", tooltip_text="This is a tooltip")
    default = Gtk.Button(label="Default")
    grid.attach(push, 0, 0, 1, 1)
    grid.attach(default, 1, 0, 1, 1)
    grid.attach(Gtk.Button(label="Cancel"), 2, 0, 1, 1)
    grid.attach(Gtk.ToggleButton(label="Toggle"), 3, 0, 1, 1)
    grid.attach(Gtk.CheckButton(label="Check"), 0, 1, 1, 1)
    radio_a = Gtk.CheckButton(label="Radio A")
    grid.attach(radio_a, 1, 1, 1, 1)
    grid.attach(Gtk.CheckButton(label="Radio B", group=radio_a), 2, 1, 1, 1)
    grid.attach(Gtk.Expander(label="More"), 3, 1, 1, 1)
    grid.attach(Gtk.DropDown.new_from_strings(["Alpha", "Beta", "Gamma"]), 0, 2, 1, 1)
    grid.attach(Gtk.SpinButton.new_with_range(0, 100, 1), 1, 2, 1, 1)
    slider = Gtk.Scale.new_with_range(Gtk.Orientation.HORIZONTAL, 0, 100, 1)
    slider.set_size_request(160, -1)
    grid.attach(slider, 2, 2, 2, 1)
    listbox = Gtk.ListBox()
    for index in range(5):
        listbox.append(Gtk.Label(label="List row %d" % index))
    notebook = Gtk.Notebook()
    notebook.append_page(tree(), Gtk.Label(label="Tree Tab"))
    notebook.append_page(listbox, Gtk.Label(label="List Tab"))
    grid.attach(notebook, 0, 3, 4, 1)

    box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
    box.append(menu_bar())
    box.append(grid)
    main.set_child(box)
    main.set_default_widget(default)
    main.present()


# Several may run at once, each its own process.
application = Gtk.Application(flags=Gio.ApplicationFlags.NON_UNIQUE)
application.connect("activate", activate)
main = None
application.run([sys.argv[0]])
