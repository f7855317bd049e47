#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets whose input is a script rather than a file:
fuzz_frames, fuzz_pairs, fuzz_numbers and fuzz_core. The INI, setpoint and CP932 seeds are files the
program wrote (corpus/fuzz_ini, corpus/fuzz_setpoint, corpus/fuzz_cp932), and fuzz_core takes its
Port0.ini, BaseSetpoint.ini and DefaultPrm.krv from them.

The targets read their input with libFuzzer's FuzzedDataProvider: strings and raw bytes from the
front, numbers and choices from the back (each from the last unread bytes, most significant first).
A seed is therefore built as two lists, the front bytes and the back values in the order the target
asks for them. Run from the repository: fuzz/make_seeds.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

# Answers krv-sim gave to the program's three poll requests and two writes (captured on its
# pseudo-terminal), and the requests themselves.
REQUESTS = [
    b"<RD,M01,M05,M06,M07,M08,M09,M11,C01,C11,C16,>38\r\n",
    b"<RD,C17,C18,C19,C36,C37,C38,C39,C50,C02,C52,>5B\r\n",
    b"<RD,S00,S01,S11,S12,S13,C21,C22,C32,C191,C192,>D1\r\n",
    b"<RW,E91=1,P99=8137,E01=50.00,E02=5.00,E03=20.00,E04=0.200,>92\r\n",
]
ANSWERS = [
    b"<AD,M01=3.500,M05=270.400,M06=-4.600,M07=-3.489,M08=0.024,M09=0.281,M11=21.250,C01=3.500,"
    b"C11=21.2500,C16=21.366,>AB\r\n",
    b"<AD,C17=21.685,C18=21.304,C19=20.635,C36=-0.004,C37=0.515,C38=0.004,C39=-0.515,C50=12.5,"
    b"C02=3.500,C52=2000,>D2\r\n",
    b"<AD,S00=17.03,S01=0.80,S11=0,S12=0,S13=0,C21=21.280,C22=21.230,C32=10.334,C191=0.000,"
    b"C192=0.000,>DB\r\n",
    b"<AW,E91=1,P99=8137,E01=50.00,E02=5.00,E03=20.00,E04=0.200,>A3\r\n",
    b"<AW,E91=1,E16=0.125,E17=-0.063,>34\r\n",
]


def span(lo, hi):
    """Bytes FuzzedDataProvider takes for a number in [lo, hi]."""
    r, n = hi - lo, 0
    while n < 8 and (r >> (8 * n)) > 0:
        n += 1
    return n


class Seed:
    def __init__(self):
        self.front = b""
        self.back = []  # bytes in the order they are consumed

    def string(self, data):
        """ConsumeRandomLengthString: a backslash is doubled, and a backslash and another byte end it."""
        self.front += data.replace(b"\\", b"\\\\") + b"\\e"

    def raw(self, data):
        self.front += data

    def number(self, value, lo, hi):
        n, v = span(lo, hi), value - lo
        self.back += [(v >> (8 * (n - 1 - i))) & 0xFF for i in range(n)]

    def boolean(self, b):
        self.number(1 if b else 0, 0, 255)

    def bytes(self):
        return self.front + bytes(reversed(self.back))


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def frames():
    # The whole stream of a poll cycle, in chunks as a port delivers them: whole frames, a frame
    # split in the middle and at its CR LF, noise before a frame, a frame with a lower-case checksum.
    streams = {
        "poll-cycle-whole-frames": ([a for a in ANSWERS[:3]], None),
        "answers-split-anywhere": (ANSWERS, [7, 1, 90, 3, 2, 41]),
        "noise-before-an-answer": ([b"\x00\xff#<<", ANSWERS[0]], None),
        "lower-case-checksum": ([ANSWERS[0][:-4] + ANSWERS[0][-4:].lower()], None),
        "requests-echoed": (REQUESTS, None),
    }
    for name, (parts, cuts) in streams.items():
        data = b"".join(parts)
        sizes = cuts or [len(p) for p in parts]
        seed = Seed()
        seed.raw(data)
        for size in sizes:
            seed.number(min(max(size, 1), 300), 1, 300)
        write("fuzz_frames", name, seed.bytes())


def pairs():
    for name, text in [("poll-answer", ANSWERS[0][4:-5]), ("write-answer", ANSWERS[3][4:-5]),
                       ("odd-items", b"M01==1.5,,=,k,trailing")]:
        seed = Seed()
        seed.boolean(False)
        seed.string(text)
        write("fuzz_pairs", "split-" + name, seed.bytes())
    seed = Seed()
    seed.boolean(True)
    seed.string(b"RW")
    for key, val in [(b"E91", b"1"), (b"P99", b"8137"), (b"E01", b"50.00"), (b"E02", b"5.00"),
                     (b"E03", b"20.00"), (b"E04", b"0.200")] * 4:
        seed.string(key)
        seed.string(val)
    seed.number(24, 0, 24)
    write("fuzz_pairs", "build-default-step", seed.bytes())


def numbers():
    for i, text in enumerate([b"3.500", b" -0.25\t", b"+.5e-3", b"1.", b"1e39", b"-1e39", b"1e-45",
                              b"1e-5000", b"0x10", b"1,5", b"1 2", b"99999999999", b"-2147483648.9",
                              b"2147483647.5", b"3.4028235677973366e38", b"inf", b"nan", b"0e999999",
                              b"-0", b"17.03"]):
        write("fuzz_numbers", "n%02d" % i, text)


OPS = {"tick": 0, "frame": 3, "noise": 4, "jump": 5, "start": 6, "stop": 7, "lose": 8, "silent": 9,
       "calstart": 10, "calbutton": 11, "secrec": 12, "service": 13, "visible": 14, "export": 15,
       "save": 16, "write": 17, "cancel": 18, "fault": 19}


def core_seed(files, clock_offset, script):
    """files: (Port0.ini, BaseSetpoint.ini, DefaultPrm.krv) contents or None; script: (op, args)."""
    seed = Seed()
    for content in files:
        seed.boolean(content is not None)
        if content is not None:
            seed.string(content)
    seed.number(clock_offset + 86400, 0, 2 * 86400)
    for op, *args in script:
        seed.number(OPS[op], 0, 19)
        if op == "tick":
            seed.number(args[0], 1, 30)
        elif op == "frame":
            command, items = args
            seed.number(command, 0, 3)
            seed.number(len(items), 0, 12)
            for key, value in items:
                seed.boolean(True)
                seed.number(key, 0, 29)
                seed.boolean(False)
                seed.string(value)
        elif op == "noise":
            seed.string(args[0])
        elif op == "jump":
            seed.number(args[0] + 3 * 86400000, 0, 6 * 86400000)
        elif op == "calstart":
            seed.string(args[0])
        elif op == "calbutton":
            seed.number(args[0], 0, 5)
        elif op in ("secrec", "visible", "export"):
            seed.boolean(args[0])
        elif op == "fault":
            fault, rate = args
            seed.number(fault, 0, 4)
            seed.number(int(rate * (2**64 - 1)), 0, 2**64 - 1)
    return seed.bytes()


def core():
    def read(*path):
        with open(os.path.join(CORPUS, *path), "rb") as f:
            return f.read()
    port = read("fuzz_ini", "Port0.ini")
    base = read("fuzz_ini", "BaseSetpoint.ini")
    default = read("fuzz_setpoint", "K-7_2612092251.krv")
    seconds = lambda n: [("tick", 30)] * (n // 6)
    seeds = {
        # Recording across midnight and a minute's close, in both layouts; the clock starts at
        # 23:59:50 and is set a minute on in between.
        "record-over-midnight": ((port, base, None), 110,
                                 [("start",), ("secrec", True)] + seconds(18) + [("service",), ("jump", 52000)] +
                                 seconds(18)),
        # A calibration, every button in turn, the instrument silent for a while.
        "calibration": ((port, base, default), 0,
                        [("start",), ("visible", True), ("calstart", b"K-7")] + seconds(12) +
                        sum([[("calbutton", b), ("tick", 10)] for b in range(6)], []) +
                        [("silent",), ("tick", 30), ("silent",), ("tick", 30)]),
        # The files the issue saw saved over, a clock set back, the port lost and regained.
        "broken-files-and-clock": ((read("fuzz_ini", "nul-in-port0.ini"), read("fuzz_ini", "section-without-bracket.ini"),
                                    read("fuzz_ini", "utf16-base-setpoint.ini")), 0,
                                   [("start",), ("secrec", True), ("tick", 30), ("jump", -3600 * 1000), ("tick", 30),
                                    ("lose",), ("tick", 10), ("start",), ("tick", 30), ("calstart", b"../K-7"),
                                    ("save",), ("export", True), ("stop",), ("tick", 10)]),
        # Answers from nowhere: frames with made-up pairs, noise, faults, the write window.
        "frames-and-faults": ((None, None, None), 60,
                              [("start",), ("frame", 0, [(0, b"99999"), (1, b"-1e39"), (18, b"nan")]), ("tick", 5),
                               ("noise", b"<AD,M01=1>ZZ\r\n"), ("fault", 2, 0.3), ("tick", 30), ("write",), ("tick", 30),
                               ("cancel",), ("tick", 10)]),
    }
    for name, (files, offset, script) in seeds.items():
        write("fuzz_core", name, core_seed(files, offset, script))


if __name__ == "__main__":
    frames()
    pairs()
    numbers()
    core()
