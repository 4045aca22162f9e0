#!/usr/bin/env python3
"""When the lines of an LRC lyric appear, against the player's own position.

The real program plays a 60 s MP3 (sox + lame, made here) into the null sink
with an LRC lyric of 80 lines at stamps between whole seconds (several in one
second). Each line's org.cantorel.Lyrics.LineChanged signal is timestamped by
dbus-monitor; the moment the song's position was 0 is pinned down from many
MPRIS Position queries, each bracketed by the wall clock before and after it.
A line's lateness is the position at its signal minus its stamp.

Usage: bench/lrc_timing.py BUILD_DIR [RUNS]
Runs itself under dbus-run-session when there is no session bus. Prints each
run's median, worst and earliest lateness in milliseconds, and how tightly
the start was pinned down.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

BUS = "org.mpris.MediaPlayer2.cantorel"
OBJ = "/org/mpris/MediaPlayer2"
LINES = 80
SONG_SECONDS = 60


def stamps_ms():
    # 0.13 s, then every 0.69 s: hundredths everywhere, pairs in one second.
    return [130 + 690 * i for i in range(LINES)]


def make_media(folder):
    wav = os.path.join(folder, "tone.wav")
    song = os.path.join(folder, "Song.mp3")
    subprocess.run(["sox", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth",
                    str(SONG_SECONDS), "sine", "440"], check=True)
    subprocess.run(["lame", "--quiet", "-b", "128", wav, song], check=True)
    with open(os.path.join(folder, "Song.lrc"), "w", encoding="utf-8") as f:
        for i, ms in enumerate(stamps_ms()):
            f.write("[%02d:%02d.%02d]line %d\n" % (ms // 60000, ms // 1000 % 60, ms % 1000 // 10, i + 1))
    return song


def position_us():
    out = subprocess.run(["gdbus", "call", "--session", "--dest", BUS, "--object-path", OBJ, "--method",
                          "org.freedesktop.DBus.Properties.Get", "org.mpris.MediaPlayer2.Player", "Position"],
                         capture_output=True, text=True, timeout=10).stdout
    m = re.search(r"<(?:int64 )?(-?\d+)>", out)
    return int(m.group(1)) if m else None


def one_run(build, work):
    song = make_media(work)
    home = tempfile.mkdtemp(dir=work)
    # The file-type question would hold start-up (and the D-Bus service) back.
    with open(os.path.join(home, "cantorel.conf"), "w") as f:
        f.write("[Cantorel v4.0/config]\nAutoRegistry=0\n")
    env = dict(os.environ, CANTOREL_HOME=home, CANTOREL_NULL_AUDIO="1", QT_QPA_PLATFORM="offscreen",
               CANTOREL_SPLASH_MS="1", CANTOREL_NEWS_URL="http://127.0.0.1:9/msg.txt", XDG_RUNTIME_DIR=work)
    monitor = subprocess.Popen(["dbus-monitor", "--session",
                                "type='signal',interface='org.cantorel.Lyrics',member='LineChanged'"],
                               stdout=subprocess.PIPE, text=True)
    arrivals = {}  # line number -> wall time of its signal

    def read_monitor():
        when = None
        for row in monitor.stdout:
            m = re.match(r"signal time=(\d+\.\d+) .*member=LineChanged", row)
            if m:
                when = float(m.group(1))
                continue
            m = re.match(r'\s+string "line (\d+)"', row)
            if m and when is not None:
                arrivals.setdefault(int(m.group(1)), when)
                when = None

    reader = threading.Thread(target=read_monitor, daemon=True)
    reader.start()
    time.sleep(0.5)  # the monitor subscribes
    program = subprocess.Popen([os.path.join(build, "bin", "cantorel"), song], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Position 0 happened at wall time t0: each query, answered somewhere
    # between `before` and `after`, bounds it from both sides.
    low, high = float("-inf"), float("inf")
    deadline = time.time() + SONG_SECONDS + 20
    while time.time() < deadline and len(arrivals) < LINES:
        before = time.time()
        try:
            p = position_us()
        except subprocess.TimeoutExpired:
            p = None
        after = time.time()
        if p is not None and 0 < p < SONG_SECONDS * 1000000:
            low = max(low, before - p / 1e6)
            high = min(high, after - p / 1e6)
        time.sleep(0.3)
    program.terminate()
    try:
        program.wait(10)
    except subprocess.TimeoutExpired:
        program.kill()
    monitor.terminate()
    if len(arrivals) < LINES:
        sys.exit("only %d of %d lines arrived" % (len(arrivals), LINES))
    if low > high:
        sys.exit("the position did not run with the wall clock (%.1f ms apart)" % ((low - high) * 1000))
    t0 = (low + high) / 2
    late = [((arrivals[i + 1] - t0) * 1000 - ms) for i, ms in enumerate(stamps_ms())]
    return late, (high - low) * 1000


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)
    build = os.path.realpath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    for tool in ("sox", "lame", "gdbus", "dbus-monitor"):
        if not shutil.which(tool):
            sys.exit(tool + " missing (bash scripts/setup.sh --test)")
    print("run  lines  median ms  worst ms  earliest ms  start known to ms")
    for r in range(runs):
        with tempfile.TemporaryDirectory() as work:
            late, spread = one_run(build, work)
        print("%3d  %5d  %9.1f  %8.1f  %11.1f  %17.1f" %
              (r + 1, len(late), statistics.median(late), max(late), min(late), spread))


if __name__ == "__main__":
    main()
