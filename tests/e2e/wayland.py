#!/usr/bin/python3
# Whole-program test on a Wayland compositor (headless sway, scripts/test-wayland.sh), with no X
# server: the program is a native Wayland client; a title reminder due now is shown as a pop-up;
# Ctrl+F2 is bound through a stand-in GlobalShortcuts portal on the private session bus, and its
# Activated signal opens the tray menu; with the activity log on, the terminal in front (foot) is
# counted. Windows are read through sway's tree and AT-SPI (which needs no X server); the program
# is driven through the portal and AT-SPI actions, as there is no XTest on Wayland.
#
#   dbus-run-session -- /usr/bin/python3 tests/e2e/wayland.py TELLWICK
# Needs WAYLAND_DISPLAY (the socket's full path) and SWAYSOCK, foot, python3-gi, gir1.2-atspi-2.0.
#
# Two checks wait for the window "Tellwick" shown where no tray host is, and for the command line
# of the program ("--new" handed to the running copy): "window_tellwick" and "new_opens_editor".
# They are written below, listed in AFTER_MERGE, and report "skip" until taken out of it.
import datetime
import json
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
from gi.repository import Atspi, Gio, GLib  # noqa: E402

EXE = os.path.realpath(sys.argv[1])
AFTER_MERGE: set = set()
failures = []
procs = []


def fail(what):
    failures.append(what)
    print("FAIL " + what, file=sys.stderr)


def ok(what):
    print("ok   " + what)


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


# --- sway's view of the windows --------------------------------------------------------------------

def sway_windows():
    out = subprocess.run(["swaymsg", "-t", "get_tree"], capture_output=True, text=True).stdout
    found = []

    def walk(node):
        if node.get("pid"):
            found.append(node)
        for c in node.get("nodes", []) + node.get("floating_nodes", []):
            walk(c)
    try:
        walk(json.loads(out))
    except ValueError:
        pass
    return found


def sway_window(pid=None, name=None, app_id=None):
    for w in sway_windows():
        if (pid is None or w.get("pid") == pid) and (name is None or w.get("name") == name) and \
                (app_id is None or w.get("app_id") == app_id):
            return w
    return None


# --- a stand-in GlobalShortcuts portal ----------------------------------------------------------

PORTAL_XML = """<node>
  <interface name="org.freedesktop.portal.GlobalShortcuts">
    <method name="CreateSession"><arg type="a{sv}" direction="in"/><arg type="o" direction="out"/></method>
    <method name="BindShortcuts"><arg type="o" direction="in"/><arg type="a(sa{sv})" direction="in"/>
      <arg type="s" direction="in"/><arg type="a{sv}" direction="in"/><arg type="o" direction="out"/></method>
    <signal name="Activated"><arg type="o"/><arg type="s"/><arg type="t"/><arg type="a{sv}"/></signal>
  </interface>
</node>"""
DESKTOP = "/org/freedesktop/portal/desktop"
portal = {"session": None, "bound": []}
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def portal_call(connection, sender, path, interface, method, params, invocation):
    sender_part = sender[1:].replace(".", "_")
    options = params.unpack()[-1]
    request = "%s/request/%s/%s" % (DESKTOP, sender_part, options.get("handle_token", "t"))
    invocation.return_value(GLib.Variant("(o)", (request,)))
    results = {}
    if method == "CreateSession":
        portal["session"] = "%s/session/%s/%s" % (DESKTOP, sender_part, options["session_handle_token"])
        results = {"session_handle": GLib.Variant("s", portal["session"])}
    elif method == "BindShortcuts":
        portal["bound"] = params.unpack()[1]
    connection.emit_signal(None, request, "org.freedesktop.portal.Request", "Response",
                           GLib.Variant("(ua{sv})", (0, results)))


bus.register_object(DESKTOP, Gio.DBusNodeInfo.new_for_xml(PORTAL_XML).interfaces[0], portal_call, None, None)
bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
              GLib.Variant("(su)", ("org.freedesktop.portal.Desktop", 4)), None, 0, -1, None)


def press_hot_key():
    if portal["session"] is None:
        return
    bus.emit_signal(None, DESKTOP, "org.freedesktop.portal.GlobalShortcuts", "Activated",
                    GLib.Variant("(osta{sv})", (portal["session"], "open-menu", 0, {})))


# --- AT-SPI ------------------------------------------------------------------------------------------

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
    for c in children(acc):
        if c is not None:
            yield from walk(c)


def showing(acc):
    try:
        return acc.get_state_set().contains(Atspi.StateType.SHOWING)
    except GLib.Error:
        return False


def press(acc):
    a = acc.get_action_iface()
    for k in range(a.get_n_actions()):
        if a.get_action_name(k).lower() in ("press", "click", "activate", "toggle"):
            return a.do_action(k)
    return a.do_action(0)


shown_menus = []


def on_showing(event):
    if event.detail1 and role(event.source) in (Atspi.Role.POPUP_MENU, Atspi.Role.MENU, Atspi.Role.WINDOW):
        shown_menus.append(event.source)


listener = Atspi.EventListener.new(on_showing)
listener.register("object:state-changed:showing")


def application(pid):
    for app in children(Atspi.get_desktop(0)):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except GLib.Error:
            pass
    return None


def window(pid, title):
    app = application(pid)
    for w in children(app) if app else []:
        if w is not None and name(w) == title and showing(w):
            return w
    return None


def named(root, title, roles=None):
    for a in walk(root):
        if name(a) == title and (roles is None or role(a) in roles):
            return a
    return None


def tray_menu_item(*path):
    """Opens the tray menu through the portal's Activated signal and presses the item at path."""
    shown_menus.clear()
    press_hot_key()
    menu = within(5, lambda: next((m for m in reversed(shown_menus) if showing(m) and
                                   named(m, "New Reminder")), None))
    if menu is None:
        return False
    node = menu
    for step in path:
        node = named(node, step)
        if node is None:
            return False
    press(node)
    return True


# --- the program ---------------------------------------------------------------------------------

work = tempfile.mkdtemp(prefix="tellwick-wayland.")
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
# Latest first, as the program keeps its table: the earliest reminder is the last record.
records(os.path.join(home, "rd.dt"), [(100, 73051.0, 0.75, "later"), (1, "today", "now", "title due now")])

subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                "org.a11y.Bus.GetAddress"], check=True, stdout=subprocess.DEVNULL)
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime, HOME=home,
           TZ="UTC", LC_ALL="C.UTF-8")
for k in ("DISPLAY", "QT_QPA_PLATFORM"):
    env.pop(k, None)


def start(args, **kw):
    p = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "log"), "a"),
                         **kw)
    procs.append(p)
    return p


def stop_all():
    for p in reversed(procs):
        if p.poll() is None:
            p.send_signal(signal.SIGTERM)
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()


proc = start([EXE], cwd=home)
try:
    # A native Wayland client: its pop-up is an xdg_shell toplevel with the program's app_id.
    popup = within(15, lambda: sway_window(pid=proc.pid))
    if popup is None:
        fail("no window of the program in sway's tree: %r" % [(w.get("pid"), w.get("name")) for w in sway_windows()])
    elif popup.get("app_id") != "tellwick" or popup.get("shell") != "xdg_shell":
        fail("not a native Wayland window: app_id %r, shell %r" % (popup.get("app_id"), popup.get("shell")))
    else:
        ok("native Wayland client (app_id tellwick, xdg_shell)")

    # Where no tray host is (this compositor runs no bar), the window "Tellwick" is shown, native too.
    if "window_tellwick" not in AFTER_MERGE:
        main = within(10, lambda: sway_window(pid=proc.pid, name="Tellwick"))
        if main is None or main.get("app_id") != "tellwick" or main.get("shell") != "xdg_shell":
            fail("no native window \"Tellwick\": %r" % main)
        else:
            ok("the window \"Tellwick\" is a native Wayland window")

    # The title reminder due now is shown as a pop-up with its note.
    pop = within(10, lambda: window(proc.pid, "Reminder"))
    if pop is None or not any("title due now" in name(a) or "title due now" in
                              (a.get_text_iface().get_text(0, -1) if a.get_text_iface() else "")
                              for a in walk(pop)):
        fail("the title reminder is not shown as a pop-up with its note")
    else:
        ok("title reminder shown as a pop-up")
        press(named(pop, "Dismiss", (Atspi.Role.PUSH_BUTTON,)))
        if not within(5, lambda: window(proc.pid, "Reminder") is None):
            fail("the pop-up did not close")

    # "--new" hands the request to the running copy, which opens the editor; the second copy ends.
    if "new_opens_editor" not in AFTER_MERGE:
        second = start([EXE, "--new"], cwd=home)
        if not within(10, lambda: window(proc.pid, "New Reminder")):
            fail("--new opened no editor in the running copy")
        elif within(10, lambda: second.poll() is not None) and second.returncode != 0:
            fail("--new ended with status %s" % second.returncode)
        else:
            ok("--new opens the editor")
            press(named(window(proc.pid, "New Reminder"), "Cancel", (Atspi.Role.PUSH_BUTTON,)))

    # Ctrl+F2 through the portal: bound with CTRL+F2 as the preferred trigger.
    if not within(5, lambda: portal["bound"]):
        fail("the program bound no shortcut at the portal")
    else:
        props = portal["bound"][0][1]
        if props.get("preferred_trigger") != "CTRL+F2":
            fail("preferred trigger %r" % props.get("preferred_trigger"))
        else:
            ok("Ctrl+F2 bound through the portal")

    # The activity log on; the terminal in front is counted.
    if not tray_menu_item("Tools", "Enable Log User Activity"):
        fail("the portal's Activated opened no tray menu with Tools > Enable Log User Activity")
    else:
        ok("the portal's Activated opens the tray menu")
        start(["foot", "--title", "terminal in front", "sleep", "60"], cwd=work)
        if not within(10, lambda: (sway_window(name="terminal in front") or {}).get("focused")):
            fail("foot did not come to the front")
        pump(3)
        if not tray_menu_item("Tools", "View Log"):
            fail("no tray menu for View Log")
        log = within(5, lambda: window(proc.pid, "User Activity"))
        # The day's entries are read from the log's own save: its Save proposes "activity.csv" in the
        # working folder, and the dialog's Save writes it.
        csv = os.path.join(home, "activity.csv")
        save = named(log, "Save", (Atspi.Role.PUSH_BUTTON,)) if log is not None else None
        if save is not None:
            # The dialog runs modal inside the press: no answer comes until it closes.
            Atspi.set_timeout(500, -1)
            try:
                press(save)
            except GLib.Error:
                pass
            Atspi.set_timeout(-1, -1)
            dialog = within(5, lambda: window(proc.pid, "Save"))
            button = named(dialog, "Save", (Atspi.Role.PUSH_BUTTON,)) if dialog is not None else None
            if button is not None:
                press(button)
        saved = within(5, lambda: os.path.exists(csv) and open(csv, "rb").read())
        lines = [line for line in (saved or b"").decode("cp1252").splitlines() if "terminal in front" in line]
        if not lines:
            fail("the activity log does not count the terminal in front; the log holds %r" % saved)
        else:
            ok("the terminal in front is counted: %s" % lines[0])

    for check in sorted(AFTER_MERGE):
        print("skip " + check)
finally:
    stop_all()
    if failures:
        with open(os.path.join(work, "log")) as f:
            sys.stderr.write("-- the program's output:\n" + f.read())
    shutil.rmtree(work, ignore_errors=True)

sys.exit(1 if failures else 0)
