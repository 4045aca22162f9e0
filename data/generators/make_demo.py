#!/usr/bin/env python3
"""Writes the demo song data/demo/demo.mid and its timed lyric demo.qvl.

The tune is the traditional French melody "Ah! vous dirai-je, maman" and the
text the first verse of Jane Taylor's "The Star" (1806); both are in the
public domain. At 120 beats a minute every phrase lasts four seconds, after
one second of lead-in, so each lyric line's time is exact.

Usage: data/generators/make_demo.py [output folder]   (default: data/demo)
"""
import os
import struct
import sys

DIVISION = 480          # ticks per quarter note
TEMPO_US = 500000       # a quarter note lasts half a second
LEAD_IN_BEATS = 2       # one second of silence first
PHRASE_BEATS = 8        # four seconds a phrase

C4, D4, E4, F4, G4, A4 = 60, 62, 64, 65, 67, 69
A = [C4, C4, G4, G4, A4, A4, G4]
B = [F4, F4, E4, E4, D4, D4, C4]
C = [G4, G4, F4, F4, E4, E4, D4]
PHRASES = [
    (A, "Twinkle, twinkle, little star,"),
    (B, "How I wonder what you are!"),
    (C, "Up above the world so high,"),
    (C, "Like a diamond in the sky."),
    (A, "Twinkle, twinkle, little star,"),
    (B, "How I wonder what you are!"),
]
# Bass notes under each phrase, one per half bar (four beats).
BASS = {id(A): [48, 53], id(B): [53, 48], id(C): [55, 55]}


def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)


def midi():
    events = []  # (tick, order, bytes)
    t = LEAD_IN_BEATS * DIVISION
    for notes, _ in PHRASES:
        start = t
        for i, note in enumerate(notes):
            length = 2 * DIVISION if i == len(notes) - 1 else DIVISION
            events.append((t, 1, bytes([0x90, note, 96])))
            events.append((t + length - 30, 0, bytes([0x80, note, 0])))
            t += length
        for k, bass in enumerate(BASS[id(notes)]):
            b0 = start + k * 4 * DIVISION
            events.append((b0, 1, bytes([0x91, bass, 70])))
            events.append((b0 + 4 * DIVISION - 30, 0, bytes([0x81, bass, 0])))
    end = t + DIVISION
    events.sort(key=lambda e: (e[0], e[1]))
    track = bytearray()
    track += varlen(0) + b"\xFF\x51\x03" + TEMPO_US.to_bytes(3, "big")
    track += varlen(0) + bytes([0xC0, 0])   # piano
    track += varlen(0) + bytes([0xC1, 32])  # acoustic bass
    last = 0
    for tick, _, data in events:
        track += varlen(tick - last) + data
        last = tick
    track += varlen(end - last) + b"\xFF\x2F\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, DIVISION)
    return header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track)


def lyric():
    lines = ["(QVL)"]
    seconds = LEAD_IN_BEATS // 2
    for _, text in PHRASES:
        lines.append(text)
        lines.append("%d:%02d" % (seconds // 60, seconds % 60))
        seconds += PHRASE_BEATS // 2
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "demo.mid"), "wb") as f:
        f.write(midi())
    with open(os.path.join(out, "demo.qvl"), "wb") as f:
        f.write(lyric())


if __name__ == "__main__":
    main()
