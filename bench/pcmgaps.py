#!/usr/bin/python3
"""pcmgaps.py FILE.raw RECORDING.raw: for each pass of the file in the recording
(raw s16le, 2 channels, 44100 Hz; a pass starts after at least 0.5 s of silence),
prints "pass SECONDS_INTO_RECORDING MISSING_MS LENGTH_MS FILE_LENGTH_MS".

Both are cut into 1 ms blocks. A block where the file is loud (RMS > 0.05) is
missing when the recording, aligned on the first loud block, stays below a tenth
of it within 2 ms either side: a dropout of the stream."""
import array
import math
import sys

RATE, CHANNELS, BLOCK = 44100, 2, 44


def envelope(path):
    data = open(path, 'rb').read()
    samples = array.array('h')
    samples.frombytes(data[:len(data) // 4 * 4])
    n = BLOCK * CHANNELS
    return [math.sqrt(sum(x * x for x in samples[i:i + n]) / n) / 32768
            for i in range(0, len(samples) - n, n)]


def passes(env, quiet=500):
    found, run, start, last = [], quiet, None, None
    for i, v in enumerate(env):
        if v > 0.01:
            if run >= quiet:
                if start is not None:
                    found.append((start, last))
                start = i
            last, run = i, 0
        else:
            run += 1
    if start is not None:
        found.append((start, last))
    return found


ref, rec = envelope(sys.argv[1]), envelope(sys.argv[2])
(r0, r1), = passes(ref)[:1]
loud = [i for i in range(r0, r1) if ref[i] > 0.05]
for onset, end in passes(rec):
    missing = 0
    for i in loud:
        near = [rec[j] for j in range(onset + i - r0 - 2, onset + i - r0 + 3) if 0 <= j < len(rec)]
        if not near or max(near) < 0.1 * ref[i]:
            missing += 1
    print(f"pass {onset / 1000:.3f} {missing} {end - onset} {r1 - r0}")
