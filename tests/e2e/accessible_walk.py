#!/usr/bin/python3
"""What a screen reader hears of Prizmo: the window is read through AT-SPI, as Orca reads it,
in each state of one table. Every focusable control that shows must have a role and a name,
and a caption that stands beside it must be its label (the labelled-by relation). Run on an X
server and a session bus of its own: accessible_walk.sh starts both.

    accessible_walk.py PRIZMO
"""
import os
import subprocess
import sys
import time

import pyatspi

PATIENCE = 60  # seconds: a busy machine, three times slower

# The states the walk passes through, each with the keys that lead there and what its
# controls must be: (role, name, caption) where the caption is the name of the label a
# screen reader reads for it (None: no caption stands beside it). A list's name is its value.
STATES = [
    ("at start", [], []),
    ("the body open", ["alt+c", "Down", "Return"], [
        ("radio button", "Háttér: szín", None),
        ("push button", "Háttér választása", None),
        ("text", "Betüméret", "Betüméret"),
        ("push button", "Betüszín választása", "Betüszín"),
        ("push button", "KÉSZ", None),
    ]),
    ("a div open", ["Return", "alt+c", "Return"], [
        ("radio button", "Háttér: szín", None),
        ("push button", "Háttér választása", None),
        ("text", "Betüméret", "Betüméret"),
        ("push button", "Betüszín választása", "Betüszín"),
        ("text", "Szélesség", "Szélesség"),
        ("text", "Magasság", "Magasság"),
        ("combo box", "semmilyen", "Igazítás"),
        ("combo box", "relatív", "Pozíció"),
        ("text", "Pozíció", None),
        ("push button", "KÉSZ", None),
    ]),
    ("the save panel", ["Return", "ctrl+s"], [
        ("combo box", "div0", "Melyik div"),
        ("text", "Melyik div", None),
        ("combo box", "div0", "Melyik divhez"),
        ("text", "Melyik divhez", None),
        ("push button", "Ok", None),
        ("push button", "Mentés", None),
        ("push button", "Weboldal mentése", None),
    ]),
    ("the rules shown", ["ctrl+e"], [
        ("tree", "Szabályok", None),
        ("table cell", "body", None),
        ("table cell", "div0", None),
        ("table cell", "100 × 200", None),
    ]),
    ("the box's values shown", ["alt+n", "t"], [
        ("text", "Külső margó, fent", None),
        ("text", "Keret, vastagság", None),
        ("text", "Belső margó, balra", None),
        ("combo box", "nincs", "Keret stílusa"),
        ("push button", "Keret színe", "Keret színe"),
        ("text", "Lekerekítés", "Lekerekítés"),
        ("text", "Fent", "Fent"),
        ("text", "Balra", "Balra"),
        ("combo box", "balra", "Szövegigazítás"),
        ("combo box", "alapértelmezett", "Betűtípus"),
        ("check box", "Félkövér", None),
        ("text", "Átlátszóság", "Átlátszóság"),
    ]),
    ("a message box", ["alt+c", "Down", "Return"], [
        ("push button", "OK", None),
    ]),
]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, check):
    """`what` is said once the wait is over: it may name what the checks found."""
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        found = check()
        if found:
            return found
        time.sleep(0.1)
    fail("waited in vain for " + str(what() if callable(what) else what))


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def walk(node, found):
    """Every focusable, showing object under node, its own windows included."""
    try:
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
            found.append(node)
        for child in node:
            if child is not None:
                walk(child, found)
    except Exception:  # an object that went meanwhile
        pass
    return found


def caption_of(node):
    return [relation.getTarget(i).name for relation in node.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(relation.getNTargets())]


def described(node):
    return f"{node.getRoleName()} '{node.name}'"


COUNT_ONLY = os.environ.get("WALK_COUNT_ONLY") == "1"   # for a build before the names: only counts


def check_state(app, state, expected):
    shown = []

    def controls():
        found = [node for node in walk(app, []) if node.getRoleName() not in ("menu item", "menu", "menu bar")]
        shown[:] = [(node.getRoleName(), node.name) for node in found]
        return found if all((role, name) in shown for role, name, _ in expected) else None
    if COUNT_ONLY:
        time.sleep(2)   # no state to wait for in a build that names nothing as expected
        found = walk(app, [])
        return sum(1 for node in found if node.name), len(found), sum(1 for node in found if caption_of(node))
    found = wait_for(lambda: f"{state}: {expected}; there are {shown}", controls) if expected else walk(app, [])
    for node in found:
        if node.getRoleName() in ("unknown", "invalid", ""):
            fail(f"{state}: {described(node)} has no role")
        if not node.name:
            fail(f"{state}: a {node.getRoleName()} has no name")
    for role, name, caption in expected:
        nodes = [node for node in found if (node.getRoleName(), node.name) == (role, name)]
        if caption and not any(caption in caption_of(node) for node in nodes):
            fail(f"{state}: {role} '{name}' is not labelled by '{caption}' ({[caption_of(n) for n in nodes]})")
    return len(found), len(found), sum(1 for node in found if caption_of(node))


def texts_under(node, found, depth=0):
    """The names of everything under node, however deep a page nests."""
    try:
        if node.name:
            found.add(node.name)
        for child in node:
            if child is not None and depth < 64:
                texts_under(child, found, depth + 1)
    except Exception:
        pass
    return found


def check_preview():
    """The preview's page, in a program of its own, is read as the page: its divs by name."""
    heard = set()

    def divs_heard():
        preview = application("prizmo-preview")
        heard.clear()
        heard.update(texts_under(preview, set()) if preview is not None else set())
        return {"div0", "div1"} <= heard
    wait_for(lambda: f"the preview's page with div0 and div1; it says {sorted(heard)}", divs_heard)
    # Its one window, and no frame of the engine's own beside it.
    windows = [child.name for child in application("prizmo-preview")]
    if windows != ["Előnézet – Prizmo"]:
        fail(f"the preview lists the windows {windows}")


def main():
    prizmo = sys.argv[1]
    # The preview's engine: software drawing, and no sandbox, which Chromium refuses as root.
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                       QT_QUICK_BACKEND="software", QTWEBENGINE_DISABLE_SANDBOX="1",
                       XDG_CONFIG_HOME=os.path.join(os.environ["WALK_HOME"], "config"),
                       XDG_STATE_HOME=os.path.join(os.environ["WALK_HOME"], "state"))
    # The accessibility bus and its registry first, so that Prizmo finds them when it starts.
    wait_for("the accessibility registry", lambda: pyatspi.Registry.getDesktop(0).name is not None)
    process = subprocess.Popen([prizmo], env=environment)
    try:
        app = wait_for("Prizmo on the accessibility bus", lambda: application("Prizmo"))
        window = wait_for("Prizmo's window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Prizmo"], capture_output=True, text=True).stdout.split())
        # No window manager gives the window the keyboard: one click does.
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=True)
        named = total = labelled = 0
        for state, keys, expected in STATES:
            for key in keys:
                subprocess.run(["xdotool", "key", key], check=True)
            counts = check_state(app, state, expected)
            named, total, labelled = named + counts[0], total + counts[1], labelled + counts[2]
        # The message box goes (and with no window manager, the window takes the keys again);
        # Új Div and KÉSZ for div 1; Nézet → Előnézet.
        subprocess.run(["xdotool", "key", "Return"], check=True)
        wait_for("the message box to go", lambda: len(subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Prizmo"], capture_output=True, text=True).stdout.split()) == 1)
        subprocess.run(["xdotool", "windowfocus", window[0]], check=True)
        for key in ["alt+c", "Return", "Return", "alt+n", "Down", "Return"]:
            subprocess.run(["xdotool", "key", key], check=True)
        if not COUNT_ONLY:
            check_preview()
        print(f"PASS: {named} of {total} focusable controls named, {labelled} labelled by their caption,"
              f" in {len(STATES)} states")
    finally:
        process.kill()
        process.wait()


main()
