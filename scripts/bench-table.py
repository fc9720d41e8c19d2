#!/usr/bin/env python3
"""Reads the benchmarks' JSON results (the medians of their repetitions) and prints the
performance figures as a Markdown table: each figure against its baseline measured in
the same run, the ratio, and the goal."""
import json
import sys
from pathlib import Path

# (figure, benchmark, baseline benchmark or None, ratio goal or None, absolute goal in ms or None)
FIGURES = [
    ("Conversion, youku search (200 KB)", "Convert/youku_search", "Parse/youku_search", 1.5, None),
    ("Conversion, tudou play list (200 KB)", "Convert/tudou_playlist", "Parse/tudou_playlist", 1.5, None),
    ("Conversion, 56 search (200 KB)", "Convert/fivesix_search", "Parse/fivesix_search", 1.5, None),
    ("Conversion, 56 album data (200 KB)", "Convert/fivesix_album", "Parse/fivesix_album_data", 1.5, None),
    ("Conversion, 6cn search (200 KB)", "Convert/sixcn_search", "Parse/sixcn_search", 1.5, None),
    ("Paged listing, 20 pages into a \\Temp of 500", "WriteListing", "WriteListingBytesWithStdio", 1.5, None),
    ("Transition frame (kind 1, 480 × 720; a slide of 23 over 23)", "SlideUpTransition", "FullScreenBitBlt", 2.0, None),
    ("Host window with 20 controls, full paint", "PaintTwentyControls", "FullScreenBitBlt", 3.0, None),
    ("List step of 20 px (optimised path)", "ListStepOf20Pixels/1", "ListStepOf20Pixels/0", 0.2, 1.0),
    ("51 KB page, bytes to first paint", "PageToFirstPaint", "LitehtmlCreateAndLayout", 3.0, 50.0),
    ("scrollBy(0, 20) on a long page", "ScrollByTwentyPixels", "RepaintTheWholeView", 0.2, 1.0),
    ("Loupe redraw on a finger move", "LoupeRedrawOnAMove", "FullScreenBitBlt", 0.5, None),
    ("Pinyin candidates after one more letter", "PinyinLetterAndBackspace", "EnglishLetterAndBackspace", None, 5.0),
    ("Search intercepted to first paint (200 KB page)", "InterceptToFirstPaint", "ServerAnswer", None, 100.0),
    ("Start to the main window's first frame", "StartToFirstFrame/iterations:10/manual_time", None, None, 300.0),
]

# Figures whose goal is for the program's part alone: the baseline is taken off.
OWN_PART_ONLY = {"InterceptToFirstPaint"}

# Benchmarks that time several of the figure's units at once: the divisor.
PER_UNIT = {"SlideUpTransition": 23}

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def medians(folder):
    found = {}
    for result in Path(folder).glob("*.json"):
        for bench in json.loads(result.read_text()).get("benchmarks", []):
            if bench.get("aggregate_name") == "median":
                name = bench["run_name"]
                found[name] = bench["real_time"] * UNIT_MS[bench["time_unit"]] / PER_UNIT.get(name, 1)
    return found


def shown(ms):
    return f"{ms * 1000:.1f} µs" if ms < 1 else f"{ms:.2f} ms"


def main(folder):
    times = medians(folder)
    print("| Figure | Measured | Baseline | Ratio | Goal | Met |")
    print("|---|---|---|---|---|---|")
    for figure, name, baseline, ratio_goal, ms_goal in FIGURES:
        if name not in times or (baseline and baseline not in times):
            print(f"| {figure} | not measured | | | | |")
            continue
        measured = times[name]
        base = times.get(baseline) if baseline else None
        # The intercept figure's goal is for the program's own part: the server's answer is taken off.
        own = measured - base if name in OWN_PART_ONLY else measured
        ratio = measured / base if base else None
        goals, met = [], True
        if ratio_goal is not None:
            goals.append(f"≤ {ratio_goal}×")
            met = met and ratio <= ratio_goal
        if ms_goal is not None:
            goals.append(f"≤ {ms_goal:g} ms")
            met = met and own <= ms_goal
        print(f"| {figure} | {shown(own if own != measured else measured)} | "
              f"{shown(base) + ' (' + baseline + ')' if base else '—'} | "
              f"{f'{ratio:.2f}×' if ratio and ratio_goal is not None else '—'} | {', '.join(goals)} | "
              f"{'yes' if met else 'no'} |")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build-bench/results")
