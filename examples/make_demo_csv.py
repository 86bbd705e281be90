#!/usr/bin/python3
"""Writes the table behind the demo dataset: a turned shaft, measured every hour.

    /usr/bin/python3 examples/make_demo_csv.py [OUT.csv]      (default: examples/demo.csv)

Three parameters of the shaft: the journal diameter (20 h6, 19.987..20.000 mm), the length
(120 +- 0.2 mm) and the roughness Ra (at most 0.8 um). Two blocks of 25 samples of 5 shafts;
after the cutting tool is changed the diameter runs about 0.003 mm larger, which the X-bar
chart shows at once. Samples are one hour apart, ten a day from 07:00, on consecutive days.

The values come from a fixed seed, so the file is the same on every run. It is UTF-8 with ';'
between cells and a decimal comma, as a Russian spreadsheet writes it.
"""

import datetime
import pathlib
import random
import sys

SEED = 20240304
SAMPLES_PER_BLOCK = 25
POINTS_PER_SAMPLE = 5
SAMPLES_PER_DAY = 10
FIRST_SAMPLE = datetime.datetime(2024, 3, 4, 7, 0)

# (name, mean of the diameter); the other parameters keep their level in both blocks.
BLOCKS = [
    ("До смены резца", 19.9935),     # before the tool change
    ("После смены резца", 19.9964),  # after it: the diameter shifts up
]
DIAMETER_SD = 0.0016
LENGTH_MEAN, LENGTH_SD = 120.02, 0.05
RA_MEAN, RA_SD = 0.52, 0.07

HEADINGS = ["block", "sample", "date", "time", "Диаметр шейки", "Длина", "Шероховатость Ra"]


def number(x, decimals):
    return f"{x:.{decimals}f}".replace(".", ",")


def rows(rng):
    index = 0
    for block, diameter_mean in BLOCKS:
        for sample in range(1, SAMPLES_PER_BLOCK + 1):
            day, slot = divmod(index, SAMPLES_PER_DAY)
            when = FIRST_SAMPLE + datetime.timedelta(days=day, hours=slot)
            index += 1
            for _ in range(POINTS_PER_SAMPLE):
                diameter = rng.gauss(diameter_mean, DIAMETER_SD)
                length = rng.gauss(LENGTH_MEAN, LENGTH_SD)
                ra = max(0.2, rng.gauss(RA_MEAN, RA_SD))
                yield [block, str(sample), when.strftime("%d.%m.%Y"), when.strftime("%H:%M"),
                       number(diameter, 3), number(length, 2), number(ra, 2)]


def main():
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).with_name("demo.csv")
    rng = random.Random(SEED)
    lines = [";".join(HEADINGS)] + [";".join(row) for row in rows(rng)]
    out.write_text("\n".join(lines) + "\n", encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()
