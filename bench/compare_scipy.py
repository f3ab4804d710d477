#!/usr/bin/python3
"""One-third-octave band levels of a mono 16-bit WAV file, written with SciPy the way a Python user would write
them: for each of the 45 bands from 0.8 Hz to 20 kHz a Butterworth band-pass of order 6 (three second-order
sections) at the file's rate, the squares averaged with the FAST time constant (0.125 s), 10 levels a second;
the same for the A-weighted and the unweighted signal. The levels go to one CSV file. It is the yardstick of
the comparison in bench/README.md and is timed as a whole process:

    /usr/bin/time -f '%e s, %U s user, %S s system' bench/compare_scipy.py input.wav levels.csv
"""
import sys
import wave

import numpy as np
from scipy import signal

P0 = 2e-5
TAU = 0.125
LEVELS_PER_SECOND = 10


def read_mono16(path):
    with wave.open(path, "rb") as w:
        if w.getnchannels() != 1 or w.getsampwidth() != 2:
            sys.exit(f"{path}: a mono 16-bit file is needed")
        rate = w.getframerate()
        x = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64) / 32768.0
    return rate, x


def a_weighting(rate):
    f1, f2, f3, f4 = 20.598997, 107.65265, 737.86223, 12194.217
    zeros = [0, 0, 0, 0]
    poles = [-2 * np.pi * f for f in (f1, f1, f2, f3, f4, f4)]
    k = (2 * np.pi * f4) ** 2 * 10 ** (1.9997 / 20)
    z, p, g = signal.bilinear_zpk(zeros, poles, k, rate)
    return signal.zpk2sos(z, p, g)


def level_series(y, rate):
    a = np.exp(-1.0 / (rate * TAU))
    mean_square = signal.lfilter([1.0 - a], [1.0, -a], y * y)
    step = int(round(rate / LEVELS_PER_SECOND))
    return 10.0 * np.log10(np.maximum(mean_square[step - 1::step], 1e-30) / (P0 * P0))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: compare_scipy.py input.wav levels.csv")
    rate, x = read_mono16(sys.argv[1])
    columns = [level_series(signal.sosfilt(a_weighting(rate), x), rate), level_series(x, rate)]
    names = ["A", "Z"]
    for k in range(43, -2, -1):
        centre = 10.0 ** (k / 10.0)
        if centre * 2 ** (1 / 6) >= rate / 2:
            continue
        sos = signal.butter(3, [centre * 2 ** (-1 / 6), centre * 2 ** (1 / 6)], btype="bandpass", fs=rate,
                            output="sos")
        columns.append(level_series(signal.sosfilt(sos, x), rate))
        names.append(f"{centre:.4g}")
    np.savetxt(sys.argv[2], np.column_stack(columns), delimiter=",", fmt="%.1f", header=",".join(names),
               comments="")


if __name__ == "__main__":
    main()
