"""The countdown sentence due at a local time, worked out apart from the
program (Python's own calendar), for the end-to-end tests of every system.

   oracle.py "<YYYY-MM-DD HH:MM:SS>" "<sentence shown>" [seconds]
exits 0 if the sentence shown is the one due at that time or at most
`seconds` (default 2) before it, as a program that ticks ten times a second
shows it."""
import datetime
import sys


def day_total(t):
    """Days to the next 22 June; from 23 to 30 June the count runs on below
    zero, as a window open since June keeps its June rule."""
    if t.month == 6 and t.day > 22:
        return 22 - t.day
    festival = datetime.date(t.year, 6, 22)
    if festival < t.date():
        festival = datetime.date(t.year + 1, 6, 22)
    return (festival - t.date()).days


def sentence(t):
    return (f"It is {day_total(t)} days {24 - t.hour} Hours {60 - t.minute} Minutes "
            f" and {60 - t.second} Seconds ")


def due(shown, t, seconds=2):
    return any(shown == sentence(t - datetime.timedelta(seconds=s)) for s in range(seconds + 1))


if __name__ == "__main__":
    at = datetime.datetime.strptime(sys.argv[1].strip(), "%Y-%m-%d %H:%M:%S")
    shown = sys.argv[2]
    if due(shown, at, int(sys.argv[3]) if len(sys.argv) > 3 else 2):
        print(f"    sentence due: \"{shown}\"")
        sys.exit(0)
    print(f"    \"{shown}\" is not the sentence due at {at}: \"{sentence(at)}\"")
    sys.exit(1)
