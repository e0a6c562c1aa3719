#!/usr/bin/python3
# A GTK 3 window that draws its own title bar: a header bar with minimise,
# maximise and close buttons.
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

window = Gtk.Window(title=sys.argv[1] if len(sys.argv) > 1 else "Tintra GTK 3 Header Bar")
header = Gtk.HeaderBar(title=window.get_title(), show_close_button=True)
header.set_decoration_layout("menu:minimize,maximize,close")
window.set_titlebar(header)
window.set_default_size(400, 200)
window.add(Gtk.Label(label="A window with a header bar"))
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
