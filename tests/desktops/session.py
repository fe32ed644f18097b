"""What the desktop and screen-reader checks share: the processes they start
(each ended by its id, with everything it started, also when a check fails
or the run is interrupted), checks, waiting, screenshots, and the desktop
files the programs are named by."""
import ctypes
import glob
import os
import shutil
import signal
import subprocess
import sys
import time

failures = passes = 0


def check(what, ok, detail=""):
    global failures, passes
    if ok:
        passes += 1
        print(f"  ok: {what}", flush=True)
    else:
        failures += 1
        print(f"  FAILED: {what}" + (f" ({detail})" if detail else ""), flush=True)
    return ok


def wait(predicate, seconds=10.0, step=0.05):
    """The predicate's first true value within `seconds`, else None."""
    end = time.monotonic() + seconds
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception:  # windows and buses come and go under us
            pass
        if time.monotonic() > end:
            return None
        time.sleep(step)


def descendants(pid):
    """The ids of every process that `pid` started, and they started."""
    children = {}
    for stat in glob.glob("/proc/[0-9]*/stat"):
        try:
            with open(stat) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(stat.split("/")[2]))
        except (OSError, IndexError, ValueError):
            pass
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


class Processes:
    """The processes a run starts. `stop` ends one with everything it
    started: TERM, then KILL after a grace period; `stop_all` ends the rest,
    last started first. Whatever they leave behind when their parent goes
    becomes this process's child (a subreaper), so that it is ended and
    reaped too."""

    def __init__(self, scratch):
        self.scratch = scratch
        self.running = []
        pr_set_child_subreaper = 36
        ctypes.CDLL(None, use_errno=True).prctl(pr_set_child_subreaper, 1, 0, 0, 0)

    def start(self, name, args, env=None, piped=False):
        """Its output goes to a log, or with `piped` its standard output and
        input are pipes (and its errors go to the log)."""
        log = open(os.path.join(self.scratch, name + ".log"), "ab")
        proc = subprocess.Popen(args, env=env, stdout=subprocess.PIPE if piped else log,
                                stderr=log if piped else subprocess.STDOUT,
                                stdin=subprocess.PIPE if piped else subprocess.DEVNULL, text=piped)
        log.close()
        proc.name = name
        self.running.append(proc)
        return proc

    def log(self, name):
        with open(os.path.join(self.scratch, name + ".log"), errors="replace") as f:
            return f.read()

    def stop(self, proc, grace=3.0):
        tree = [proc.pid] + descendants(proc.pid)
        for pid in tree:
            try:
                os.kill(pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        end = time.monotonic() + grace
        while time.monotonic() < end and any(alive(pid) for pid in tree):
            proc.poll()
            time.sleep(0.05)
        for pid in tree:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        proc.wait()
        if proc in self.running:
            self.running.remove(proc)

    def stop_all(self):
        while self.running:
            self.stop(self.running[-1])
        for pid in descendants(os.getpid()):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        try:
            while os.waitpid(-1, os.WNOHANG)[0] > 0:
                pass
        except ChildProcessError:
            pass


def alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def exit_on_signals():
    """TERM and INT end the run through its `finally` clauses."""
    def leave(signum, _frame):
        raise SystemExit(128 + signum)
    signal.signal(signal.SIGTERM, leave)
    signal.signal(signal.SIGINT, leave)


def finish(name):
    print(f"{name}: {passes} passed, {failures} failed", flush=True)
    sys.exit(1 if failures else 0)


class Image:
    """A screenshot: rows of `stride` bytes, pixels of `step` bytes whose
    red, green and blue lie at the offsets `rgb`."""

    def __init__(self, width, height, data, stride=None, step=3, rgb=(0, 1, 2)):
        self.width, self.height, self.data = width, height, data
        self.stride, self.step, self.rgb = stride or width * step, step, rgb

    @staticmethod
    def from_ppm(data):
        # P6, then width, height and the maximum value, each after white space
        fields, at = [], 2
        while len(fields) < 3:
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(int(data[at:end]))
            at = end
        return Image(fields[0], fields[1], data[at + 1:])

    @staticmethod
    def from_file(path):
        """Any format ImageMagick reads."""
        return Image.from_ppm(subprocess.run(["convert", path, "-depth", "8", "ppm:-"],
                                             capture_output=True, check=True).stdout)

    def at(self, x, y):
        i = y * self.stride + x * self.step
        return tuple(self.data[i + c] for c in self.rgb)


def desktop_files(packaging):
    """Each program's desktop file (its name without ".desktop") and icon,
    by the program it runs."""
    programs = {}
    for path in sorted(glob.glob(os.path.join(packaging, "*.desktop"))):
        entry = dict(line.split("=", 1) for line in open(path).read().splitlines() if "=" in line)
        programs[entry["Exec"].split()[0]] = (os.path.basename(path)[:-len(".desktop")],
                                              entry["Icon"])
    return programs


def copy_programs(build, programs, folder):
    """The programs, copied to a folder of the run's own: a script that ends
    the programs it finds by their path leaves these alone."""
    os.makedirs(folder)
    for program in programs:
        shutil.copy(os.path.join(build, program), folder)
    return folder
