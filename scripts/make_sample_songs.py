#!/usr/bin/env python3
"""Writes a folder of short songs with modern tags to try the player on:

    scripts/make_sample_songs.py DIR && scripts/dev.sh run DIR

MP3 with ID3v2.4 (a SYLT lyric in milliseconds and a cover) and ID3v2.3
(LRC text in USLT, UTF-16 text), FLAC with a Vorbis comment (LRC text in
LYRICS) and a picture block, Ogg Vorbis and Opus tagged by GStreamer,
and an M4A without a tag. Tags of MP3 and FLAC are written here byte by byte; the sound
comes from gst-launch-1.0 and lame (scripts/setup.sh --test installs them).
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SECONDS = 6


def tone(path, encoder, rate=44100, tags=None):
    inject = ["taginject", "tags=" + tags, "!"] if tags else []
    subprocess.run(["gst-launch-1.0", "-q", "-e", "audiotestsrc", "wave=sine", "num-buffers=%d" % (SECONDS * 10),
                    "samplesperbuffer=%d" % (rate // 10), "!", "audio/x-raw,rate=%d,channels=2" % rate, "!",
                    "audioconvert", "!"] + inject + encoder.split() + ["!", "filesink", "location=" + path],
                   check=True)


def png(rgb):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(rgb) * 64 for _ in range(64))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 64, 64, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def id3v2(frames, version):
    def size(n, syncsafe):
        return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F]) if syncsafe else struct.pack(">I", n)
    body = b"".join(fid + size(len(data), version == 4) + b"\0\0" + data for fid, data in frames)
    return b"ID3" + bytes([version, 0, 0]) + size(len(body), True) + body


def text(s, version):
    return b"\x03" + s.encode() if version == 4 else b"\x01" + s.encode("utf-16")


def mp3(path, version, title, artist, album, extra):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "t.wav")
        tone(wav, "wavenc")
        subprocess.run(["lame", "--quiet", "-b", "128", wav, path], check=True)
    frames = [(b"TIT2", text(title, version)), (b"TPE1", text(artist, version)), (b"TALB", text(album, version)),
              (b"TRCK", text("1", version))] + extra
    with open(path, "rb") as f:
        audio = f.read()
    with open(path, "wb") as f:
        f.write(id3v2(frames, version) + audio)


def flac(path, comments, picture):
    tone(path, "flacenc")
    with open(path, "rb") as f:
        data = f.read()
    pos, blocks = 4, []
    while True:  # keep STREAMINFO and the rest, drop the old comment and padding
        head = data[pos]
        length = int.from_bytes(data[pos + 1:pos + 4], "big")
        if head & 0x7F not in (1, 4):
            blocks.append((head & 0x7F, data[pos + 4:pos + 4 + length]))
        pos += 4 + length
        if head & 0x80:
            break
    vendor = b"sample"
    body = struct.pack("<I", len(vendor)) + vendor + struct.pack("<I", len(comments))
    for c in comments:
        body += struct.pack("<I", len(c.encode())) + c.encode()
    mime = b"image/png"
    pic = struct.pack(">II", 3, len(mime)) + mime + struct.pack(">IIIIII", 0, 64, 64, 24, 0, len(picture)) + picture
    blocks += [(4, body), (6, pic)]
    out = b"fLaC"
    for i, (kind, block) in enumerate(blocks):
        out += bytes([kind | (0x80 if i == len(blocks) - 1 else 0)]) + len(block).to_bytes(3, "big") + block
    with open(path, "wb") as f:
        f.write(out + data[pos:])


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_sample_songs.py DIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, name)
    sylt = (b"\x03eng\x02\x01" + b"\x00" +
            b"".join(t.encode() + b"\0" + struct.pack(">I", ms)
                     for t, ms in [("Первая строка", 1000), ("二行目", 2500), ("Третья", 4000)]))
    cover = b"\x00image/png\x00\x03\x00" + png((200, 40, 40))
    mp3(p("01 sylt.mp3"), 4, "Синхронно", "Ночной поезд", "Тени", [(b"SYLT", sylt), (b"APIC", cover)])
    uslt = b"\x01eng" + "\0".encode("utf-16") + "[00:01.00]USLT, первая\n[00:03.00]USLT, 二番目\n".encode("utf-16")
    mp3(p("02 uslt.mp3"), 3, "夜の歌", "青い鳥", "一枚目", [(b"USLT", uslt)])
    flac(p("03 lyrics.flac"), ["TITLE=Ночь", "ARTIST=Группа", "ALBUM=Флак", "TRACKNUMBER=3",
                               "LYRICS=[00:01.00]FLAC, one\n[00:02.50]FLAC, два\n[00:04.00]FLAC, 三"], png((40, 160, 40)))
    tone(p("04 vorbis.ogg"), "vorbisenc ! oggmux", tags="title=Vorbis,artist=Ogg,album=Samples")
    tone(p("05 opus.opus"), "opusenc ! oggmux", 48000, tags="title=Opus,artist=Ogg,album=Samples")
    tone(p("06 untagged.m4a"), "voaacenc ! mp4mux")  # shown by its file name
    print("wrote", out)


if __name__ == "__main__":
    main()
