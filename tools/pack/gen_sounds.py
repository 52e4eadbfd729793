"""The game's 34 sound effects, each synthesised from a short recipe."""
from packlib import wav
from packlib.wav import concat, decay_env, envelope, mix, noise, silence, tone


def note(f, d, shape="sine", tau=None, **kw):
    t = tone(f, d, shape, **kw)
    return decay_env(t, tau) if tau else envelope(t, 0.005, d * 0.3, 0.5, d * 0.4)


def chime(freqs, step, d=0.35, shape="triangle"):
    return mix(*[note(f, d, shape, tau=d / 3) for f in freqs],
               offsets=[i * step for i in range(len(freqs))])


def call(base, length, seed, roughness=0.3, vib=0.03, slide=None):
    """An animal call: a buzzy voiced tone with breath noise."""
    v = tone(base, length, "saw", vibrato=vib, vib_rate=7.0, slide=slide)
    b = noise(length, seed, 0.8)
    return envelope(mix(v, b, gains=[1.0, roughness]), 0.03, length * 0.3, 0.7, length * 0.35)


def recipes():
    C5, D5, E5, G5, A5, C6, E6, G6 = 523.3, 587.3, 659.3, 784.0, 880.0, 1046.5, 1318.5, 1568.0
    return {
        "market_sold": lambda: mix(chime([C6, E6, G6], 0.06), decay_env(noise(0.3, 1, 0.2), 0.05)),
        "goal_done": lambda: chime([C5, E5, G5, C6], 0.09, 0.6),
        "level_success": lambda: concat(chime([C5, E5, G5], 0.12, 0.5), chime([D5, G5, A5, C6, E6], 0.1, 0.9)),
        "seed": lambda: concat(*[decay_env(noise(0.05, 10 + i, 0.3), 0.01) + silence(0.03) for i in range(4)]),
        "water": lambda: mix(noise(2.0, 20, 0.8), noise(2.0, 21, 0.95), gains=[0.5, 1.0]),
        "weed": lambda: concat(*[envelope(noise(0.18, 30 + i, 0.7), 0.01, 0.05, 0.6, 0.08) + silence(0.07)
                                 for i in range(8)]),
        "harvest": lambda: mix(note(300, 0.12, "sine", slide=600, tau=0.05), decay_env(noise(0.15, 40, 0.4), 0.04)),
        "tool_take": lambda: mix(note(900, 0.08, "square", tau=0.02), note(1400, 0.06, "sine", tau=0.02)),
        "water_repair": lambda: concat(*[note(400 + 60 * i, 0.07, "sine", tau=0.03, slide=700 + 60 * i) for i in range(6)]),
        "stock_open": lambda: mix(decay_env(noise(0.25, 50, 0.85), 0.08), note(140, 0.25, "triangle", tau=0.08)),
        "stock_out": lambda: envelope(mix(tone(70, 1.2, "saw", vibrato=0.05, vib_rate=11), noise(1.2, 51, 0.9),
                                          gains=[0.6, 0.5]), 0.1, 0.4, 0.6, 0.6),
        "take_seed": lambda: note(1200, 0.08, "triangle", tau=0.03),
        "new_sort": lambda: chime([G5, C6, E6, G6], 0.07, 0.45, "sine"),
        "area_click": lambda: note(600, 0.05, "square", tau=0.012),
        "goat_hungry": lambda: call(320, 0.7, 60, 0.25, 0.08),
        "goat_idle": lambda: call(380, 0.45, 61, 0.2, 0.06),
        "ostrich_hungry": lambda: call(110, 0.6, 62, 0.5, 0.02, slide=80),
        "ostrich_idle": lambda: call(140, 0.35, 63, 0.4, 0.02),
        "peacock_hungry": lambda: concat(call(900, 0.25, 64, 0.1, 0.04, slide=1300), silence(0.05),
                                         call(1000, 0.3, 65, 0.1, 0.04, slide=1400)),
        "peacock_idle": lambda: call(850, 0.3, 66, 0.1, 0.03, slide=1150),
        "goat_milk": lambda: concat(*[decay_env(noise(0.12, 70 + i, 0.6), 0.04) + silence(0.06) for i in range(3)]),
        "hive_open": lambda: mix(note(180, 0.4, "triangle", tau=0.15), envelope(tone(220, 0.8, "saw", vibrato=0.04,
                                                                                    vib_rate=30), 0.1, 0.2, 0.5, 0.3),
                                 offsets=[0, 0.1], gains=[0.8, 0.35]),
        "put_car": lambda: mix(note(120, 0.3, "triangle", tau=0.08), decay_env(noise(0.3, 80, 0.7), 0.06)),
        "salute": lambda: concat(envelope(noise(0.5, 90, 0.2), 0.3, 0.1, 0.8, 0.05),
                                 decay_env(noise(0.8, 91, 0.5), 0.2)),
        "factory_work": lambda: concat(*[mix(note(90, 0.2, "square", tau=0.06), decay_env(noise(0.2, 100 + i, 0.7), 0.03))
                                         for i in range(4)]),
        "money_inc": lambda: chime([E6, G6, E6 * 2], 0.05, 0.3, "sine"),
        "good": lambda: chime([G5, C6], 0.1, 0.5),
        "ship_beep": lambda: concat(note(220, 0.5, "square"), silence(0.12), note(220, 0.7, "square")),
        "construction": lambda: concat(*[mix(note(700, 0.06, "square", tau=0.015), decay_env(noise(0.15, 110 + i, 0.5), 0.03))
                                         + silence(0.12) for i in range(3)]),
        "bee": lambda: envelope(tone(230, 1.0, "saw", vibrato=0.06, vib_rate=13), 0.08, 0.3, 0.7, 0.3),
        "hint": lambda: chime([A5, E6], 0.12, 0.5, "sine"),
        "click": lambda: mix(note(1800, 0.03, "square", tau=0.006), decay_env(noise(0.03, 120, 0.1), 0.004)),
        "mouse_in": lambda: note(2400, 0.04, "sine", tau=0.01),
        "typing": lambda: decay_env(noise(0.04, 130, 0.3), 0.008),
    }


def make(name, loop):
    return wav.wav_bytes(wav.finish(recipes()[name](), loop=loop))
