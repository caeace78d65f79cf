#!/usr/bin/python3
# What a screen reader finds in the real program: opens each window (pop-up, editor, list with its
# context menu, activity log with its menus, about box, tray menu with Tools) and reads it through
# AT-SPI, as Orca does. Fails on any interactive control without a name, and on the faults once
# heard here: combo boxes named by their value, windows exposed as "filler", tables whose size or
# headers a reader cannot tell, date and time fields reading 0, empty status panels.
#
#   dbus-run-session -- /usr/bin/python3 tests/e2e/a11y.py TELLWICK [--report] [--no-tray]
# Needs DISPLAY (a private desktop with a tray, scripts/test-desktop.sh), a private session bus,
# python3-gi and gir1.2-atspi-2.0. --report prints the named/unnamed count per window. --no-tray
# (on a desktop without a tray) reads the window "Tellwick" that stands in for the tray menu.
import datetime
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

EXE = os.path.realpath(sys.argv[1])
REPORT = "--report" in sys.argv
NO_TRAY = "--no-tray" in sys.argv
failures = []
counts = []

# Roles a user acts on: each needs a name.
INTERACTIVE = {
    Atspi.Role.PUSH_BUTTON, Atspi.Role.TOGGLE_BUTTON, Atspi.Role.CHECK_BOX, Atspi.Role.RADIO_BUTTON,
    Atspi.Role.COMBO_BOX, Atspi.Role.TEXT, Atspi.Role.ENTRY, Atspi.Role.PASSWORD_TEXT, Atspi.Role.SPIN_BUTTON,
    Atspi.Role.DATE_EDITOR, Atspi.Role.SLIDER, Atspi.Role.TABLE, Atspi.Role.TREE, Atspi.Role.TREE_TABLE,
    Atspi.Role.LIST, Atspi.Role.LIST_BOX, Atspi.Role.MENU, Atspi.Role.MENU_ITEM, Atspi.Role.CHECK_MENU_ITEM,
    Atspi.Role.RADIO_MENU_ITEM, Atspi.Role.MENU_BAR, Atspi.Role.POPUP_MENU, Atspi.Role.PAGE_TAB,
    Atspi.Role.PAGE_TAB_LIST, Atspi.Role.TOOL_BAR, Atspi.Role.SCROLL_BAR, Atspi.Role.STATUS_BAR,
}
# Content inside a table, tree or list: read through the container, named by its text.
MENU_ITEMS = {Atspi.Role.MENU_ITEM, Atspi.Role.CHECK_MENU_ITEM, Atspi.Role.RADIO_MENU_ITEM}
CONTENT = {Atspi.Role.TABLE_CELL, Atspi.Role.TABLE_COLUMN_HEADER, Atspi.Role.TABLE_ROW_HEADER,
           Atspi.Role.LIST_ITEM, Atspi.Role.TREE_ITEM}


def fail(what):
    failures.append(what)
    print("FAIL " + what, file=sys.stderr)


def pump(seconds):
    end = time.monotonic() + seconds
    ctx = GLib.MainContext.default()
    while time.monotonic() < end:
        while ctx.iteration(False):
            pass
        time.sleep(0.02)


def within(seconds, probe):
    end = time.monotonic() + seconds
    while True:
        value = probe()
        if value or time.monotonic() >= end:
            return value
        pump(0.05)


def xdo(*args):
    subprocess.run(["xdotool", *args], check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def role(acc):
    try:
        return acc.get_role()
    except GLib.Error:
        return None


def name(acc):
    try:
        return (acc.get_name() or "").strip()
    except GLib.Error:
        return ""


def children(acc):
    try:
        return [acc.get_child_at_index(i) for i in range(acc.get_child_count())]
    except GLib.Error:
        return []


def walk(acc):
    yield acc
    # Cells and items are read through their container; a menu item's submenu is a menu of its own.
    # A combo box's drop-down list is read as part of the combo box.
    if role(acc) in CONTENT or role(acc) in MENU_ITEMS or role(acc) == Atspi.Role.COMBO_BOX:
        return
    for c in children(acc):
        if c is not None:
            yield from walk(c)


def showing(acc):
    try:
        return acc.get_state_set().contains(Atspi.StateType.SHOWING)
    except GLib.Error:
        return False


def labels(acc):
    """The names of the labels that label acc (the labelled-by relation), as a reader joins them."""
    out = []
    try:
        for rel in acc.get_relation_set():
            if rel.get_relation_type() == Atspi.RelationType.LABELLED_BY:
                for i in range(rel.get_n_targets()):
                    n = name(rel.get_target(i))
                    if n and n not in out:
                        out.append(n)
    except GLib.Error:
        pass
    return " ".join(out)


def announced(acc):
    """What a reader says a control is: its labels, then its own name. A combo box's own name is
    its current item, so only its labels name it."""
    own = "" if role(acc) == Atspi.Role.COMBO_BOX else name(acc)
    said = labels(acc)
    return (said + " " + own).strip() if own not in said else said


# --- the program and its data --------------------------------------------------------------------

work = tempfile.mkdtemp(prefix="tellwick-a11y.")
runtime = os.path.join(work, "runtime")
os.mkdir(runtime, 0o700)
home = os.path.join(work, "home")
os.mkdir(home)


def records(path, items):
    now = datetime.datetime.now()
    today = float((now - datetime.datetime(1899, 12, 30)).days)
    with open(path, "wb") as out:
        for kind, day, tod, note in items:
            day = today if day == "today" else day
            tod = (now.hour * 60 + now.minute) / 1440.0 if tod == "now" else tod
            raw = note.encode("cp1252")
            rec = struct.pack("<BBBBiB7Bdd", 0, 0, 0, 0, kind, 0, *([0] * 7), day, tod)
            out.write(rec + bytes([len(raw)]) + raw + bytes(255 - len(raw)))


while datetime.datetime.now().minute == 59:  # the due minute must not leave its hour under the test
    time.sleep(1)
records(os.path.join(home, "rd.dt"), [(100, 73051.0, 0.75, "third"), (10, 73050.0, 0.5, "second"),
                                      (1, 73049.0, 0.25, "first"), (100, "today", "now", "due now")])
records(os.path.join(home, "re.dt"), [(100, 40000.0, 0.5, "long ago")])

# The accessibility bus of this private session.
subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                "org.a11y.Bus.GetAddress"], check=True, stdout=subprocess.DEVNULL)
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime, HOME=home,
           TZ="UTC", LC_ALL="C.UTF-8")
env.pop("QT_QPA_PLATFORM", None)
proc = subprocess.Popen([EXE], cwd=home, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop():
    if proc.poll() is None:
        proc.send_signal(signal.SIGKILL)
        proc.wait()
    shutil.rmtree(work, ignore_errors=True)


# Menus are not children of the application: they are seen when they show.
shown_menus = []


def on_showing(event):
    if event.detail1 and role(event.source) in (Atspi.Role.POPUP_MENU, Atspi.Role.MENU, Atspi.Role.WINDOW):
        shown_menus.append(event.source)


listener = Atspi.EventListener.new(on_showing)
listener.register("object:state-changed:showing")


def application():
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        try:
            if app is not None and app.get_process_id() == proc.pid:
                return app
        except GLib.Error:
            pass
    return None


def window(title):
    app = application()
    for w in children(app) if app else []:
        if w is not None and name(w) == title and showing(w):
            return w
    return None


# --- the checks ----------------------------------------------------------------------------------

def check_window(label, top, allow_roles=(Atspi.Role.FRAME, Atspi.Role.DIALOG, Atspi.Role.WINDOW), tables={}):
    named = unnamed = 0
    combos = []
    if role(top) not in allow_roles:
        fail("%s: exposed as %s" % (label, top.get_role_name()))
    for acc in walk(top):
        r = role(acc)
        if r not in INTERACTIVE:
            continue
        if announced(acc):
            named += 1
        else:
            unnamed += 1
            fail("%s: %s without a name (%r)" % (label, acc.get_role_name(), name(acc)))
        if r == Atspi.Role.COMBO_BOX:
            combos.append(acc)
        if r == Atspi.Role.TABLE:
            check_table(label, acc, tables.get(name(acc)))
        if r in (Atspi.Role.SPIN_BUTTON, Atspi.Role.DATE_EDITOR):
            check_value(label, acc)
        if r == Atspi.Role.STATUS_BAR:
            check_status(label, acc)
    # Combo boxes side by side must be told apart.
    said = [announced(c) for c in combos]
    for c, a in zip(combos, said):
        if a and said.count(a) > 1:
            fail("%s: %d combo boxes announced alike as %r" % (label, said.count(a), a))
            break
    counts.append((label, named, unnamed))


def check_table(label, table, expected):
    """Every column has a header name, and the table says how many reminders it holds."""
    t = table.get_table_iface()
    for c in range(t.get_n_columns()):
        header = t.get_column_header(c)
        if header is None or not name(header):
            fail("%s: table %r column %d has no header name" % (label, name(table), c))
    desc = table.get_description() or ""
    if expected is not None and "%d reminder" % expected not in desc:
        fail("%s: table %r (%d rows) does not tell its %d reminders (description %r)"
             % (label, name(table), t.get_n_rows(), expected, desc))


def check_value(label, field):
    """A date or time field reads as the text it shows, never as a number 0."""
    v = field.get_value_iface()
    text = field.get_text_iface()
    shown = text.get_text(0, -1).strip() if text is not None else ""
    if not shown:
        fail("%s: %r shows no text to a reader" % (label, name(field)))
    if v is not None and v.get_current_value() == 0:
        fail("%s: %r reads value 0 while it shows %r" % (label, name(field), shown))


def check_status(label, bar):
    for acc in walk(bar):
        if acc is bar or role(acc) != Atspi.Role.LABEL or not showing(acc):
            continue
        text = acc.get_text_iface()
        shown = text.get_text(0, -1).strip() if text is not None else ""
        if name(acc) and not shown:
            fail("%s: status panel %r is empty on screen" % (label, name(acc)))


def check_menu(label, menu):
    check_window(label, menu, allow_roles=(Atspi.Role.POPUP_MENU, Atspi.Role.MENU, Atspi.Role.WINDOW))


def menu_named(title):
    for m in reversed(shown_menus):
        if showing(m) and any(name(i) == title for i in children(m) if i is not None):
            return m
    return None


def item(menu, title):
    for i in children(menu):
        if i is not None and name(i) == title:
            return i
    return None


def press(acc):
    a = acc.get_action_iface()
    for k in range(a.get_n_actions()):
        if a.get_action_name(k).lower() in ("press", "click", "activate", "toggle"):
            return a.do_action(k)
    return a.do_action(0)


def tray_menu():
    shown_menus.clear()
    xdo("key", "ctrl+F2")
    return within(5, lambda: menu_named("New Reminder"))


def close(title):
    w = window(title)
    if w is None:
        return
    # Escape closes most windows; the list of reminders ignores it, its close box does not.
    for key in ("Escape", "alt+F4"):
        xdo("windowactivate", "--sync", str(xid(title)))
        xdo("key", key)
        if within(3, lambda: window(title) is None):
            return


def xid(title):
    out = subprocess.run(["xdotool", "search", "--all", "--pid", str(proc.pid), "--onlyvisible", "--name",
                          "^%s$" % title], capture_output=True, text=True).stdout.split()
    return out[0] if out else "0"


def check_launcher():
    w = within(10, lambda: window("Tellwick"))
    if w is None:
        fail("no window 'Tellwick' without a tray")
        return
    check_window("window Tellwick", w)
    controls = {name(a): a for a in walk(w)
                if role(a) in (Atspi.Role.PUSH_BUTTON, Atspi.Role.TOGGLE_BUTTON, Atspi.Role.CHECK_BOX)}
    expected = {"Disable All", "New Reminder", "List of Reminders", "Tools", "Help", "About", "Exit"}
    if set(controls) != expected:
        fail("window Tellwick: controls %s, not %s" % (sorted(controls), sorted(expected)))
    if "List of Reminders" in controls:
        press(controls["List of Reminders"])
        if within(5, lambda: window("List of Reminders")) is None:
            fail("window Tellwick: its \"List of Reminders\" pressed through AT-SPI opened no list")


class Done(Exception):
    pass


try:
    app = within(15, application)
    if app is None:
        fail("the program is not on the accessibility bus")
        raise Done
    if NO_TRAY:
        check_launcher()
        raise Done
    popup = within(15, lambda: window("Reminder"))
    if popup is None:
        fail("no pop-up for the reminder due now")
    else:
        check_window("pop-up", popup)
        close("Reminder")
    menu = tray_menu()
    if menu is None:
        fail("Ctrl+F2 showed no menu on the bus")
    else:
        tools = item(menu, "Tools")
        sub = children(tools)[0] if tools is not None and tools.get_child_count() else None
        check_menu("tray menu", menu)
        if sub is None:
            fail("tray menu: no Tools submenu")
        else:
            check_menu("Tools submenu", sub)
        press(item(menu, "New Reminder"))

    editor = within(5, lambda: window("New Reminder"))
    if editor is None:
        fail("no editor")
    else:
        check_window("editor", editor)
        close("New Reminder")

    menu = tray_menu()
    if menu is not None:
        press(item(menu, "List of Reminders"))
    lst = within(5, lambda: window("List of Reminders"))
    if lst is None:
        fail("no list of reminders")
    else:
        check_window("list", lst, tables={"Active Reminders": 3, "Expired Reminders": 1})
        shown_menus.clear()
        xdo("windowactivate", "--sync", xid("List of Reminders"))
        xdo("key", "Menu")
        ctx = within(5, lambda: menu_named("Edit"))
        if ctx is None:
            fail("list: the context menu key showed no menu")
        else:
            check_menu("list context menu", ctx)
            xdo("key", "Escape")
        close("List of Reminders")

    menu = tray_menu()
    if menu is not None:
        tools = item(menu, "Tools")
        sub = children(tools)[0] if tools is not None else None
        view = item(sub, "View Log") if sub is not None else None
        if view is not None:
            press(view)
        else:
            xdo("key", "Escape")
    log = within(5, lambda: window("User Activity"))
    if log is None:
        fail("no activity log")
    else:
        check_window("activity log", log)
        bars = [a for a in walk(log) if role(a) == Atspi.Role.MENU_BAR]
        for bar in bars:
            for top in children(bar):
                if top is not None and top.get_child_count():
                    check_menu("log menu %r" % name(top), top.get_child_at_index(0))
        close("User Activity")

    menu = tray_menu()
    if menu is not None:
        press(item(menu, "About"))
    about = within(5, lambda: window("About"))
    if about is None:
        fail("no about box")
    else:
        check_window("about box", about)
        close("About")
    # The hidden main window (each window has been on screen by now): not listed under a code name.
    for w in children(app):
        if w is not None and name(w) == "RMForm":
            fail("the hidden main window is exposed as 'RMForm'")
except Done:
    pass
finally:
    listener.deregister("object:state-changed:showing")
    stop()

if REPORT or failures:
    for label, named, unnamed in counts:
        print("%-28s named %3d  unnamed %3d" % (label, named, unnamed))
sys.exit(1 if failures else 0)
