"""A small sound synthesiser and the WAV writer (16-bit PCM, mono,
22050 Hz). Sounds are lists of float samples in -1..1; every random number
comes from a seeded generator, so the bytes never change between runs."""
import math
import random
import struct

RATE = 22050
PEAK = 10 ** (-1.5 / 20)     # normalise to -1.5 dBFS, under the -1 dBFS limit
EDGE = 0.004                 # fade at both ends (s): no click at start or end


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def tone(freq, seconds, shape="sine", vibrato=0.0, vib_rate=5.0, slide=None):
    """An oscillator; slide=(f_end) glides the pitch exponentially."""
    n = int(seconds * RATE)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / RATE
        f = freq if slide is None else freq * (slide / freq) ** (i / max(1, n - 1))
        if vibrato:
            f *= 1.0 + vibrato * math.sin(2 * math.pi * vib_rate * t)
        phase += f / RATE
        p = phase % 1.0
        if shape == "sine":
            s = math.sin(2 * math.pi * p)
        elif shape == "square":
            s = 0.7 if p < 0.5 else -0.7
        elif shape == "saw":
            s = 2.0 * p - 1.0
        elif shape == "triangle":
            s = 4.0 * abs(p - 0.5) - 1.0
        else:
            raise ValueError(shape)
        out.append(s)
    return out


def noise(seconds, seed, colour=0.0):
    """White noise, low-passed by colour (0 white .. 0.99 dull)."""
    rng = random.Random(seed)
    out, prev = [], 0.0
    for _ in range(int(seconds * RATE)):
        prev = colour * prev + (1 - colour) * rng.uniform(-1, 1)
        out.append(prev)
    return out


def envelope(samples, attack=0.005, decay=0.1, sustain=0.6, release=0.1):
    n = len(samples)
    a, d, r = int(attack * RATE), int(decay * RATE), int(release * RATE)
    out = []
    for i, s in enumerate(samples):
        if i < a:
            g = i / max(1, a)
        elif i < a + d:
            g = 1.0 - (1.0 - sustain) * (i - a) / max(1, d)
        else:
            g = sustain
        if i > n - r:
            g *= max(0.0, (n - i) / max(1, r))
        out.append(s * g)
    return out


def decay_env(samples, tau):
    return [s * math.exp(-i / (tau * RATE)) for i, s in enumerate(samples)]


def mix(*tracks, offsets=None, gains=None):
    offsets = offsets or [0.0] * len(tracks)
    gains = gains or [1.0] * len(tracks)
    n = max(int(o * RATE) + len(t) for t, o in zip(tracks, offsets))
    out = [0.0] * n
    for t, o, g in zip(tracks, offsets, gains):
        start = int(o * RATE)
        for i, s in enumerate(t):
            out[start + i] += s * g
    return out


def concat(*tracks):
    out = []
    for t in tracks:
        out.extend(t)
    return out


def highpass(samples, cutoff=30.0):
    """One-pole high-pass: removes any DC the shaping left behind."""
    rc = 1.0 / (2 * math.pi * cutoff)
    alpha = rc / (rc + 1.0 / RATE)
    out, prev_x, prev_y = [], 0.0, 0.0
    for x in samples:
        y = alpha * (prev_y + x - prev_x)
        out.append(y)
        prev_x, prev_y = x, y
    return out


def finish(samples, loop=False):
    """Removes DC, fades the ends (a loop instead gets its seam cross-faded so
    that its last sample leads into its first) and normalises the peak."""
    s = highpass(samples)
    mean = sum(s) / len(s)
    s = [x - mean for x in s]
    if loop:
        s = crossfade_loop(s, int(0.05 * RATE))
    else:
        e = int(EDGE * RATE)
        window = [1.0] * len(s)
        for i in range(e):
            g = 0.5 - 0.5 * math.cos(math.pi * i / e)
            window[i] = window[-1 - i] = g
        window[0] = window[-1] = 0.0
        s = [x * g for x, g in zip(s, window)]
        # The fades move the mean; take it out in the window's shape so the
        # ends stay at zero.
        c = sum(s) / sum(window)
        s = [x - c * g for x, g in zip(s, window)]
    peak = max(abs(x) for x in s) or 1.0
    return [x * PEAK / peak for x in s]


def crossfade_loop(s, n):
    """Blends the last n samples into the first n and drops them, so that
    playing the result end to end has no seam."""
    head, body, tail = s[:n], s[n:len(s) - n], s[len(s) - n:]
    blended = []
    for i in range(n):
        g = i / n
        blended.append(tail[i] * (1 - g) + head[i] * g)
    return body + blended


def wav_bytes(samples):
    pcm = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(x * 32767))))) for x in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(pcm)) + pcm
    return b"RIFF" + struct.pack("<I", len(body)) + body
