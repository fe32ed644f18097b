"""Both Linux programs on real desktops, headless: GNOME Shell, KWin (as a
Wayland compositor, and once more with the programs on its Xwayland) and
sway. Each check reads what the compositor itself reports, its window list
and its screenshots, and drives its pointer:
   desktops.py <linux-build-dir> <scratch-dir> <pointer-client> [desktop...]"""
import json
import os
import shutil
import subprocess
import sys
import time
import traceback

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

from session import (Image, Processes, check, copy_programs, desktop_files,  # noqa: E402
                     exit_on_signals, finish, wait)

BUILD, SCRATCH, VPTR = sys.argv[1], sys.argv[2], sys.argv[3]
BIN = os.path.join(SCRATCH, "bin")
HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGING = os.path.join(HERE, "..", "..", "packaging", "linux")
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
WIDTH, HEIGHT = 1280, 800
MAIN, ABOUT, ARRIVAL = "time until qvlfest", "About QVLFEST", "YEAH!"
# Where things are in the countdown window, in its pixels: a point of the
# title strip, the middle of Menu, of "About this program" on the menu
# panel, and the panel's inside.
STRIP, MENU, ABOUT_BUTTON = (40, 9), (218, 10), (165, 94)
PANEL = (96, 22, 236, 106)


class Bus:
    """A session bus of the desktop's own."""

    def __init__(self, procs, name):
        self.address = "unix:path=" + os.path.join(SCRATCH, name + ".bus")
        procs.start(name + "-bus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                    "--address=" + self.address])
        self.connection = wait(lambda: Gio.DBusConnection.new_for_address_sync(
            self.address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
            | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None), 10)
        if self.connection is None:
            raise RuntimeError(f"the {name} bus did not start")

    def owned(self, name):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                         "NameHasOwner", GLib.Variant("(s)", (name,)))[0]

    def call(self, dest, path, iface, method, args=None, fds=None, timeout=10000):
        if fds is not None:
            return self.connection.call_with_unix_fd_list_sync(
                dest, path, iface, method, args, None, 0, timeout, fds, None)[0].unpack()
        reply = self.connection.call_sync(dest, path, iface, method, args, None, 0, timeout, None)
        return reply.unpack() if reply is not None else None


class Window:
    def __init__(self, **fields):
        self.__dict__.update(fields)

    @property
    def at(self):
        return (self.x, self.y)


class Desktop:
    """A compositor, the environment its programs get, its window list,
    screenshots and pointer."""
    platform = "wayland"
    right_drag_moves = True

    def __init__(self, procs):
        self.procs = procs
        self.runtime = os.path.join(SCRATCH, self.name + "-runtime")
        os.makedirs(self.runtime, mode=0o700)
        self.share = os.path.join(SCRATCH, "share")
        self.vptr = None

    def program_env(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update(XDG_RUNTIME_DIR=self.runtime, QT_QPA_PLATFORM=self.platform,
                   XDG_DATA_DIRS=self.share + ":/usr/share")
        return env

    def windows(self):
        raise NotImplementedError

    def window(self, title):
        """The window of that title, once it is on the screen."""
        return next((w for w in self.windows() if w.title == title and w.width > 0), None)

    def placed(self, title, seconds):
        """The window of that title once it has a size and place that hold
        (a compositor may list a new window before it places it)."""
        def settled():
            first = self.window(title)
            time.sleep(0.2)
            again = self.window(title)
            return first and again and first.__dict__ == again.__dict__ and again
        return wait(settled, seconds)

    def pointer(self, steps):
        """Steps: ("abs", x, y), ("press", button), ("release", button); a
        hand's pace apart."""
        if self.vptr is None:
            self.vptr = self.procs.start(self.name + "-pointer", [VPTR, f"{WIDTH}x{HEIGHT}"],
                                         env=self.program_env(), piped=True)
        for step in steps:
            self.vptr.stdin.write(" ".join(map(str, step)) + "\n")
            self.vptr.stdin.flush()
            if self.vptr.stdout.readline() != "ok\n":
                raise RuntimeError("the pointer failed:\n" + self.procs.log(self.name + "-pointer"))
            time.sleep(0.08)


class Sway(Desktop):
    name = "sway"

    def start(self):
        home = os.path.join(SCRATCH, "sway-home")
        os.makedirs(home)
        config = os.path.join(SCRATCH, "sway.config")
        with open(config, "w") as f:
            f.write(f"output HEADLESS-1 mode {WIDTH}x{HEIGHT} position 0 0 bg #303030 solid_color\n"
                    "default_border normal 2\nxwayland disable\n")
        # sway will not run as root
        for path in (self.runtime, home):
            shutil.chown(path, "nobody", "nogroup")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, HOME=home, WLR_BACKENDS="headless",
                   WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        self.procs.start("sway", ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                  "sway", "-c", config], env=env)
        sockets = wait(lambda: [n for n in os.listdir(self.runtime) if n.startswith("sway-ipc.")]
                       and [n for n in os.listdir(self.runtime)
                            if n.startswith("wayland-") and not n.endswith(".lock")])
        if not sockets:
            raise RuntimeError("sway did not start:\n" + self.procs.log("sway")[-2000:])
        self.display = sockets[0]
        self.ipc = os.path.join(self.runtime, next(n for n in os.listdir(self.runtime)
                                                   if n.startswith("sway-ipc.")))

    def program_env(self):
        return dict(super().program_env(), WAYLAND_DISPLAY=self.display, SWAYSOCK=self.ipc)

    def windows(self):
        tree = json.loads(subprocess.run(["swaymsg", "-s", self.ipc, "-t", "get_tree"],
                                         capture_output=True, check=True).stdout)
        found = []

        def walk(node, floating):
            if node.get("pid"):
                r = node["rect"]
                found.append(Window(title=node["name"], app_id=node.get("app_id"),
                                    x=r["x"], y=r["y"], width=r["width"], height=r["height"],
                                    focused=node["focused"], floating=floating,
                                    border=node.get("border"),
                                    fullscreen=node.get("fullscreen_mode", 0) != 0,
                                    can_maximize=None, icon=None))
            for child in node.get("nodes", []):
                walk(child, False)
            for child in node.get("floating_nodes", []):
                walk(child, True)
        walk(tree, False)
        return found

    def screenshot(self):
        return Image.from_ppm(subprocess.run(["grim", "-t", "ppm", "-"], env=self.program_env(),
                                             capture_output=True, check=True).stdout)


class KWin(Desktop):
    _runs = 0

    def __init__(self, procs, xwayland=False):
        self.name = "kwin-xwayland" if xwayland else "kwin"
        self.xwayland = xwayland
        self.platform = "xcb" if xwayland else "wayland"
        super().__init__(procs)

    def start(self):
        self.bus = Bus(self.procs, self.name)
        # The installed binary carries a file capability that a container may
        # not grant; a copy runs without it.
        binary = os.path.join(SCRATCH, "kwin_wayland")
        if not os.path.exists(binary):
            shutil.copy("/usr/bin/kwin_wayland", binary)
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime,
                   DBUS_SESSION_BUS_ADDRESS=self.bus.address,
                   XDG_DATA_DIRS=self.share + ":/usr/share", HOME=os.path.join(SCRATCH, "kwin-home"),
                   # fake input and screenshots for any client
                   KWIN_WAYLAND_NO_PERMISSION_CHECKS="1", KWIN_SCREENSHOT_NO_PERMISSION_CHECKS="1")
        args = [binary, "--virtual", "--width", str(WIDTH), "--height", str(HEIGHT),
                "--socket", "wayland-qvl", "--no-lockscreen", "--no-global-shortcuts",
                "--no-kactivities"]
        self.x_display = os.path.join(SCRATCH, self.name + ".display")
        if self.xwayland:
            # KWin starts this with its Xwayland's display set, and it tells.
            tell = os.path.join(SCRATCH, "tell-display.sh")
            with open(tell, "w") as f:
                f.write(f'#!/bin/sh\necho "$DISPLAY" > "{self.x_display}.new" && '
                        f'mv "{self.x_display}.new" "{self.x_display}"\n')
            os.chmod(tell, 0o755)
            args += ["--xwayland", tell]
        self.proc = self.procs.start(self.name, args, env=env)
        up = wait(lambda: os.path.exists(os.path.join(self.runtime, "wayland-qvl"))
                  and self.bus.owned("org.kde.KWin")
                  and (not self.xwayland or os.path.exists(self.x_display)), 30)
        if not up:
            raise RuntimeError("KWin did not start:\n" + self.procs.log(self.name)[-2000:])

    def program_env(self):
        env = dict(super().program_env(), WAYLAND_DISPLAY="wayland-qvl",
                   DBUS_SESSION_BUS_ADDRESS=self.bus.address)
        if self.xwayland:
            env["DISPLAY"] = open(self.x_display).read().strip()
        return env

    def windows(self):
        """A script of KWin's own prints them, to its log; each query a new
        script (KWin runs a script once), named for the query."""
        KWin._runs += 1
        mark = f"qvl{KWin._runs}"
        script = os.path.join(SCRATCH, f"kwin-{mark}.js")
        with open(os.path.join(HERE, "kwin-windows.js")) as f:
            text = f.read().replace("MARK", mark)
        with open(script, "w") as f:
            f.write(text)
        scripting = ("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting")
        number = self.bus.call(*scripting, "loadScript", GLib.Variant("(ss)", (script, mark)))[0]
        self.bus.call("org.kde.KWin", f"/{number}", "org.kde.kwin.Script", "run")
        lines = wait(lambda: (lambda log: log[log.index(f"js: {mark} begin"):]
                              if f"js: {mark} end" in log else None)(self.procs.log(self.name)), 10)
        self.bus.call(*scripting, "unloadScript", GLib.Variant("(s)", (mark,)))
        os.remove(script)
        if lines is None:
            raise RuntimeError("KWin did not list its windows")
        found = []
        for line in lines.splitlines():
            if line.startswith(f"js: {mark} {{"):
                w = json.loads(line[len(f"js: {mark} "):])
                if self.xwayland:  # an X11 window names itself by its class
                    w["app_id"] = w["app_id"] or w["window_class"]
                found.append(Window(**w))
        return found

    def screenshot(self):
        read, write = os.pipe()
        fds = Gio.UnixFDList.new()
        fds.append(write)
        os.close(write)
        options = {"native-resolution": GLib.Variant("b", True),
                   "include-cursor": GLib.Variant("b", False)}
        reply = self.bus.call("org.kde.KWin", "/org/kde/KWin/ScreenShot2",
                              "org.kde.KWin.ScreenShot2", "CaptureWorkspace",
                              GLib.Variant("(a{sv}h)", (options, 0)), fds=fds)[0]
        fds = None  # closes the write end
        with os.fdopen(read, "rb") as f:
            data = f.read()
        return Image(reply["width"], reply["height"], data, stride=reply["stride"], step=4,
                     rgb=(2, 1, 0))  # rows of blue, green, red, alpha


class Gnome(Desktop):
    name = "gnome"
    # mutter ends a move at the left button's release only: a right-button
    # drag is not handed to it, and the window stays.
    right_drag_moves = False

    def start(self):
        home = os.path.join(SCRATCH, "gnome-home")
        extensions = os.path.join(home, ".local", "share", "gnome-shell", "extensions")
        shutil.copytree(os.path.join(HERE, "gnome-shell"), extensions)
        settings = os.path.join(home, ".config", "glib-2.0", "settings")
        os.makedirs(settings)
        with open(os.path.join(settings, "keyfile"), "w") as f:
            # The test's window list; no banners (a root session gets one).
            f.write("[org/gnome/shell]\nenabled-extensions=['windows@tests.qvlfest']\n"
                    "[org/gnome/desktop/notifications]\nshow-banners=false\n")
        system = Bus(self.procs, "gnome-system")
        self.bus = Bus(self.procs, self.name)
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, HOME=home,
                   DBUS_SESSION_BUS_ADDRESS=self.bus.address,
                   DBUS_SYSTEM_BUS_ADDRESS=system.address, GSETTINGS_BACKEND="keyfile",
                   XDG_DATA_DIRS=self.share + ":/usr/share",
                   # A desktop file counts where the program it runs is found.
                   PATH=BIN + ":" + os.environ["PATH"])
        self.procs.start(self.name, ["gnome-shell", "--headless", "--wayland", "--no-x11",
                                     "--wayland-display=wayland-qvl",
                                     f"--virtual-monitor={WIDTH}x{HEIGHT}"], env=env)
        shell = ("org.gnome.Shell", "/org/gnome/Shell", "org.freedesktop.DBus.Properties")

        def overview():
            return self.bus.call(*shell, "Get",
                                 GLib.Variant("(ss)", ("org.gnome.Shell", "OverviewActive")))[0]
        # The shell opens its overview as it starts: closed again first.
        if not wait(overview, 30):
            raise RuntimeError("GNOME Shell did not start:\n" + self.procs.log(self.name)[-2000:])
        self.bus.call(*shell, "Set", GLib.Variant("(ssv)", ("org.gnome.Shell", "OverviewActive",
                                                            GLib.Variant("b", False))))
        wait(lambda: not overview(), 10)
        # The shell serves screenshots to allowed names only.
        self.bus.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "RequestName",
                      GLib.Variant("(su)", ("org.freedesktop.impl.portal.desktop.gnome", 0)))
        desktop = ("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                   "org.gnome.Mutter.RemoteDesktop")
        self.session = self.bus.call(*desktop, "CreateSession")[0]
        self.remote("Start")
        # Relative moves only: parked in the bottom right corner first (the
        # top left one opens the overview).
        self.remote("NotifyPointerMotionRelative", GLib.Variant("(dd)", (2 * WIDTH, 2 * HEIGHT)))
        self.at = (WIDTH - 1, HEIGHT - 1)

    def remote(self, method, args=None):
        return self.bus.call("org.gnome.Mutter.RemoteDesktop", self.session,
                             "org.gnome.Mutter.RemoteDesktop.Session", method, args)

    def program_env(self):
        return dict(super().program_env(), WAYLAND_DISPLAY="wayland-qvl",
                    DBUS_SESSION_BUS_ADDRESS=self.bus.address)

    def windows(self):
        listed = self.bus.call("org.gnome.Shell", "/org/qvlfest/Tests/Windows",
                               "org.qvlfest.Tests.Windows", "List")[0]
        return [Window(icon=None, **w) for w in json.loads(listed)]

    def screenshot(self):
        path = os.path.join(SCRATCH, "gnome-shot.png")
        self.bus.call("org.gnome.Shell", "/org/gnome/Shell/Screenshot",
                      "org.gnome.Shell.Screenshot", "Screenshot",
                      GLib.Variant("(bbs)", (False, False, path)))
        return Image.from_file(path)

    def pointer(self, steps):
        codes = {"left": 272, "right": 273, "middle": 274}
        for step in steps:
            if step[0] == "abs":
                dx, dy = step[1] - self.at[0], step[2] - self.at[1]
                self.remote("NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)))
                self.at = (step[1], step[2])
            else:
                self.remote("NotifyPointerButton",
                            GLib.Variant("(ib)", (codes[step[1]], step[0] == "press")))
            time.sleep(0.08)


def start(desktop, program, at):
    env = dict(desktop.program_env(), LD_PRELOAD=FAKETIME, FAKETIME="@" + at,
               FAKETIME_DONT_FAKE_MONOTONIC="1")
    return desktop.procs.start(f"{desktop.name}-{program}", [os.path.join(BIN, program)],
                               env=env)


def click(desktop, x, y):
    desktop.pointer([("abs", x, y), ("press", "left"), ("release", "left")])


def panel_shown(desktop, main):
    """The menu panel, light buttons on a light face, where the countdown
    sentence is otherwise drawn on black."""
    image = desktop.screenshot()
    left, top, right, bottom = PANEL
    values = [sum(image.at(main.x + x, main.y + y)) for y in range(top, bottom, 4)
              for x in range(left, right, 4)]
    return sum(values) / len(values) > 3 * 128


def menu_works(desktop, main):
    click(desktop, main.x + MENU[0], main.y + MENU[1])
    shown = wait(lambda: panel_shown(desktop, main), 5)
    click(desktop, main.x + MENU[0], main.y + MENU[1])
    return shown and wait(lambda: not panel_shown(desktop, main), 5)


def frameless(desktop, w):
    """The window is drawn (its title strip shows), and right around it lies
    the desktop's background: no border, title bar or shadow."""
    image = desktop.screenshot()
    background = image.at(WIDTH - 2, HEIGHT - 2)
    mid_x, mid_y = w.x + w.width // 2, w.y + w.height // 2
    outside = [(w.x - 1, mid_y), (w.x + w.width, mid_y), (mid_x, w.y - 1), (mid_x, w.y + w.height)]
    return (image.at(w.x + STRIP[0], w.y + STRIP[1]) != background
            and all(image.at(*p) == background for p in outside))


def drag(desktop, button, moves):
    """A drag on the title strip moves the window by the pointer's travel
    (or not at all where the desktop does not move it), and the window stays
    when the pointer goes on after the release. The menu panel is open
    first: the press closes it, which shows that the program has had the
    press (and asked for the move) before the pointer moves on."""
    before = desktop.window(MAIN)
    click(desktop, before.x + MENU[0], before.y + MENU[1])
    wait(lambda: panel_shown(desktop, before), 5)
    px, py = before.x + STRIP[0], before.y + STRIP[1]
    desktop.pointer([("abs", px, py), ("press", button)])
    wait(lambda: not panel_shown(desktop, before), 5)
    desktop.pointer([("abs", px + 40, py + 20), ("abs", px + 100, py + 60), ("release", button),
                     ("abs", px + 300, py + 200)])
    want = (before.x + 100, before.y + 60) if moves else before.at
    got = wait(lambda: desktop.window(MAIN).at == want and want, 5)
    time.sleep(0.3)
    after = desktop.window(MAIN).at
    if not got or after != want:
        print(f"    from {before.at}: {after}, not {want}")
        return False
    return True


def countdown(desktop, program, app_id, icon):
    print(f"{program} on {desktop.name}", flush=True)
    proc = start(desktop, program, "2027-04-21 10:20:30")
    try:
        main = desktop.placed(MAIN, 30)
        if not check("its window is on the desktop", main is not None):
            return
        check("256 x 145, as drawn", (main.width, main.height) == (256, 145),
              f"{main.width} x {main.height}")
        if desktop.name == "sway":
            check("floating, not tiled", main.floating and not main.fullscreen)
        check("frameless", wait(lambda: frameless(desktop, main), 5))
        check(f"its app id is its desktop file's name, {app_id}", main.app_id == app_id,
              main.app_id)
        if desktop.name == "gnome":
            check("the shell finds its desktop file", main.desktop_file == app_id + ".desktop",
                  main.desktop_file)
        for button in ("left", "right"):
            moves = button == "left" or desktop.right_drag_moves
            check(f"a {button} drag {'moves it by the travel' if moves else 'leaves it'}"
                  " and ends at the release", drag(desktop, button, moves))
            main = desktop.window(MAIN)
            check("Menu works after it", menu_works(desktop, main))
        click(desktop, main.x + MENU[0], main.y + MENU[1])
        wait(lambda: panel_shown(desktop, main), 5)
        click(desktop, main.x + ABOUT_BUTTON[0], main.y + ABOUT_BUTTON[1])
        about = desktop.placed(ABOUT, 10)
        if not check("the about box opens", about is not None):
            return
        check("in front", wait(lambda: desktop.windows()[-1].title == ABOUT
                               if desktop.name != "sway" else desktop.window(ABOUT).focused, 5))
        check("focused", wait(lambda: desktop.window(ABOUT).focused, 5))
        fixed_box(desktop, about, icon)
    finally:
        desktop.procs.stop(proc)


def fixed_box(desktop, box, icon):
    """A fixed-size window offers no maximise, and its title bar, where the
    desktop draws one, shows its caption and the program's icon."""
    if desktop.name == "sway":
        check("it floats, not full-screen", box.floating and not box.fullscreen)
        check("sway draws its title bar, with its caption", box.border == "normal", box.border)
        return
    check("the desktop offers no maximise", box.can_maximize is False)
    if desktop.name == "gnome":
        # Where Qt's own title bar put its maximise button, which moved the
        # box into the corner: nothing there moves it now.
        x, y = box.x + box.width - 48, box.y + 15
        desktop.pointer([("abs", x, y), ("press", "left"), ("release", "left")])
        time.sleep(0.3)
        after = desktop.window(box.title)
        check("a click where Qt's maximise button was leaves it",
              after.__dict__ == box.__dict__, after.__dict__)
    else:
        check("KWin draws its title bar", box.decorated)
        check("with the program's icon", icon_found(desktop, box, icon), box.icon)


def icon_found(desktop, w, icon):
    if desktop.xwayland:  # the window's own icon, all its sizes
        return all(f"QSize({s}, {s})" in w.icon for s in (16, 32, 48, 256))
    return f'QIcon("{icon}"' in w.icon  # from the theme, as the desktop file names it


def arrival(desktop, program):
    print(f"{program} across midnight into 22 June on {desktop.name}", flush=True)
    proc = start(desktop, program, "2027-06-21 23:59:58")
    try:
        if not check("the arrival window opens", wait(lambda: desktop.window(ARRIVAL), 15)):
            print(f"    windows: {[w.title for w in desktop.windows()]}; the program "
                  + ("runs" if proc.poll() is None else f"ended with {proc.returncode}")
                  + ", saying:\n" + desktop.procs.log(f"{desktop.name}-{program}")[-1000:])
        time.sleep(1)
        check("once", [w.title for w in desktop.windows()].count(ARRIVAL) == 1)
        box = desktop.window(ARRIVAL)
        if box is not None and desktop.name != "sway":
            check("the desktop offers it no maximise", box.can_maximize is False)
    finally:
        desktop.procs.stop(proc)


def install_desktop_files(programs):
    """The desktop files and the icon, where the desktops look for them."""
    share = os.path.join(SCRATCH, "share")
    os.makedirs(os.path.join(share, "applications"))
    icons = os.path.join(share, "icons", "hicolor", "48x48", "apps")
    os.makedirs(icons)
    for app_id, icon in programs.values():
        shutil.copy(os.path.join(PACKAGING, app_id + ".desktop"),
                    os.path.join(share, "applications"))
        shutil.copy(os.path.join(BUILD, "icons", "qvlfest-48.png"),
                    os.path.join(icons, icon + ".png"))


DESKTOPS = {"gnome": Gnome, "kwin": KWin, "kwin-xwayland": lambda p: KWin(p, xwayland=True),
            "sway": Sway}


def main():
    exit_on_signals()
    programs = desktop_files(PACKAGING)
    install_desktop_files(programs)
    copy_programs(BUILD, programs, BIN)
    for name in sys.argv[4:] or DESKTOPS:
        procs = Processes(SCRATCH)
        try:
            desktop = DESKTOPS[name](procs)
            started = time.monotonic()
            desktop.start()
            print(f"{name} up in {time.monotonic() - started:.1f} s", flush=True)
            for program, (app_id, icon) in programs.items():
                countdown(desktop, program, app_id, icon)
                arrival(desktop, program)
        except Exception:  # noqa: BLE001  the next desktop is checked all the same
            check(f"the checks on {name} run to their end", False, traceback.format_exc())
            for proc in procs.running:
                print(f"    {proc.name} " + ("runs" if proc.poll() is None
                                             else f"ended with {proc.returncode}")
                      + ", saying:\n" + procs.log(proc.name)[-600:])
        finally:
            procs.stop_all()
    finish("desktops")


main()
