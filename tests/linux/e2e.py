"""End to end: the Linux programs, started at faked local times, looked at
through the accessibility bus (as Orca does) and driven with the X pointer
on a real X server, or through the bus alone under Wayland, where no client
may drive the pointer; "installed" checks a program installed on PATH.
   e2e.py <linux-build-dir> <scratch-dir> x11|wayland|installed"""
import atexit
import datetime
import os
import signal
import subprocess
import sys
import time
import zoneinfo

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import oracle  # noqa: E402  the tests' own countdown, apart from the program's

BUILD, SCRATCH, MODE = sys.argv[1], sys.argv[2], sys.argv[3]
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
MAIN = "time until qvlfest"
failures = passes = 0
started = []  # every process this run starts: each is ended before it exits


def launch(args, **kwargs):
    proc = subprocess.Popen(args, **kwargs)
    started.append(proc)
    return proc


def stop(proc, grace=5.0):
    """Ends a process this run started: TERM, then KILL after the grace period."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


atexit.register(lambda: [stop(proc) for proc in started])
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))


def check(what, ok):
    global failures, passes
    if ok:
        passes += 1
        print(f"  ok: {what}")
    else:
        failures += 1
        print(f"  FAILED: {what}")
    return ok


def wait(predicate, seconds=10.0):
    end = time.time() + seconds
    while time.time() < end:
        try:
            value = predicate()
            if value:
                return value
        except Exception:  # the tree changes under us while windows come and go
            pass
        time.sleep(0.1)
    return None


def start(program, at=None, path_first=None, env_extra=None):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    if at:
        env.update(LD_PRELOAD=FAKETIME, FAKETIME="@" + at, FAKETIME_DONT_FAKE_MONOTONIC="1")
    if path_first:
        env["PATH"] = path_first + ":" + env["PATH"]
    env.update(env_extra or {})
    log = open(os.path.join(SCRATCH, program + ".log"), "w")
    return launch([os.path.join(BUILD, program)], env=env, stdout=log, stderr=log)


def app_of(proc):
    """The program's application on the bus. (An accessible with no children
    is false in Python; these helpers compare with None.)"""
    def find():
        for a in pyatspi.Registry.getDesktop(0):
            if a is not None and a.get_process_id() == proc.pid:
                return [a]
    found = wait(find)
    if found is None:
        print(f"    {proc.args[0]} is not on the bus; it "
              + ("runs" if proc.poll() is None else f"ended with {proc.returncode}") + ", saying:")
        print(open(os.path.join(SCRATCH, os.path.basename(proc.args[0]) + ".log")).read()[-800:])
    return found[0] if found else None


def descendants(node):
    for i in range(node.childCount):
        child = node[i]
        if child is None:
            continue
        yield child
        yield from descendants(child)


def window(app, title, seconds=10.0):
    found = wait(lambda: [w for w in app if w is not None and w.name == title][:1], seconds)
    return found[0] if found else None


def named(node, name, role=None):
    return next((d for d in descendants(node)
                 if d.name == name and (role is None or d.getRoleName() == role)), None)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def click(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(e.x + e.width // 2), str(e.y + e.height // 2),
                    "click", "1"], check=True)


def x_window(title):
    out = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], capture_output=True,
                         text=True).stdout.split()
    return out[0] if out else None


def geometry(wid):
    info = subprocess.run(["xwininfo", "-id", wid], capture_output=True, text=True).stdout
    value = {line.split(":")[0].strip(): line.split(":")[1].strip()
             for line in info.splitlines() if ":" in line}
    return (int(value["Absolute upper-left X"]), int(value["Absolute upper-left Y"]),
            int(value["Width"]), int(value["Height"]))


def viewable(wid):
    info = subprocess.run(["xwininfo", "-id", wid], capture_output=True, text=True).stdout
    return "IsViewable" in info


def shot(title, file):
    """The window alone, into the build's screenshots folder, once it is on
    the screen (a screen reader may see it first)."""
    folder = os.path.join(BUILD, "screenshots")
    os.makedirs(folder, exist_ok=True)
    wid = x_window(title)
    wait(lambda: viewable(wid), 5)
    subprocess.run(["import", "-window", wid, os.path.join(folder, file)], check=True)


def due_now(name, started, at):
    """The sentence shown is the one due at the faked clock, which started at
    `at` when the program did."""
    elapsed = int(time.time() - started) + 2
    t = datetime.datetime.strptime(at, "%Y-%m-%d %H:%M:%S") + datetime.timedelta(seconds=elapsed)
    return oracle.due(name, t, elapsed)


def xdo(*steps):
    """Pointer steps at a hand's pace, so that a window manager taking over a
    move from the program meets the motion it follows."""
    for step in steps:
        subprocess.run(["xdotool", *map(str, step)], check=True)
        time.sleep(0.25)


def drag(wid, strip, button, menu, panel_button):
    """A press of `button` on the title strip moves the window by the
    pointer's travel; its release ends the move, so that the window stays
    when the pointer goes on, and the next click reaches Menu."""
    x, y, _, _ = geometry(wid)
    e = strip.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    px, py = e.x + 40, e.y + 8
    xdo(["mousemove", px, py, "mousedown", button], ["mousemove", px + 40, py + 20],
        ["mousemove", px + 100, py + 60], ["mouseup", button], ["mousemove", px + 300, py + 200])
    if not wait(lambda: geometry(wid)[:2] == (x + 100, y + 60), 3):
        print(f"    window at {x},{y} went to {geometry(wid)[:2]}")
        return False
    # The click is handled after the pointer's last travel: if the window
    # still followed the pointer, it has moved on by then.
    click(menu)
    if not wait(lambda: showing(panel_button), 3):
        print("    the click after the move did not reach Menu")
        return False
    if geometry(wid)[:2] != (x + 100, y + 60):
        print(f"    the window went on following the pointer, to {geometry(wid)[:2]}")
        return False
    click(menu)
    return wait(lambda: not showing(panel_button), 3)


def prop(wid, name):
    where = ["-root"] if wid == "root" else ["-id", wid]
    return subprocess.run(["xprop", *where, name], capture_output=True, text=True).stdout


def fixed_dialog(title):
    """A fixed dialog: typed as one, no minimise or maximise asked for (Motif
    functions), and no maximise offered by the window manager."""
    wid = x_window(title)
    # A screen reader may see the window before the window manager has
    # taken it on and said what it allows.
    wait(lambda: int(wid) in client_list() and "_NET_WM_ACTION" in
         prop(wid, "_NET_WM_ALLOWED_ACTIONS"), 5)
    motif = prop(wid, "_MOTIF_WM_HINTS").split("=")[-1].split(",")
    ok = "_NET_WM_WINDOW_TYPE_DIALOG" in prop(wid, "_NET_WM_WINDOW_TYPE")
    ok = ok and len(motif) > 1 and int(motif[1], 16) & 0x18 == 0
    allowed = prop(wid, "_NET_WM_ALLOWED_ACTIONS")
    ok = ok and "_NET_WM_ACTION_CLOSE" in allowed and "MAXIMIZE" not in allowed
    return ok or print(f"    {title}: {prop(wid, '_NET_WM_WINDOW_TYPE').strip()}; "
                       f"{prop(wid, '_MOTIF_WM_HINTS').strip()}; {allowed.strip()}")


def start_openbox(wid=None):
    """Openbox, once it manages the screen (and the window `wid`, if given)."""
    wm = launch(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def managing():
        check = prop("root", "_NET_SUPPORTING_WM_CHECK").split("#")[-1].strip()
        return (check.startswith("0x") and '"Openbox"' in prop(check, "_NET_WM_NAME")
                and (wid is None or int(wid) in client_list()))
    if not wait(managing):
        print("    openbox did not take over the screen")
    return wm


def client_list():
    ids = prop("root", "_NET_CLIENT_LIST").split("#")[-1]
    return [int(i, 16) for i in ids.replace(",", " ").split() if i.startswith("0x")]


def recorder(folder, name, log):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write(f'#!/bin/sh\necho "$@" >> "{log}"\n')
    os.chmod(path, 0o755)


def ends(proc):
    """The program ends by itself within ten seconds; else it is stopped."""
    try:
        proc.wait(10)
        return True
    except subprocess.TimeoutExpired:
        stop(proc)
        return False


def countdown_window(program, version, red_label, full):
    print(program)
    at = "2027-04-21 10:20:30"
    bin_dir = os.path.join(SCRATCH, "bin-" + program)
    opened, tools = os.path.join(SCRATCH, program + "-opened"), os.path.join(SCRATCH, program + "-tool")
    recorder(bin_dir, "xdg-open", opened)
    started = time.time()
    proc = start(program, at, path_first=bin_dir)
    app = app_of(proc)
    if not check("the program is on the accessibility bus", app is not None):
        stop(proc)
        return
    check("it names itself QVLFEST", app.name == "QVLFEST")
    main = window(app, MAIN)
    final = wait(lambda: next(d for d in descendants(main) if d.name.startswith("It is ")))
    check("a screen reader reads the sentence due now", final and due_now(final.name, started, at))
    strip = named(main, "  Time until Quorvell Fest", "label")
    check("a screen reader reads the title strip", strip is not None and showing(strip))
    note = next((d for d in descendants(main) if d.name.startswith("Everything this side")), None)
    developer = named(main, "Press this button to manualy calculate the current time.")
    check("the developer area is off screen to a screen reader",
          note is not None and developer is not None and not showing(note) and not showing(developer))
    wid = x_window(MAIN)
    check("the window is 256 x 145", wid and geometry(wid)[2:] == (256, 145))
    check("it has no frame", "= 0x2, 0x1, 0x0" in prop(wid, "_MOTIF_WM_HINTS"))
    check(f"its window class is the desktop file's, {program}",
          prop(wid, "WM_CLASS").split("=")[-1].split(",")[-1].strip() == f'"{program}"')
    shot(MAIN, program + "-countdown.png")
    menu, about_button = named(main, "Menu", "push button"), named(main, "About this program")
    check("the menu panel starts hidden", not showing(about_button))
    click(menu)
    check("Menu shows the panel", wait(lambda: showing(about_button), 3))
    click(menu)
    check("Menu again hides it", wait(lambda: not showing(about_button), 3))
    wm = None
    if full:
        for button in (1, 2, 3):
            check(f"button {button} drags it by its title strip, without a window manager",
                  drag(wid, strip, button, menu, about_button))
        wm = start_openbox(wid)
        for button in (1, 2, 3):
            check(f"button {button} drags it by its title strip, under openbox",
                  drag(wid, strip, button, menu, about_button))
        click(menu)
        wait(lambda: showing(about_button), 3)
        click(named(main, "Official QVL Fest website"))
        check("a link opens through xdg-open",
              wait(lambda: "duckduckgo.com/?q=Quorvell+Fest" in open(opened).read(), 5))
        check("and hides the panel", wait(lambda: not showing(about_button), 3))
    click(menu)
    wait(lambda: showing(about_button), 3)
    click(about_button)
    about = window(app, "About QVLFEST")
    check("the about box opens", about is not None)
    if about is not None:
        under = " under openbox" if wm else ""
        check("its client area opens at its place, 2340 by 1935 twips" + under,
              wait(lambda: geometry(x_window("About QVLFEST"))[:2] == (156, 129), 3))
        shot("About QVLFEST", program + "-about.png")
        if wm:
            check("it is a fixed dialog to the window manager", fixed_dialog("About QVLFEST"))
        check(f"it reads {version_text(version)}", named(about, version_text(version), "label"))
        check("the red label where the build has it",
              (named(about, "NON LCARS FONT VERSION") is not None) == red_label)
        sysinfo = named(about, "System Info...", "push button")
        click(sysinfo)
        box = window(app, "QVLFEST", 5)
        check("without a tool, System Info tells so", box is not None and named(
            box, "System Information Is Unavailable At This Time") is not None)
        if box is not None:
            click(named(box, "OK", "push button"))
            check("the message closes", wait(lambda: window(app, "QVLFEST", 0.1) is None, 5))
        if full:
            recorder(bin_dir, "hardinfo", tools)
            click(sysinfo)
            check("System Info starts the tool found on PATH",
                  wait(lambda: os.path.exists(tools), 5))
        click(named(about, "OK", "push button"))
        check("OK closes the about box", wait(lambda: window(app, "About QVLFEST", 0.1) is None, 5))
    click(named(main, "X", "push button"))
    check("X ends the program", ends(proc))
    if wm:
        stop(wm)


def zone_change(program):
    """A running program keeps to the system's zone when it changes."""
    print(program + " across a change of time zone")
    link = os.path.join(SCRATCH, "localtime")
    point = lambda zone: (os.symlink("/usr/share/zoneinfo/" + zone, link + ".next"),
                          os.replace(link + ".next", link))
    point("Europe/Berlin")
    proc = start(program, env_extra={"TZ": ":" + link})
    app = app_of(proc)
    main = window(app, MAIN) if app is not None else None

    def in_zone(zone):
        def shows():
            final = next(d for d in descendants(main) if d.name.startswith("It is "))
            now = datetime.datetime.now(zoneinfo.ZoneInfo(zone)).replace(tzinfo=None)
            return oracle.due(final.name, now, 1)
        return main is not None and wait(shows, 3)
    check("it counts in Berlin time", in_zone("Europe/Berlin"))
    point("America/New_York")
    check("it keeps to New York time within two seconds of the change", in_zone("America/New_York"))
    if main is not None:
        press(named(main, "X", "push button"))
    check("X ends the program", ends(proc))


def version_text(version):
    return "Version " + version


def press(acc):
    acc.queryAction().doAction(0)


def arrival(program):
    print(program + " on 22 June, under openbox")
    wm = start_openbox()
    proc = start(program, "2027-06-22 00:00:05")
    app = app_of(proc)
    yeah = window(app, "YEAH!") if app is not None else None
    check("the arrival window opens", yeah is not None)
    if yeah is not None:
        check("it is a fixed dialog to the window manager", fixed_dialog("YEAH!"))
        shot("YEAH!", program + "-arrival.png")
        check("it reads IS TODAY!!!", named(yeah, "IS TODAY!!!", "label"))
        press(named(yeah, "Click This.", "push button"))
        box = window(app, "HEY!", 5)
        check("its box says goodbye", box is not None and named(
            box, "This program will not function anymore, delete it and have a great time at "
                 "the show.") is not None)
        if box is not None:
            press(named(box, "OK", "push button"))
    # Without a window manager the arrival window covers the countdown
    # window, so its buttons are pressed the way a screen reader does.
    main = window(app, MAIN)
    press(named(main, "X", "push button"))
    check("X ends the program with both windows", ends(proc))
    stop(wm)


def sentence_menu_x(program, at, how, wayland=False):
    """The short run: the sentence due now, the menu panel, X. Under Wayland
    the buttons are pressed through the bus; on X with the pointer."""
    print(f"{program} {how}")
    started = time.time()
    # Under Wayland the client's requests are logged, so the app id can be
    # read off the wire.
    proc = start(program, at, env_extra={"QT_QPA_PLATFORM": "wayland", "WAYLAND_DEBUG": "1"}
                 if wayland else None)
    app = app_of(proc)
    main = window(app, MAIN) if app is not None else None
    final = main is not None and wait(
        lambda: next(d for d in descendants(main) if d.name.startswith("It is ")))
    check("a screen reader reads the sentence due now", final and due_now(final.name, started, at))
    push = press if wayland else click
    if main is not None:
        about_button = named(main, "About this program")
        push(named(main, "Menu", "push button"))
        check("Menu shows the panel", wait(lambda: showing(about_button), 3))
        push(named(main, "X", "push button"))
    check("X ends the program", ends(proc))
    if wayland:
        with open(os.path.join(SCRATCH, program + ".log"), errors="replace") as log:
            check("its app id is its desktop file's name", f'set_app_id("{program}")' in log.read())


if MODE == "installed":
    sentence_menu_x("qvlfest", "2027-03-01 00:00:00", "as installed")
elif MODE == "wayland":
    sentence_menu_x("qvlfest", "2027-05-31 23:59:50", "under Wayland", wayland=True)
    sentence_menu_x("qvlfest-non-lcars", "2027-05-31 23:59:50", "under Wayland", wayland=True)
else:
    countdown_window("qvlfest", "2.1.0", False, full=True)
    countdown_window("qvlfest-non-lcars", "2.1.1", True, full=False)
    arrival("qvlfest")
    zone_change("qvlfest-non-lcars")
print(f"linux e2e ({MODE}): {passes} passed, {failures} failed")
sys.exit(1 if failures else 0)
