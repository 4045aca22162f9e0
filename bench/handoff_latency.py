#!/usr/bin/env python3
"""Hand-off of one file to the running player, seen from outside.

Starts the real player offscreen in a private home (with the null audio sink,
no news download, and the checkpoint right after a change, so the playlist
file shows an entry as soon as the player has it), then runs
`cantorel /ADD FILE` ROUNDS times and measures for each
  exec -> exit   how long the second start takes, and
  exec -> entry  until the running player's playlist file names the file.
The floor, measured the same way in the same run, interleaved: `true` for
exec -> exit, and a shell appending the name to a file for exec -> entry.

Usage: bench/handoff_latency.py BUILD_DIR [ROUNDS]
"""
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def wait_for(path, text, deadline_s=5.0):
    """Nanoseconds (perf counter) when `path` first holds `text`."""
    end = time.monotonic() + deadline_s
    needle = text.encode()
    while time.monotonic() < end:
        try:
            with open(path, "rb") as f:
                if needle in f.read():
                    return time.perf_counter_ns()
        except FileNotFoundError:
            pass
        time.sleep(0.0002)
    raise SystemExit(f"{text} did not reach {path}")


def timed(cmd, env, watch, text):
    t0 = time.perf_counter_ns()
    subprocess.run(cmd, env=env, check=True)
    t1 = time.perf_counter_ns()
    t2 = wait_for(watch, text)
    return (t1 - t0) / 1e6, (t2 - t0) / 1e6


def show(name, values):
    print(f"{name:34s} median {statistics.median(values):7.2f} ms"
          f"  (min {min(values):.2f}, max {max(values):.2f})")


def main():
    build = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    program = os.path.join(build, "bin", "cantorel")
    # On tmpfs when there is one, so the disk does not time the playlist write.
    work = tempfile.mkdtemp(dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    home = os.path.join(work, "home")
    music = os.path.join(work, "music")
    run = os.path.join(work, "run")
    for d in (home, music, run):
        os.makedirs(d, mode=0o700)
    env = dict(os.environ, CANTOREL_HOME=home, CANTOREL_RECORD_DESKTOP=os.path.join(work, "desktop.log"),
               CANTOREL_NULL_AUDIO="1", CANTOREL_SPLASH_MS="20", CANTOREL_NEWS_URL="http://127.0.0.1:9/msg.txt",
               CANTOREL_CHECKPOINT_MS="1", QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=run)
    key = hashlib.sha1(os.path.join(home, "cantorel.conf").encode()).hexdigest()[:12]
    socket = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"cantorel-{os.getuid()}-{key}")
    player = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        end = time.monotonic() + 10
        while not os.path.exists(socket) and time.monotonic() < end:
            time.sleep(0.05)
        time.sleep(1)
        playlist = os.path.join(home, "playlist.m3u")
        floor_file = os.path.join(work, "floor.txt")
        figures = {"player exec -> exit": [], "player exec -> entry": [],
                   "floor exec -> exit (true)": [], "floor exec -> entry (sh append)": []}
        for i in range(rounds + 1):  # the first round warms up
            song = os.path.join(music, f"song {i}.mp3")
            with open(song, "wb") as f:
                f.write(b"not really audio")
            exit_ms, entry_ms = timed([program, "/ADD", song], env, playlist, f"song {i}.mp3")
            floor_exit, _ = timed(["true"], env, playlist, f"song {i}.mp3")
            _, floor_entry = timed(["sh", "-c", f"echo 'floor {i}' >> '{floor_file}'"], env, floor_file, f"floor {i}")
            if i == 0:
                continue
            figures["player exec -> exit"].append(exit_ms)
            figures["player exec -> entry"].append(entry_ms)
            figures["floor exec -> exit (true)"].append(floor_exit)
            figures["floor exec -> entry (sh append)"].append(floor_entry)
        print(f"{rounds} rounds, interleaved")
        for name, values in figures.items():
            show(name, values)
    finally:
        player.terminate()
        player.wait(10)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
