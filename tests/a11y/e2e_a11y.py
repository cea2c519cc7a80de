#!/usr/bin/python3
# The main window, the editor and the ringing alarm window as a screen reader
# reads them over the accessibility bus: every picture button (and each time
# arrow) is a push button with a name. A private session bus activates the
# accessibility bus and its registry; the program runs under libfaketime at
# 07:29:40 with an alarm at 07:30:00. Waits only for what the reader observes.
import glob, os, shutil, signal, subprocess, sys, tempfile, time
from pathlib import Path

if not os.environ.get("DISPLAY"):
    print("SKIP: needs an X server (DISPLAY is not set)")
    sys.exit(77)
# One copy runs per user, and other tests may run theirs as root now: run as nobody
# where nobody can read this script and the program.
nobody = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
if os.getuid() == 0 and subprocess.run([*nobody, "test", "-r", sys.argv[0], "-a", "-r", sys.argv[1]]).returncode == 0:
    os.execvp("setpriv", [*nobody, sys.executable, *sys.argv])
work = tempfile.mkdtemp(prefix="dawnbell-a11y.")
procs = []
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # ctest's timeout still cleans up


def start(argv, **kw):  # a process group of its own: the bus's activated helpers go with it
    procs.append(subprocess.Popen(argv, env=env, cwd=work, start_new_session=True, **kw))


def wait_for(what, probe, seconds=40):
    for _ in range(seconds * 10):
        if found := probe():
            return found
        time.sleep(0.1)  # a poll of the condition, not a wait that is long enough
    raise SystemExit(f"FAIL: no {what}; the reader sees {[(a.name, [w.name for w in a]) for a in desktop]}")


def find(node, role):
    return ([node] if node.getRoleName() == role else []) + [n for c in node if c for n in find(c, role)]


def window(title):  # the bus is ours: the program is its only application
    return next((w for a in desktop if a for w in a if w and w.name.startswith(title)), None)


def buttons(title, expected):
    names = sorted(b.name for b in find(wait_for(f"window {title!r}", lambda: window(title)), "push button"))
    print(f"{'ok' if names == sorted(expected) else 'FAIL'}: {title}: push buttons {names}")
    return names == sorted(expected)


try:
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=f"{work}/config", XDG_RUNTIME_DIR=work)
    # Qt 6.4 given this address never turns its bridge on (it signals before it listens): it must
    # find the accessibility bus through the session bus, as it does on a desktop.
    env.pop("AT_SPI_BUS_ADDRESS", None)
    start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = procs[0].stdout.readline().strip()
    # Activates the accessibility bus and names it to the reader (only).
    os.environ["AT_SPI_BUS_ADDRESS"] = subprocess.check_output(["dbus-send", "--session", "--print-reply=literal",
        "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=env, text=True, timeout=30).strip()
    import pyatspi
    desktop = pyatspi.Registry.getDesktop(0)

    shutil.copytree(os.path.dirname(sys.argv[1]), f"{work}/app")  # its Profiles folder is beside it
    for d in ("app/Profiles", "config/dawnbell"):
        os.makedirs(f"{work}/{d}")
    Path(f"{work}/app/Profiles/Wake.wkp").write_text("Wake\r\n07:30:00\r\nam\r\n\r\nEveryday\r\n0\r\nUp\r\n")
    Path(f"{work}/config/dawnbell/dawnbell.conf").write_text('[Settings]\nCounter=1\nProfile1="Wake"\n')
    env.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", FAKETIME="@2026-12-09 07:29:40",
               FAKETIME_DONT_FAKE_MONOTONIC="1", LD_PRELOAD=glob.glob("/usr/lib/*/faketime/libfaketime.so.1")[0])
    start([f"{work}/app/{os.path.basename(sys.argv[1])}"])
    ok = buttons("Dawnbell", ["New Profile", "Activate", "Exit"])
    lists = {l.name: l for l in find(window("Dawnbell"), "list")}
    # A click on the row where the reader says it is; then Activate's press action.
    row = wait_for("row Wake", lambda: next((c for c in lists["Profiles"] if c and c.name == "Wake"), None))
    x, y, w, h = row.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)
    wait_for("selected Wake", lambda: row.getState().contains(pyatspi.STATE_SELECTED))
    next(b for b in find(window("Dawnbell"), "push button") if b.name == "Activate").queryAction().doAction(0)
    wait_for("active Wake", lambda: any(c and c.name.startswith("Wake (") for c in lists["Active Alarms"]))
    subprocess.run(["xdotool", "key", "ctrl+n"], check=True)
    ok &= buttons("Create a New Profile", ["Browse", "Save", "Cancel", "Play sound", "Stop sound"] + ["Up", "Down"] * 2)
    ok &= buttons("Alarm", ["Snooze", "Dismiss", "Disable"])
    sys.exit(0 if ok else 1)
finally:
    for p in reversed(procs):
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()
    shutil.rmtree(work, ignore_errors=True)
