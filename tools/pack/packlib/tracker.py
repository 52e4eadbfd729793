"""Writer of 4-channel ProTracker modules ("M.K."), which libxmp plays.

A note is (note index, sample number, effect, parameter) with note index 0
for C in the lowest of the three octaves; None leaves a cell empty. Samples
are lists of floats in -1..1, stored as signed 8 bits."""
import struct

CHANNELS = 4
ROWS = 64
# Amiga periods of the three octaves, C to B.
PERIODS = [
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
]
# Rate at which a sample played on the middle C (period 428) is heard.
C_RATE = 8363

EFFECT_JUMP = 0xB
EFFECT_VOLUME = 0xC
EFFECT_SPEED = 0xF


class Sample:
    def __init__(self, name, data, volume=64, loop_start=None, loop_length=None):
        if len(data) % 2:
            data = data + [0.0]
        self.name, self.data, self.volume = name, data, volume
        self.loop_start, self.loop_length = loop_start, loop_length


class Pattern:
    def __init__(self):
        self.cells = [[None] * CHANNELS for _ in range(ROWS)]

    def set(self, row, channel, note=None, sample=0, effect=0, param=0):
        self.cells[row][channel] = (note, sample, effect, param)


def _cell(c):
    if c is None:
        return b"\0\0\0\0"
    note, sample, effect, param = c
    period = 0 if note is None else PERIODS[note]
    return bytes([(sample & 0xF0) | (period >> 8), period & 0xFF,
                  ((sample & 0x0F) << 4) | (effect & 0xF), param & 0xFF])


def _name(s, n):
    return s.encode("ascii")[:n].ljust(n, b"\0")


def module_bytes(title, samples, patterns, orders, restart=0x7F):
    """restart 0x7F is ProTracker's mark: tempo effects above 0x1F set the BPM."""
    if not 1 <= len(orders) <= 128 or len(samples) > 31:
        raise ValueError("too many orders or samples")
    out = [_name(title, 20)]
    bodies = []
    for i in range(31):
        if i < len(samples):
            s = samples[i]
            body = bytes((max(-128, min(127, int(round(x * 127)))) & 0xFF) for x in s.data)
            words = len(body) // 2
            if s.loop_start is None:
                ls, ll = 0, 1
            else:
                ls, ll = s.loop_start // 2, s.loop_length // 2
            out.append(_name(s.name, 22) + struct.pack(">HBBHH", words, 0, s.volume, ls, ll))
            bodies.append(body)
        else:
            out.append(b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1))
    out.append(bytes([len(orders), restart]))
    out.append(bytes(orders + [0] * (128 - len(orders))))
    out.append(b"M.K.")
    for p in patterns:
        out.append(b"".join(_cell(c) for row in p.cells for c in row))
    out.extend(bodies)
    return b"".join(out)
