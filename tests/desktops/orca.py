"""Both Linux programs with the Orca screen reader, on X with a window
manager: what Orca says, unprompted, as each window opens and while the
program idles, read from speech-dispatcher's log of every utterance.
   orca.py <linux-build-dir>"""
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import oracle  # noqa: E402  the tests' own countdown, apart from the program's
from session import Processes, check, copy_programs, exit_on_signals, finish, wait  # noqa: E402

BUILD = os.path.abspath(sys.argv[1])
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
MAIN = "time until qvlfest"
# Each build's version and whether its about box has the red label.
PROGRAMS = {"qvlfest": ("2.1.0", False), "qvlfest-non-lcars": ("2.1.1", True)}
SENTENCE = re.compile(r"It is -?\d+ days \d+ Hours \d+ Minutes +and \d+ Seconds")
# Texts of the countdown window's developer area, outside what it shows.
DEVELOPER = ["Press this button to manualy calculate", "ACTUALLY, THIS BUTTON NO LONGER WORKS",
             "THESE BUTTONS HAVE BEEN REPLACED", "Everything this side of those lines",
             "The automation timers are here", "Timer 1 calculates", "Current Time:",
             "Number of days after", "Month (Name)"]
# Where Menu and "About this program" are in the countdown window.
MENU, ABOUT_BUTTON = (218, 10), (165, 94)
# How long to listen for an utterance that must not come: the sentence
# changes every second meanwhile.
QUIET = 2.5


class Speech:
    """What has been spoken since a mark."""

    def __init__(self, path):
        self.path, self.mark = path, 0

    def all(self):
        with open(self.path, errors="replace") as f:
            return f.read()

    def since(self):
        return self.all()[self.mark:]

    def mark_now(self):
        self.mark = len(self.all())

    def heard(self, *texts, seconds=8.0):
        return wait(lambda: all(t in self.since() for t in texts), seconds)

    def quiet(self):
        """Nothing more is said while the program idles."""
        self.mark_now()
        time.sleep(QUIET)
        said = self.since()
        return check("nothing more is said while it idles", said.strip() == "", said.strip())


def start_desktop(procs, scratch, spoken):
    fifo = os.path.join(scratch, "display")
    os.mkfifo(fifo)
    procs.start("xvfb", ["sh", "-c", f'exec Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp '
                                     f'-noreset 8>"{fifo}"'])
    # Xvfb writes its display's number there once it listens.
    reader = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
    try:
        number = wait(lambda: os.read(reader, 16).decode().strip(), 15)
    finally:
        os.close(reader)
    if not number:
        raise RuntimeError("Xvfb did not start:\n" + procs.log("xvfb"))
    display = ":" + number
    bus = "unix:path=" + os.path.join(scratch, "bus")
    procs.start("bus", ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + bus])
    runtime = os.path.join(scratch, "runtime")
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=bus, HOME=scratch,
               XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(scratch, "config"))
    wait(lambda: os.path.exists(bus[len("unix:path="):]), 5)
    procs.start("openbox", ["openbox"], env=env)
    procs.start("atspi", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
    # Speech goes to a log, one line per utterance.
    config = os.path.join(scratch, "speechd")
    os.makedirs(os.path.join(config, "modules"))
    with open(os.path.join(config, "speechd.conf"), "w") as f:
        f.write('AudioOutputMethod "alsa"\nAudioALSADevice "null"\n'
                'AddModule "logger" "sd_generic" "logger-generic.conf"\nDefaultModule logger\n'
                'LogLevel 3\nLogDir "default"\nDefaultVolume 100\n')
    with open(os.path.join(config, "modules", "logger-generic.conf"), "w") as f:
        f.write(f"GenericExecuteSynth \"printf '%s\\\\n' \\'$DATA\\' >> {spoken}\"\n"
                'AddVoice "en" "MALE1" "en"\nGenericLanguage "en" "en" "utf-8"\n')
    socket = os.path.join(runtime, "speechd.sock")
    procs.start("speech-dispatcher", ["speech-dispatcher", "-s", "-t", "0", "-l", "3",
                                      "-L", scratch, "-C", config, "-S", socket], env=env)
    if not wait(lambda: os.path.exists(socket), 10):
        raise RuntimeError("speech-dispatcher did not start:\n" + procs.log("speech-dispatcher"))
    env["SPEECHD_ADDRESS"] = "unix_socket:" + socket
    prefs = os.path.join(scratch, "orca")
    os.makedirs(prefs)
    procs.start("orca", ["orca", "-u", prefs], env=env)
    return env


def start(procs, env, program, at):
    return procs.start(program, [os.path.join(procs.scratch, "bin", program)], env=dict(
        env, LD_PRELOAD=FAKETIME, FAKETIME="@" + at, FAKETIME_DONT_FAKE_MONOTONIC="1"))


def click(env, speech, title, x, y, button_name):
    """As a hand clicks a button: down, and up once Orca has said the button
    that the press focused. (Orca looks at the active window as a press
    comes in; had it not seen this press before the release opens a new
    window, it would take that window as already announced.)"""
    wid = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], env=env,
                         capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "mousemove", "--window", wid, str(x), str(y), "mousedown", "1"],
                   env=env, check=True)
    speech.heard(button_name + " push button", seconds=5)
    speech.mark_now()
    subprocess.run(["xdotool", "mouseup", "1"], env=env, check=True)


def sentence_due(said, at, started):
    """The sentence spoken is the one due at the faked clock (which started
    at `at` with the program) when it was spoken."""
    found = SENTENCE.search(said)
    if not found:
        return False
    elapsed = int(time.monotonic() - started) + 1
    t = datetime.datetime.strptime(at, "%Y-%m-%d %H:%M:%S") + datetime.timedelta(seconds=elapsed)
    return oracle.due(found.group(0) + " ", t, elapsed + 1)


def countdown(procs, env, speech, program, version, red_label):
    print(f"{program}: the countdown window and the about box", flush=True)
    at = "2027-04-21 10:20:30"
    speech.mark_now()
    started = time.monotonic()
    proc = start(procs, env, program, at)
    try:
        check("Orca speaks the window's caption and the countdown sentence",
              speech.heard(MAIN, "Until Quorvell Fest !!!") and wait(
                  lambda: sentence_due(speech.since(), at, started), 5), speech.since().strip())
        speech.quiet()
        click(env, speech, MAIN, *MENU, "Menu")
        click(env, speech, MAIN, *ABOUT_BUTTON, "About this program")
        texts = ["About QVLFEST", "Version " + version, "OK push button"] + (
            ["NON LCARS FONT VERSION"] if red_label else [])
        check("the about box: its title, version" + (", red label" if red_label else "")
              + " and focused button",
              speech.heard(*texts), speech.since().strip())
        if not red_label:
            check("no red label", "NON LCARS" not in speech.since())
        speech.quiet()
    finally:
        procs.stop(proc)


def arrival(procs, env, speech, program):
    print(f"{program}: across midnight into 22 June", flush=True)
    speech.mark_now()
    proc = start(procs, env, program, "2027-06-21 23:59:58")
    try:
        check("Orca reads the arrival window's three lines, then its focused button",
              speech.heard("YEAH!", "GET FUCKING EXITED", "QUORVELL FEST", "IS TODAY!!!",
                           "Click This.", "push button", seconds=10),
              speech.since().strip())
        speech.quiet()
    finally:
        procs.stop(proc)


def main():
    exit_on_signals()
    scratch = tempfile.mkdtemp()
    procs = Processes(scratch)
    try:
        spoken = os.path.join(scratch, "spoken.txt")
        open(spoken, "w").close()
        speech = Speech(spoken)
        env = start_desktop(procs, scratch, spoken)
        copy_programs(BUILD, PROGRAMS, os.path.join(scratch, "bin"))
        if not check("Orca starts", speech.heard("Screen reader on", seconds=30)):
            print(procs.log("orca")[-2000:])
            return
        for program, (version, red_label) in PROGRAMS.items():
            countdown(procs, env, speech, program, version, red_label)
            arrival(procs, env, speech, program)
        said = speech.all()
        check("nothing of the developer area was said",
              not any(text in said for text in DEVELOPER),
              [text for text in DEVELOPER if text in said])
    except RuntimeError as e:
        check("the screen reader runs", False, str(e))
    finally:
        procs.stop_all()
        shutil.rmtree(scratch, ignore_errors=True)
    finish("orca")


main()
