"""What a screen reader user does: with the program's main window open, fill
in the name, pick a birthday, press the find button and read the sign, all
through AT-SPI. The keyboard is used only to pick the dates, as a user would.

Usage: atspi_smoke.py <program pid> <expected sign>
"""
import subprocess
import sys
import time

import pyatspi

PID = int(sys.argv[1])
EXPECTED = sys.argv[2]
CAPTION = "Xelt Ombrel Astrology v1.15"


def wait_for(what, find, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit(f"FAIL: no {what} seen through AT-SPI")


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == PID:
            return app
    return None


def descendants(root, predicate):
    return pyatspi.utils.findAllDescendants(root, predicate)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def labelled_by(acc):
    for rel in acc.getRelationSet():
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return rel.getTarget(0).name
    return None


def press(acc):
    actions = acc.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) == "Press":
            actions.doAction(i)
            return
    sys.exit(f"FAIL: {acc.name!r} has no Press action")


app = wait_for("application", application)
main = wait_for("main window", lambda: next(
    (f for f in app if f is not None and f.name == CAPTION and showing(f)), None))

name_box = next(a for a in descendants(main, lambda a: a.getRole() == pyatspi.ROLE_TEXT
                                        or a.getRole() == pyatspi.ROLE_ENTRY) if a.name == "Name")
name_box.queryEditableText().setTextContents("ANN BEE")

# The banner and the offer in front; the offer behind it is not shown.
links = [a for a in descendants(main, lambda a: a.getRole() == pyatspi.ROLE_LINK) if showing(a)]
if len(links) != 2 or any(not link.name for link in links):
    sys.exit(f"FAIL: expected two named links showing, saw {[link.name for link in links]}")

# No window manager runs here to give the new window the keyboard.
subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", f"^{CAPTION}$",
                "windowfocus", "--sync"], check=True, timeout=20)
lists = {labelled_by(c): c for c in descendants(main, lambda a: a.getRole() == pyatspi.ROLE_COMBO_BOX)}
# From the name box, Tab walks the three lists in order; typing picks a value.
name_box.queryComponent().grabFocus()
wait_for("focus on the name box", lambda: name_box if name_box.getState().contains(pyatspi.STATE_FOCUSED) else None)
for label, typed, value in (("Date", "19", "19"), ("Month", "Dec", "December"), ("Year", "1993", "1993")):
    combo = lists.get(label)
    if combo is None:
        sys.exit(f"FAIL: no list labelled {label!r}; saw {sorted(map(str, lists))}")
    subprocess.run(["xdotool", "key", "Tab"], check=True)
    wait_for(f"focus on {label}", lambda: combo if combo.getState().contains(pyatspi.STATE_FOCUSED) else None)
    subprocess.run(["xdotool", "type", "--delay", "60", typed], check=True)
    wait_for(f"{label} reading {value}", lambda: combo if combo.name == value else None, timeout=5)

find = next(a for a in descendants(main, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON)
            if a.name == "Find My Ombrel Astrology Sign")
press(find)


def sign_label():
    for frame in app:
        if frame is None or not showing(frame):
            continue
        for label in descendants(frame, lambda a: a.description == "Ombrel's sign"):
            return label
    return None


sign = wait_for("sign in the result window", sign_label)
print(f"sign read through AT-SPI: {sign.name}")
if sign.name != EXPECTED:
    sys.exit(f"FAIL: read {sign.name!r}, expected {EXPECTED!r}")
