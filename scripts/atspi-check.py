#!/usr/bin/python3
"""The window as a screen reader meets it over the desktop accessibility bus.

Starts Xvfb and the program with three large generated files, then, through AT-SPI as a screen
reader would: runs every tool bar command by its key, types the key into the key field, checks
the frame, the table's focus and selection, counts progress announcements during a run and
times Run's action. Prints one line per check and exits 1 when one fails.

Run by hand, inside a D-Bus session:
    dbus-run-session -- scripts/atspi-check.py [build]
Needs: apt-get install -y xvfb xdotool at-spi2-core python3-pyatspi dbus-x11
"""
import collections
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
DISPLAY = ":93"
FILE_MB = int(os.environ.get("ATSPI_CHECK_FILE_MB", "120"))

failures = []


def check(ok, what, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (": " + detail if detail else ""), flush=True)
    if not ok:
        failures.append(what)


def walk(acc, depth=0, skip_tables=True):
    yield acc
    if skip_tables and acc.getRole() == pyatspi.ROLE_TABLE:
        return
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1, skip_tables)


def pump_events(seconds=0.0):
    # Events reach listeners only while the GLib main loop turns: it turns while waiting.
    ctx = GLib.MainContext.default()
    end = time.time() + seconds
    while True:
        while ctx.pending():
            ctx.iteration(False)
        if time.time() >= end:
            return
        time.sleep(0.005)


def wait_for(pred, timeout=10.0, step=0.05):
    end = time.time() + timeout
    while time.time() < end:
        try:
            value = pred()
        except Exception as e:
            if os.environ.get("ATSPI_CHECK_DEBUG"):
                print("     (%s)" % e)
            value = None
        if value:
            return value
        pump_events(step)
    return None


def states(acc):
    # Asked afresh: the client library keeps what it heard before.
    acc.clearCache()
    return acc.getState()


def showing(acc):
    return states(acc).contains(pyatspi.STATE_SHOWING)


def xdo(*args):
    subprocess.run(["xdotool", *args], check=False)


def main():
    work = tempfile.mkdtemp(prefix="atspi-check.", dir=os.path.join(ROOT, BUILD))
    piece = open(os.path.join(ROOT, "samples/texts/letter.txt"), "rb").read()
    files = []
    for name in ("first", "second", "third"):
        path = os.path.join(work, name + ".txt")
        with open(path, "wb") as f:
            block = piece * max(1, (1 << 20) // len(piece))
            for _ in range(FILE_MB):
                f.write(block)
        files.append(path)
    key = open(os.path.join(ROOT, "samples/key.txt")).read().splitlines()[0]

    xvfb = subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "1400x900x24", "-nolisten", "tcp"])
    wait_for(lambda: os.path.exists("/tmp/.X11-unix/X" + DISPLAY[1:]))
    env = dict(os.environ, DISPLAY=DISPLAY, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    env.pop("QT_QPA_PLATFORM", None)
    os.environ["DISPLAY"] = DISPLAY
    app = subprocess.Popen([os.path.join(ROOT, BUILD, "bin/quillmar"), *files], env=env)
    try:
        run_checks(key, work)
    finally:
        app.terminate()
        try:
            app.wait(5)
        except subprocess.TimeoutExpired:
            app.kill()
        xvfb.terminate()
        shutil.rmtree(work, ignore_errors=True)
    print("%d check(s) failed" % len(failures) if failures else "all checks passed")
    return 1 if failures else 0


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is None:
            continue
        for j in range(a.childCount):
            c = a.getChildAtIndex(j)
            if c is not None and c.name == "Quillmar 1.3":
                return a, c
    return None


def run_checks(key, work):
    found = wait_for(find_app, 20)
    if not found:
        check(False, "the frame is on the bus")
        return
    app, frame = found
    win = subprocess.run(["xdotool", "search", "--sync", "--name", "Quillmar 1.3"],
                         capture_output=True, text=True).stdout.split()[0]
    xdo("windowfocus", "--sync", win)

    check(wait_for(lambda: states(frame).contains(pyatspi.STATE_ACTIVE), 5) is not None,
          "the frame reports ACTIVE while it is the active window")

    nodes = list(walk(frame))
    buttons = {n.name: n for n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON}
    edit = next((n for n in nodes if n.getRole() == pyatspi.ROLE_PASSWORD_TEXT), None)
    table = next((n for n in nodes if n.getRole() == pyatspi.ROLE_TABLE), None)

    # Shortcuts, as the Action interface tells them.
    print("tool bar commands and their keys:")
    keys = {}
    for name, b in sorted(buttons.items()):
        try:
            action = b.queryAction()
            binding = action.getKeyBinding(0)
        except NotImplementedError:
            binding = ""
        keys[name] = binding
        print("     %-24s %-8s %s" % (name, "shown" if showing(b) else "hidden", binding or "-"))
    for name in ("Upload files", "Folder to upload files", "Run", "Open file",
                 "Остановить декрипт"):
        check(bool(keys.get(name)), "command %r has a key binding" % name, keys.get(name, ""))

    def windows():
        return [app.getChildAtIndex(i) for i in range(app.childCount)]

    def opens_window(keys_pressed, close_key, what):
        before = len(windows())
        xdo("windowfocus", "--sync", win)
        xdo("key", keys_pressed)
        opened = wait_for(lambda: len(windows()) > before and windows()[-1], 5)
        name = opened.name if opened else "windows: %s" % [w.name for w in windows()]
        check(opened is not None, "%s opens by its key %s" % (what, keys_pressed), name)
        if opened:
            # No window manager hands the new window the focus: it is given by hand.
            ids = subprocess.run(["xdotool", "search", "--name", "^%s$" % opened.name],
                                 capture_output=True, text=True).stdout.split()
            closed = None
            for dialog_win in reversed(ids):
                xdo("windowfocus", "--sync", dialog_win)
                xdo("key", close_key)
                closed = wait_for(lambda: len(windows()) == before, 2)
                if closed:
                    break
            check(closed is not None, "%s closes by %s" % (what, close_key))
        return opened

    opens_window("ctrl+o", "Escape", "Add files (file dialog)")
    opens_window("ctrl+shift+o", "Escape", "Choose output folder (folder dialog)")
    box = opens_window("ctrl+Return", "Return", "Open file (message box)")

    # The key field: focus through the bus, typed characters count as masks, the key nowhere.
    check(edit is not None, "the key field is a password text")
    if edit is None:
        return
    grabbed = edit.queryComponent().grabFocus()
    check(bool(grabbed) and wait_for(lambda: states(edit).contains(pyatspi.STATE_FOCUSED), 3) is not None,
          "the key field takes focus through grabFocus", str(grabbed))
    xdo("type", "--delay", "15", key)
    try:
        text = edit.queryText()
        count = wait_for(lambda: text.characterCount == len(key) and text.characterCount, 3) or text.characterCount
        shown = text.getText(0, -1)
        check(count == len(key), "the key field's text length after typing", "%d of %d" % (count, len(key)))
        check(set(shown) <= {"*"}, "the key field's text is masks", repr(shown))
        check(text.caretOffset == len(key), "the caret follows the typing", str(text.caretOffset))
    except NotImplementedError:
        check(False, "the key field has a Text interface")
    leaks = []
    for n in walk(frame, skip_tables=False):
        texts = [n.name or "", n.description or ""]
        try:
            t = n.queryText()
            texts.append(t.getText(0, -1))
        except NotImplementedError:
            pass
        if any(key in s or key[:6] in s for s in texts):
            leaks.append(n.getRoleName())
    check(not leaks, "no key text anywhere in the tree", ",".join(leaks))

    # The table: one focused cell, selection, cell interfaces.
    check(table is not None, "the job list is a table")
    if table is None:
        return
    tbl = table.queryTable()

    selection_events = []
    listener = lambda e: selection_events.append(e.type)
    pyatspi.Registry.registerEventListener(listener, "object:selection-changed")
    tbl.addRowSelection(1)
    try:
        sel = table.querySelection()
        n = wait_for(lambda: sel.nSelectedChildren, 2) or sel.nSelectedChildren
        child = sel.getSelectedChild(0) if n else None
        row = None
        if child is not None:
            try:
                row = child.queryTableCell().position[0]
            except (NotImplementedError, AttributeError):
                row = tbl.getRowAtIndex(child.getIndexInParent())
        check(row == 1, "the selection interface answers the selected row", "row %s of %d selected cells" % (row, n))
    except NotImplementedError:
        check(False, "the table has a Selection interface")
    try:
        cell = tbl.getAccessibleAt(2, 1).queryTableCell()
        position = tuple(cell.position)[-2:]
        check(position == (2, 1), "cells have a TableCell interface", "cell (2, 1) at %s" % (position,))
    except NotImplementedError:
        check(False, "cells have a TableCell interface")
    pump_events(1.0)
    pyatspi.Registry.deregisterEventListener(listener, "object:selection-changed")
    check(bool(selection_events), "selection changes are announced", "%d event(s)" % len(selection_events))

    check(bool(table.queryComponent().grabFocus()), "the table takes focus through grabFocus")
    wait_for(lambda: states(table).contains(pyatspi.STATE_FOCUSED), 3)
    focused = []
    for r in range(tbl.nRows):
        for c in range(tbl.nColumns):
            cell = tbl.getAccessibleAt(r, c)
            if cell is not None and states(cell).contains(pyatspi.STATE_FOCUSED):
                focused.append((r, c))
    check(focused == [(1, 0)], "the table reports one focused cell, the current row's first", str(focused))
    if focused:
        cell = tbl.getAccessibleAt(*focused[0])
        print("     focused cell %r describes its row: %r" % (cell.name, cell.description))

    # A run by F5: progress announcements per cell and second; then Ctrl+R and Esc stop it.
    run_b, stop_b = buttons["Run"], buttons["Остановить декрипт"]
    names = collections.defaultdict(list)

    heard = []

    # Only noted here: asking the program back would wait for it while it is busy.
    def on_name(e):
        heard.append((time.time(), e.source, e.any_data))

    state_changes = []
    on_state = lambda e: state_changes.append((e.type, e.source))
    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(on_state, "object:state-changed")
    xdo("windowfocus", "--sync", win)
    start = time.time()
    xdo("key", "F5")
    check(wait_for(lambda: showing(stop_b), 5) is not None, "F5 starts a run (Stop is shown)")
    ended = wait_for(lambda: showing(run_b), 120, 0.01)
    pump_events(0.5)
    duration = time.time() - start
    for t, src, said in heard:
        try:
            if src.getRole() == pyatspi.ROLE_TABLE_CELL:
                idx = src.getIndexInParent()
                # The event names the cell; its text is read now that the run is over.
                names[(tbl.getRowAtIndex(idx), tbl.getColumnAtIndex(idx))].append((t, src))
        except Exception:
            pass
    check(ended is not None, "the run ends", "%.1f s" % duration)
    pyatspi.Registry.deregisterEventListener(on_state, "object:state-changed")
    told = set()
    for kind, src in state_changes:
        try:
            if src.getRole() == pyatspi.ROLE_PUSH_BUTTON and src.name in ("Run", "Остановить декрипт"):
                told.add((src.name, kind))
        except Exception:
            pass
    check(any(name == "Run" for name, _ in told) and any(name != "Run" for name, _ in told),
          "Run and Stop swapping places is announced", ", ".join(sorted("%s: %s" % t for t in told)))
    progress_cells = {k: v for k, v in names.items() if k[1] == 2}
    worst = 0.0
    for (r, c), said in sorted(progress_cells.items()):
        times = [t for t, _ in said]
        # The most said in any one second of the run.
        peak = max(sum(1 for u in times if t <= u < t + 1.0) for t in times)
        worst = max(worst, peak)
        print("     progress cell row %d: %d name changes over %.2f s, at most %d in one second, reads %r" %
              (r, len(said), times[-1] - times[0], peak, said[-1][1].name))
    print("     %d name change event(s) heard in all" % len(heard))
    check(bool(progress_cells) and worst <= 11, "at most about ten events a second per progress cell",
          "peak %d" % worst)
    check(all(v[-1][1].name == "100%" for v in progress_cells.values()) and len(progress_cells) == 3,
          "every row's progress cell was told, reading 100% at the end")

    xdo("key", "ctrl+r")
    check(wait_for(lambda: showing(stop_b), 5) is not None, "Ctrl+R starts a run")
    pump_events(0.3)
    xdo("key", "Escape")
    t0 = time.time()
    stopped = wait_for(lambda: showing(run_b), 10)
    check(stopped is not None, "Esc stops the run", "%.2f s after the key" % (time.time() - t0))
    pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")

    # Run's action returns at once, the run going on.
    action = run_b.queryAction()
    t0 = time.time()
    action.doAction(0)
    took = time.time() - t0
    check(took < 0.1, "Run's action returns within 100 ms", "%.0f ms" % (took * 1000))
    wait_for(lambda: showing(stop_b), 5)
    wait_for(lambda: showing(run_b), 120, 0.2)


if __name__ == "__main__":
    sys.exit(main())
