#!/usr/bin/env python3
"""Makes the music: each song (.tune) composed into a module by tarvxm, rendered for exactly one
loop by the game's own module player, checked, brought to its peak level and encoded with
oggenc (serial from the name, so the bytes repeat). The build fails when a rendering has a
clipped sample, a peak outside the loudness window, or a loop seam that clicks.

Usage: musicgen.py TARVXM GEN PARTS TUNE...   (writes PARTS/common/music/<name>.ogg)"""
import array
import math
import os
import shutil
import subprocess
import sys
import wave
import zlib

PEAK_DB = -9.0  # the level every song is brought to
RAW_WINDOW = (-13.0, -5.0)  # where the composition itself must peak: headroom without a big lift
SEAM_LIMIT = 0.01  # of full scale, between the last and the first sample


def samples(path):
    with wave.open(path) as w:
        if w.getnchannels() != 1 or w.getframerate() != 22050 or w.getsampwidth() != 2:
            raise ValueError("not 16-bit mono 22050 Hz")
        data = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        data.byteswap()
    return data


def check_raw(data):
    """The faults of a rendering as text, or None."""
    if not data:
        return "renders nothing"
    clipped = sum(1 for s in data if s >= 32767 or s <= -32768)
    if clipped:
        return f"{clipped} clipped samples"
    peak = max(abs(s) for s in data) / 32768.0
    peak_db = 20 * math.log10(peak) if peak > 0 else -200.0
    if not RAW_WINDOW[0] <= peak_db <= RAW_WINDOW[1]:
        return f"peaks at {peak_db:.1f} dBFS, outside {RAW_WINDOW[0]} to {RAW_WINDOW[1]}"
    return None


def make(tarvxm, gen, out_dir, tune):
    name = os.path.splitext(os.path.basename(tune))[0]
    xm, raw, level = (os.path.join(gen, name + ext) for ext in (".xm", ".raw.wav", ".wav"))
    for command in ([tarvxm, "compose", tune, xm], [tarvxm, "render", tune, xm, raw]):
        if subprocess.run(command).returncode != 0:
            return f"{name}: {command[1]} failed"
    fault = check_raw(samples(raw))
    if fault:
        return f"{name}: {fault}"
    subprocess.run(["sox", "-R", raw, level, "gain", "-n", str(PEAK_DB)], check=True)
    data = samples(level)
    seam = abs(data[-1] - data[0]) / 32768.0
    if seam > SEAM_LIMIT:
        return f"{name}: the loop seam steps by {seam:.3f} of full scale"
    serial = zlib.crc32(name.encode()) & 0x7FFFFFFF
    subprocess.run(["oggenc", "-Q", "-q", "4", "-s", str(serial), "-o", os.path.join(out_dir, name + ".ogg"), level],
                   check=True)
    return None


def main(argv):
    if len(argv) < 5:
        print(__doc__, file=sys.stderr)
        return 2
    tarvxm, gen, parts = argv[1:4]
    out_dir = os.path.join(parts, "common", "music")
    shutil.rmtree(parts, ignore_errors=True)
    os.makedirs(out_dir)
    os.makedirs(gen, exist_ok=True)
    failed = False
    for tune in argv[4:]:
        fault = make(tarvxm, gen, out_dir, tune)
        if fault:
            print("musicgen: " + fault, file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
