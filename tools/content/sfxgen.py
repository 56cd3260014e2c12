#!/usr/bin/env python3
"""Makes the sound effects from their sox recipes: 16-bit mono 22050 Hz, normalised to each
effect's peak, encoded with oggenc. sox runs with a fixed random seed (-R) and oggenc with a
serial taken from the name, so the same recipes always give the same bytes. A recipe that clips,
or a result whose length is more than 10 % off its entry, fails the build.

Usage: sfxgen.py SFX_TXT GEN PARTS   (writes PARTS/common/sfx/<name>.ogg)"""
import concurrent.futures
import os
import shutil
import subprocess
import sys
import wave
import zlib

RATE = 22050


class RecipeError(Exception):
    pass


def parse_line(line):
    words = line.split()
    if len(words) < 4:
        raise RecipeError("needs a name, a length, a peak and a recipe")
    name, length, peak = words[0], float(words[1]), float(words[2])
    body, _, chain = " ".join(words[3:]).partition("|")
    return name, length, peak, tokenize(body), chain.split()


def tokenize(text):
    return text.replace("(", " ( ").replace(")", " ) ").split()


class Builder:
    """Turns a recipe into sox runs, each writing one numbered WAV in a work folder."""

    def __init__(self, work):
        self.work = work
        self.count = 0

    def sox(self, args):
        self.count += 1
        out = os.path.join(self.work, f"{self.count}.wav")
        result = subprocess.run(["sox", "-R", *args[:-1], out, *args[-1]], capture_output=True, text=True)
        if result.returncode != 0 or "clipped" in result.stderr:
            raise RecipeError(f"sox {' '.join(args[-1])}: {result.stderr.strip()}")
        return out

    def part(self, words):
        if words and words[0] == "@44k":
            return self.sox(["-r", "44100", "-n", "-r", str(RATE), "-c", "1", "-b", "16", words[1:] + ["rate", str(RATE)]])
        return self.sox(["-n", "-r", str(RATE), "-c", "1", "-b", "16", words])

    def expr(self, tokens):
        """expr := term { '+' term }; term := factor { '&' factor }; factor := '(' expr ')' | part."""
        files = [self.term(tokens)]
        while tokens and tokens[0] == "+":
            tokens.pop(0)
            files.append(self.term(tokens))
        return files[0] if len(files) == 1 else self.sox(files + [[]])

    def term(self, tokens):
        files = [self.factor(tokens)]
        while tokens and tokens[0] == "&":
            tokens.pop(0)
            files.append(self.factor(tokens))
        return files[0] if len(files) == 1 else self.sox(["-m"] + files + [[]])

    def factor(self, tokens):
        if tokens and tokens[0] == "(":
            tokens.pop(0)
            out = self.expr(tokens)
            if not tokens or tokens.pop(0) != ")":
                raise RecipeError("a '(' has no ')'")
            return out
        words = []
        while tokens and tokens[0] not in ("+", "&", ")"):
            words.append(tokens.pop(0))
        if not words:
            raise RecipeError("an empty part")
        return self.part(words)


def make(line, gen, out_dir):
    name, length, peak, tokens, chain = parse_line(line)
    work = os.path.join(gen, name)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    builder = Builder(work)
    joined = builder.expr(tokens)
    if tokens:
        raise RecipeError(f"unexpected '{tokens[0]}'")
    if chain:
        joined = builder.sox([joined, chain])
    # a 5 ms fade to silence at the very end, so no effect stops with a click; a pass of its own,
    # since sox places "-0" by the length its input had before the chain's pads and reverbs
    final = builder.sox([joined, ["fade", "0", "-0", "0.005", "gain", "-n", str(peak)]])
    with wave.open(final) as w:
        seconds = w.getnframes() / w.getframerate()
        if w.getnchannels() != 1 or w.getframerate() != RATE:
            raise RecipeError("not mono 22050 Hz")
    if abs(seconds - length) > 0.1 * length + 0.01:
        raise RecipeError(f"lasts {seconds:.2f} s, the entry says {length} s")
    serial = zlib.crc32(name.encode()) & 0x7FFFFFFF
    result = subprocess.run(["oggenc", "-Q", "-q", "3", "-s", str(serial), "-o", os.path.join(out_dir, name + ".ogg"),
                             final], capture_output=True, text=True)
    if result.returncode != 0:
        raise RecipeError("oggenc: " + result.stderr.strip())
    return name


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    recipes, gen, parts = argv[1:]
    out_dir = os.path.join(parts, "common", "sfx")
    shutil.rmtree(parts, ignore_errors=True)
    os.makedirs(out_dir)
    with open(recipes) as f:
        lines = [(i + 1, line.split("#")[0].strip()) for i, line in enumerate(f)]
    lines = [(number, line) for number, line in lines if line]
    names = [line.split()[0] for _, line in lines]
    if len(set(names)) != len(names):
        print("sfxgen: a name is listed twice", file=sys.stderr)
        return 1
    failed = False
    with concurrent.futures.ThreadPoolExecutor(max_workers=min(4, os.cpu_count() or 1)) as pool:
        jobs = [(number, pool.submit(make, line, gen, out_dir)) for number, line in lines]
        for number, job in jobs:
            try:
                job.result()
            except (RecipeError, ValueError) as error:
                print(f"{recipes}:{number}: {error}", file=sys.stderr)
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
