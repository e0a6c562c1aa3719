#!/usr/bin/python3
"""A GTK 3 program that, on each SIGUSR1, closes the window it opened last and opens a new one,
writing the monotonic clock in nanoseconds as a line to the file ARGV[1] just before: the moment
it raised the window's accessibility event, which the benchmark takes as the start."""
import signal
import sys
import time

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

stamps = open(sys.argv[1], "a", buffering=1)
opened = None


def open_window():
    global opened
    if opened is not None:
        opened.destroy()
    opened = Gtk.Window(title="Emitted")
    stamps.write("%d\n" % time.monotonic_ns())
    opened.show()
    return GLib.SOURCE_CONTINUE


GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, open_window)
main = Gtk.Window(title="Tintra Window Emitter")
main.connect("destroy", Gtk.main_quit)
main.show()
Gtk.main()
