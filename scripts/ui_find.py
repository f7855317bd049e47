#!/usr/bin/python3
"""Finds a control of a running Qt program through the accessibility bus (AT-SPI), for the scripts
that drive the program under Xvfb: clicks go where the control really is, whatever the layout.

    ui_find.py APP ROLE NAME [TIMEOUT]   prints "x y width height" of the first showing control
                                         with that role and name (a regular expression),
                                         in screen coordinates; waits up to TIMEOUT seconds
                                         (10). Role "window": a top-level window of any role
                                         (frame, dialog, filler), by its caption
    ui_find.py APP --focus ROLE NAME     gives that control the keyboard focus (a control the
                                         screen does not show is reached by the keyboard)
    ui_find.py APP --tree                prints every control, for finding roles and names

The program needs QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and a D-Bus session (dbus-run-session)."""
import re
import sys
import time

import pyatspi


def controls(node, depth=0):
    if node is None or depth > 40:
        return
    yield node, depth
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from controls(child, depth + 1)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def find(app_name, role, name, node_only=False):
    app = application(app_name)
    if app is None:
        return None
    pattern = re.compile(name)
    for node, depth in controls(app):
        try:
            if role == "window":
                if depth != 1:
                    continue
            elif role != node.getRoleName():
                continue
            if not pattern.fullmatch(node.name or ""):
                continue
            if not node.getState().contains(pyatspi.STATE_SHOWING):
                continue
            x, y, w, h = extents(node)
        except Exception:
            continue
        if w > 0 and h > 0:
            return node if node_only else (x, y, w, h)
    return None


def main():
    if len(sys.argv) == 3 and sys.argv[2] == "--tree":
        app = application(sys.argv[1])
        if app is None:
            sys.exit("ui_find: no application " + sys.argv[1])
        for node, depth in controls(app):
            try:
                print("  " * depth + "%s %r %s" % (node.getRoleName(), node.name, extents(node)))
            except Exception:
                pass
        return
    if len(sys.argv) == 5 and sys.argv[2] == "--focus":
        node = find(sys.argv[1], sys.argv[3], sys.argv[4], node_only=True)
        if node is None or not node.queryComponent().grabFocus():
            sys.exit("ui_find: cannot focus %s %r in %s" % (sys.argv[3], sys.argv[4], sys.argv[1]))
        return
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    deadline = time.monotonic() + (float(sys.argv[4]) if len(sys.argv) == 5 else 10)
    while True:
        found = find(*sys.argv[1:4])
        if found:
            print(*found)
            return
        if time.monotonic() > deadline:
            sys.exit("ui_find: no showing %s %r in %s" % (sys.argv[2], sys.argv[3], sys.argv[1]))
        time.sleep(0.2)


if __name__ == "__main__":
    main()
