"""The three musics: 4-channel modules written note by note from a chord
plan, with synthesised instruments. Each ends on a bar that leads back to
its first pattern, and the module restarts there, so it loops."""
import math
import random

from packlib import tracker
from packlib.tracker import Pattern, Sample
from packlib.wav import noise

CYCLE = 32          # samples per waveform cycle: middle C (note 12) at C_RATE
SCALE = [0, 2, 4, 5, 7, 9, 11]
(LEAD, PLUCK, BASS, KICK, SNARE, HAT) = range(1, 7)


def cycles(fn, n, length=CYCLE):
    return [fn((i % length) / length) for i in range(n * length)]


def instruments():
    def lead_wave(p):
        return 0.6 * math.sin(2 * math.pi * p) + 0.25 * math.sin(6 * math.pi * p)

    attack = [lead_wave((i % CYCLE) / CYCLE) * min(1.0, i / 64) for i in range(CYCLE * 8)]
    lead = Sample("lead", attack + cycles(lead_wave, 8), 48, CYCLE * 8, CYCLE * 8)
    n = int(0.7 * tracker.C_RATE)
    pluck = Sample("pluck", [(4 * abs((i % CYCLE) / CYCLE - 0.5) - 1) * math.exp(-i / (0.18 * tracker.C_RATE))
                             for i in range(n)], 40)

    def bass_wave(p):
        return 0.8 * math.sin(2 * math.pi * p) + 0.2 * (2 * p - 1)

    bass = Sample("bass", cycles(bass_wave, 16, 2 * CYCLE), 56, 0, 32 * CYCLE)
    k = int(0.25 * tracker.C_RATE)
    kick, phase = [], 0.0
    for i in range(k):
        phase += (150 * math.exp(-i / 400) + 45) / tracker.C_RATE
        kick.append(math.sin(2 * math.pi * phase) * math.exp(-i / 700))
    s = int(0.2 * tracker.C_RATE)
    sn = noise(s / 22050, 7, 0.3)
    snare = [0.7 * sn[i] * math.exp(-i / 500) + 0.3 * math.sin(2 * math.pi * 190 * i / tracker.C_RATE)
             * math.exp(-i / 300) for i in range(s)]
    h = int(0.06 * tracker.C_RATE)
    hn = noise(h / 22050, 8, 0.0)
    hat = [0.5 * hn[i] * math.exp(-i / 90) for i in range(h)]
    return [lead, pluck, bass, Sample("kick", kick, 64), Sample("snare", snare, 44), Sample("hat", hat, 30)]


def degree_note(key, degree, octave):
    """Scale degree (may exceed 6) to a note index of the module's table."""
    n = key + SCALE[degree % 7] + 12 * (octave + degree // 7)
    # Fold into the table's three octaves.
    while n > 35:
        n -= 12
    while n < 0:
        n += 12
    return n


RHYTHMS = [
    [(0, 4), (4, 2), (6, 2), (8, 4), (12, 4)],
    [(0, 2), (2, 2), (4, 4), (8, 2), (10, 2), (12, 4)],
    [(0, 6), (6, 2), (8, 6), (14, 2)],
    [(0, 3), (3, 3), (6, 2), (8, 8)],
]


def pattern(key, chords, rng, lead=True, fill=False, tempo=None):
    p = Pattern()
    degree = 4
    for bar, root in enumerate(chords):
        base = bar * 16
        triad = [root, root + 2, root + 4]
        # Bass: root on the beat, fifth on the off-beats.
        for r in (0, 6, 8, 14):
            d = root if r in (0, 8) else root + 4
            p.set(base + r, 2, degree_note(key, d, 0), BASS, tracker.EFFECT_VOLUME, 48 if r in (0, 8) else 36)
        # Broken chord on the pluck.
        for i, r in enumerate(range(0, 16, 2)):
            p.set(base + r, 1, degree_note(key, triad[(i * 2) % 3 if i % 4 < 2 else i % 3], 1),
                  PLUCK, tracker.EFFECT_VOLUME, 40 if r % 4 == 0 else 28)
        # Drums.
        for r in range(0, 16, 2):
            if r in (0, 8) or (fill and bar == len(chords) - 1 and r >= 10):
                p.set(base + r, 3, 12, KICK, tracker.EFFECT_VOLUME, 64)
            elif r in (4, 12):
                p.set(base + r, 3, 12, SNARE, tracker.EFFECT_VOLUME, 48)
            else:
                p.set(base + r, 3, 24, HAT, tracker.EFFECT_VOLUME, 32)
        if tempo and bar == 0:
            p.set(0, 3, 12, KICK, tracker.EFFECT_SPEED, tempo)
        if not lead:
            continue
        for r, length in rng.choice(RHYTHMS):
            if r in (0, 8):
                degree = rng.choice([t for t in triad if abs(t - degree) <= 4] or triad)
            else:
                degree += rng.choice([-2, -1, -1, 1, 1, 2])
                degree = max(root - 2, min(root + 7, degree))
            p.set(base + r, 0, degree_note(key, degree, 1), LEAD, tracker.EFFECT_VOLUME, 44)
            if length >= 4:
                p.set(base + r + length - 1, 0, None, 0, tracker.EFFECT_VOLUME, 12)
    return p


SONGS = {
    # name: key, tempo (BPM), seed, verse chords, bridge chords (scale degrees)
    "music_menu": (0, 96, 11, [0, 4, 5, 3], [3, 0, 1, 4]),
    "music0": (2, 118, 23, [0, 3, 4, 0], [5, 3, 1, 4]),
    "music1": (7, 110, 37, [5, 3, 0, 4], [1, 4, 0, 4]),
}


def make(name):
    key, tempo, seed, verse, bridge = SONGS[name]
    rng = random.Random(seed)
    # The intro also sets the tempo. The last pattern jumps back to the
    # first verse, so the loop skips the intro and the tempo set there holds.
    patterns = [
        pattern(key, verse, rng, lead=False, tempo=tempo),
        pattern(key, verse, rng),
        pattern(key, verse, rng),
        pattern(key, bridge, rng),
        pattern(key, bridge, rng, fill=True),
        pattern(key, bridge, rng, fill=True),
    ]
    patterns[-1].set(63, 2, None, 0, tracker.EFFECT_JUMP, 1)
    orders = [0, 1, 2, 3, 1, 2, 4, 1, 3, 5]
    return tracker.module_bytes(name, instruments(), patterns, orders)
