#!/usr/bin/env python3
"""Table of gorv_overlay_geos_bench results: median CPU microseconds (steadier than wall time on a
shared machine; --real for wall time) of ours, GEOS and the modeler per cell, the ratio ours / GEOS, and per n-gon series the growth exponent from n = 512 to 8192,
log(t(8192) / t(512)) / log(16).

    gorv_overlay_geos_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_out=overlay.json --benchmark_out_format=json
    python3 bench/overlay_geos_table.py overlay.json
"""
import json
import math
import sys

SCALE = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}


def main(path, field):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    cells, order = {}, []
    for r in runs:
        if r.get("aggregate_name", "median") != "median" or r.get("error_occurred"):
            continue
        name = r.get("run_name", r["name"]).rsplit("_median", 1)[0]
        key, engine = name.rsplit("/", 1)
        if key not in cells:
            cells[key] = {}
            order.append(key)
        cells[key][engine] = r[field] * SCALE[r.get("time_unit", "ns")]
    print(f"{'cell':48} {'ours us':>11} {'GEOS us':>11} {'ours/GEOS':>9} {'modeler us':>12}")
    for key in order:
        c = cells[key]
        ours, geos, mod = c.get("ours"), c.get("geos"), c.get("modeler")
        ratio = f"{ours / geos:9.2f}" if ours and geos else f"{'-':>9}"
        fmt = lambda v, w: f"{v:{w}.1f}" if v else f"{'-':>{w}}"
        print(f"{key:48} {fmt(ours, 11)} {fmt(geos, 11)} {ratio} {fmt(mod, 12)}")
    print()
    for key in order:
        if not key.endswith("/n:512"):
            continue
        series = key[: -len("/n:512")]
        big = cells.get(series + "/n:8192", {})
        for engine in ("ours", "geos"):
            t0, t1 = cells[key].get(engine), big.get(engine)
            if t0 and t1:
                print(f"growth exponent 512..8192 {series:36} {engine:5} {math.log(t1 / t0) / math.log(16):.2f}")


if __name__ == "__main__":
    args = [a for a in sys.argv[1:] if a != "--real"]
    main(args[0] if args else "overlay.json", "real_time" if "--real" in sys.argv else "cpu_time")
