#!/usr/bin/python3
"""Reads the running Sablewick window as a screen reader does, through AT-SPI (the
accessibility bus of the test's own D-Bus session), and acts on it.

  atspi_probe.py list              one line per painted object: role, name, x, y, w, h
                                   (screen), and its states, tab-separated
  atspi_probe.py do NAME           the default action ("click") of the object named NAME
  atspi_probe.py watch SECONDS     prints the focus and name changes of the painted
                                   objects for that long: "focused NAME", "name NAME";
                                   prints "ready" once it listens
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

PAINTED = {
    Atspi.Role.PUSH_BUTTON: "button",
    Atspi.Role.LIST_ITEM: "listitem",
    Atspi.Role.STATUS_BAR: "status",
}
STATES = [
    (Atspi.StateType.ENABLED, "enabled"),
    (Atspi.StateType.PRESSED, "pressed"),
    (Atspi.StateType.FOCUSABLE, "focusable"),
    (Atspi.StateType.FOCUSED, "focused"),
    (Atspi.StateType.SELECTED, "selected"),
]


def application():
    desktop = Atspi.get_desktop(0)
    for _ in range(100):
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() in ("sablewick", "Sablewick"):
                return app
        time.sleep(0.1)
    sys.exit("no Sablewick application on the accessibility bus")


def painted(node, found):
    try:
        role = node.get_role()
    except GLib.Error:
        return
    if role in PAINTED:
        found.append(node)
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            painted(child, found)
    return found


def describe(node):
    ext = node.get_extents(Atspi.CoordType.SCREEN)
    states = node.get_state_set()
    names = [n for s, n in STATES if states.contains(s)]
    return "\t".join([PAINTED[node.get_role()], node.get_name(), str(ext.x), str(ext.y),
                      str(ext.width), str(ext.height), ",".join(names)])


def main():
    command = sys.argv[1] if len(sys.argv) > 1 else "list"
    app = application()
    if command == "list":
        for node in painted(app, []):
            print(describe(node))
    elif command == "do":
        for node in painted(app, []):
            if node.get_name() == sys.argv[2]:
                node.do_action(0)
                return
        sys.exit("no object named " + sys.argv[2])
    elif command == "watch":
        def on_event(event):
            source = event.source
            if source is None or source.get_role() not in PAINTED:
                return
            if event.type.startswith("object:state-changed:focused") and event.detail1:
                print("focused", source.get_name(), flush=True)
            elif event.type.startswith("object:property-change:accessible-name"):
                print("name", source.get_name(), flush=True)
        listener = Atspi.EventListener.new(on_event)
        listener.register("object:state-changed:focused")
        listener.register("object:property-change:accessible-name")
        print("ready", flush=True)
        loop = GLib.MainLoop()
        GLib.timeout_add(int(float(sys.argv[2]) * 1000), loop.quit)
        loop.run()
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
