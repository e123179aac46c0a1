"""What a screen reader user does: with the program's main window open, fill
in the name, pick a birthday, press the find button and read the sign, all
through AT-SPI. The keyboard is used only to pick the dates, as a user would.

Usage: atspi_smoke.py <program pid> <expected sign>
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi

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


BOUNDARIES = (pyatspi.TEXT_BOUNDARY_CHAR, pyatspi.TEXT_BOUNDARY_WORD_START,
              pyatspi.TEXT_BOUNDARY_WORD_END, pyatspi.TEXT_BOUNDARY_SENTENCE_START,
              pyatspi.TEXT_BOUNDARY_SENTENCE_END, pyatspi.TEXT_BOUNDARY_LINE_START,
              pyatspi.TEXT_BOUNDARY_LINE_END)


def every_boundary_at_end(box, limit=5.0):
    """Asks the text box for each item before, at and after its end, as a screen
    reader does after Ctrl+Right; each answer must come within the limit."""
    text = box.queryText()
    end = text.characterCount
    for boundary in BOUNDARIES:
        for ask in (text.getTextBeforeOffset, text.getTextAtOffset, text.getTextAfterOffset):
            started = time.monotonic()
            try:
                ask(end, boundary)
            except Exception as e:  # a timed-out call raises
                sys.exit(f"FAIL: {box.name!r} did not answer {ask.__name__}({end}, {boundary}): {e}")
            if time.monotonic() - started > limit:
                sys.exit(f"FAIL: {box.name!r} took over {limit} s for {ask.__name__}({end}, {boundary})")


def text_box(root, name):
    return wait_for(f"text box {name!r}", lambda: next(
        (a for a in descendants(root, lambda a: a.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))
         if a.name == name and showing(a)), None))


def press(acc):
    actions = acc.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) == "Press":
            actions.doAction(i)
            return
    sys.exit(f"FAIL: {acc.name!r} has no Press action")


# A question that never comes back fails within seconds, not D-Bus's 25.
Atspi.set_timeout(3000, 15000)
app = wait_for("application", application)
main = wait_for("main window", lambda: next(
    (f for f in app if f is not None and f.name == CAPTION and showing(f)), None))

name_box = next(a for a in descendants(main, lambda a: a.getRole() == pyatspi.ROLE_TEXT
                                        or a.getRole() == pyatspi.ROLE_ENTRY) if a.name == "Name")
name_box.queryEditableText().setTextContents("ANN BEE")
every_boundary_at_end(name_box)

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
    # Named by the label; the pick is its value, read from its text.
    wait_for(f"{label} reading {value}", lambda: combo if combo.name == label
             and combo.queryText().getText(0, -1) == value else None, timeout=5)

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
result = sign
while result.parent is not None and result.parent.getRole() != pyatspi.ROLE_APPLICATION:
    result = result.parent
if result.getRole() != pyatspi.ROLE_DIALOG:
    sys.exit(f"FAIL: the result window reads as {result.getRoleName()}, not as a dialog")
if not any(a.name.endswith(f"Placed in {EXPECTED}") for a in descendants(result, lambda a: True)):
    sys.exit("FAIL: no sentence ending in the sign in the result window")

# Exit leads to the farewell window and its referral boxes: one row each.
press(next(a for a in descendants(result, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON)
           if a.name == "Exit"))
farewell = wait_for("farewell window", lambda: next(
    (f for f in app if f is not None and showing(f)
     and any(a.name == "Refer A Friend" for a in descendants(f, lambda a: True))), None))
for name in ("Your Name", "Your Email Address", "Friend's Name", "Friend's Email Address",
             "Your Message"):
    every_boundary_at_end(text_box(farewell, name))
print("every text box answered every boundary at its end")
