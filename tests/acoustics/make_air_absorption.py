#!/usr/bin/python3
"""Writes air_absorption.csv: pure-tone atmospheric absorption in dB/m after ISO 9613-1 at the
reference pressure, computed with numpy independently of the program.

Columns: temperature (degrees C), relative humidity (%), frequency (Hz), absorption (dB/m)."""

import os
import numpy as np

T0 = 293.15    # reference air temperature, K
T01 = 273.16   # triple-point isotherm temperature, K
PA_PR = 1.0    # ambient pressure over reference pressure (101.325 kPa)


def absorption_db_per_m(temp_c, rh, f):
    T = temp_c + 273.15
    psat_pr = 10.0 ** (-6.8346 * (T01 / T) ** 1.261 + 4.6151)
    h = rh * psat_pr / PA_PR
    fr_o = PA_PR * (24.0 + 4.04e4 * h * (0.02 + h) / (0.391 + h))
    fr_n = PA_PR * (T / T0) ** -0.5 * (9.0 + 280.0 * h * np.exp(-4.170 * ((T / T0) ** (-1.0 / 3.0) - 1.0)))
    return 8.686 * f ** 2 * (
        1.84e-11 / PA_PR * (T / T0) ** 0.5
        + (T / T0) ** -2.5 * (0.01275 * np.exp(-2239.1 / T) / (fr_o + f ** 2 / fr_o)
                              + 0.1068 * np.exp(-3352.0 / T) / (fr_n + f ** 2 / fr_n)))


def main():
    temps = [-10.0, 0.0, 10.0, 20.0, 25.0, 30.0, 40.0]
    humidities = [1, 10, 30, 50, 70, 100]
    freqs = [20, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 10000, 16000, 20000]
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "air_absorption.csv")
    with open(out, "w") as fh:
        fh.write("# temperature_c,relative_humidity,frequency_hz,absorption_db_per_m\n")
        for t in temps:
            for rh in humidities:
                for f in freqs:
                    a = absorption_db_per_m(t, float(rh), float(f))
                    fh.write(f"{t:g},{rh},{f},{a:.17g}\n")


if __name__ == "__main__":
    main()
