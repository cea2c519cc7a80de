#!/usr/bin/python3
# The main window, the editor and the ringing alarm window as a screen reader
# reads them over the accessibility bus: every picture button is a push button
# named by its caption. Runs a private session bus, whose activation starts
# the accessibility bus and its registry, and the program under libfaketime at
# 07:29:55 with an alarm at 07:30:00. Waits only for things it can observe.
import os, shutil, signal, subprocess, sys, tempfile, time

if not os.environ.get("DISPLAY"):
    print("SKIP: needs an X server (DISPLAY is not set)")
    sys.exit(77)
program = os.path.abspath(sys.argv[1])
work = tempfile.mkdtemp(prefix="dawnbell-a11y.")
groups = []  # process groups started here, ended at exit
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # cleans up on the way out


def start(argv, env, **kw):
    p = subprocess.Popen(argv, env=env, start_new_session=True, **kw)
    groups.append(p)
    return p


def cleanup():
    for p in reversed(groups):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(p.pid, sig)
                p.wait(3)
                break
            except (ProcessLookupError, subprocess.TimeoutExpired):
                continue
    shutil.rmtree(work, ignore_errors=True)


def wait_for(what, probe, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):  # the bus's news reach the reader's cache
            pass
        found = probe()
        if found:
            return found
        time.sleep(0.1)  # a poll of the condition, not a wait that is long enough
    apps = [(a.name, a.get_process_id(), [w.name for w in a]) for a in pyatspi.Registry.getDesktop(0) if a]
    raise SystemExit(f"FAIL: timed out waiting for {what}; the reader sees {apps}; program status {groups[-1].poll()}")


try:
    env = dict(os.environ, HOME=f"{work}/home", XDG_CONFIG_HOME=f"{work}/config", XDG_RUNTIME_DIR=f"{work}/run")
    for d in ("home", "config/dawnbell", "run", "app/Profiles"):
        os.makedirs(f"{work}/{d}", mode=0o700)
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env, stdout=subprocess.PIPE, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    # Activates the accessibility bus; its address, not a stale one on the X root window.
    a11y = subprocess.run(["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus", "/org/a11y/bus",
                           "org.a11y.Bus.GetAddress"], env=env, capture_output=True, text=True, timeout=30)
    env["AT_SPI_BUS_ADDRESS"] = a11y.stdout.strip()
    if not env["AT_SPI_BUS_ADDRESS"]:
        raise SystemExit(f"FAIL: no accessibility bus: {a11y.stderr}")
    os.environ.update(DBUS_SESSION_BUS_ADDRESS=env["DBUS_SESSION_BUS_ADDRESS"], AT_SPI_BUS_ADDRESS=env["AT_SPI_BUS_ADDRESS"])
    import pyatspi  # after the environment names our buses
    from gi.repository import GLib

    bindir = os.path.dirname(program)
    for f in os.listdir(bindir):
        if os.path.isfile(f"{bindir}/{f}"):
            shutil.copy2(f"{bindir}/{f}", f"{work}/app/")
    with open(f"{work}/app/Profiles/Wake.wkp", "w", newline="") as f:
        f.write("Wake\r\n07:30:00\r\nam\r\n\r\nEveryday\r\n0\r\nUp\r\n")
    with open(f"{work}/config/dawnbell/dawnbell.conf", "w") as f:
        f.write("[Settings]\nCounter=1\nProfile1=Wake\n")
    faketime = subprocess.run(["sh", "-c", "dpkg -L libfaketime | grep -m1 '/libfaketime.so.1$'"],
                              capture_output=True, text=True).stdout.strip()
    # One copy per user: wait for one that someone else runs to end.
    lock = f"/run/user/{os.getuid()}/dawnbell.lock"
    lock = lock if os.path.isdir(os.path.dirname(lock)) else f"/tmp/dawnbell-{os.getuid()}.lock"

    def lock_free():
        try:
            os.kill(int(open(lock).readline()), 0)
            return False
        except (OSError, ValueError):
            return True
    wait_for("another running copy to end", lock_free, 120)
    app_env = dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LD_PRELOAD=faketime, FAKETIME="@2026-12-09 07:29:55",
                   FAKETIME_DONT_FAKE_MONOTONIC="1")
    app_env.pop("QT_QPA_PLATFORM", None)
    app = start([f"{work}/app/{os.path.basename(program)}"], app_env)

    def ours():
        desktop = pyatspi.Registry.getDesktop(0)
        return next((a for a in desktop if a and a.get_process_id() == app.pid), None)

    def window(title):
        return lambda: next((w for w in ours() or [] if w and w.name.startswith(title)), None)

    def find(node, role):
        found = [node] if node.getRoleName() == role else []
        for child in node:
            if child:
                found += find(child, role)
        return found

    failures = []

    def buttons(title, expected):
        w = wait_for(f"the window {title!r}", window(title))
        names = sorted(b.name for b in find(w, "push button") if b.getState().contains(pyatspi.STATE_SHOWING))
        ok = names == sorted(expected)
        print(("ok" if ok else "FAIL") + f": {title}: push buttons {names}")
        if not ok:
            failures.append(title)
        return w

    main = buttons("Dawnbell", ["New Profile", "Activate", "Exit"])
    lists = {l.name: l for l in find(main, "list")}
    print(("ok" if {"Profiles", "Active Alarms"} <= lists.keys() else "FAIL") + f": lists {sorted(lists)}")
    # A click on the row, where the reader says it is; then the buttons' press action.
    row = wait_for("the row Wake", lambda: next((c for c in lists["Profiles"] if c and c.name == "Wake"), None))
    x, y, w, h = row.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)
    wait_for("Wake selected", lambda: row.getState().contains(pyatspi.STATE_SELECTED))
    press = {b.name: b for b in find(main, "push button")}
    press["Activate"].queryAction().doAction(0)
    wait_for("Wake active", lambda: any(c and c.name.startswith("Wake (") for c in lists["Active Alarms"]))
    press["New Profile"].queryAction().doAction(0)
    buttons("Create a New Profile", ["Browse", "Play sound", "Save", "Cancel"])
    buttons("Alarm", ["Snooze", "Dismiss", "Disable"])
    if failures or not {"Profiles", "Active Alarms"} <= lists.keys():
        raise SystemExit(1)
    print("PASS")
finally:
    cleanup()
