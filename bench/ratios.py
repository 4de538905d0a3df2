#!/usr/bin/env python3
"""Prints the benchmark goals from a Google Benchmark JSON file: ours against the best reference."""
import json
import sys


def main(path):
    runs = {}
    for b in json.load(open(path))["benchmarks"]:
        if b.get("error_occurred"):
            continue
        # The median of repetitions where there are some, else the single run.
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        # Options such as UseRealTime add "/real_time" and "/process_time" to the name.
        name = b.get("run_name", b["name"])
        for suffix in ("/real_time", "/process_time"):
            name = name.replace(suffix, "")
        runs[name] = b

    def mps(name):
        b = runs.get(name)
        return b["items_per_second"] / 1e6 if b and "items_per_second" in b else None

    def ms(name, clock="real_time"):
        b = runs.get(name)
        if not b:
            return None
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        return b[clock] * scale

    rows = []

    def speedup(fmt, refs, goal, label):
        ours = mps(f"decode/{fmt}/miaohui")
        best = max((mps(f"decode/{fmt}/{r}") or 0, r) for r in refs)
        if ours is None or not best[0]:
            rows.append((f"decode/{fmt}", "missing", label, "?"))
            return
        ratio = ours / best[0]
        rows.append((f"decode/{fmt}", f"{ours:8.1f} MP/s vs {best[1]} {best[0]:.1f} MP/s = {ratio:.2f} x", label,
                     "met" if ratio >= goal else "NOT MET"))

    speedup("jpeg", ["libjpeg"], 1 / 1.05, "within 5 % of libjpeg")
    speedup("png", ["libpng"], 1 / 1.05, "within 5 % of libpng")
    speedup("bmp24", ["stb"], 3.0, ">= 3 x stb")
    speedup("bmp8", ["stb"], 2.0, ">= 2 x stb")
    speedup("gif", ["giflib", "stb"], 2.0, ">= 2 x giflib")
    pcx = mps("decode/pcx8/miaohui")
    rows.append(("decode/pcx8", f"{pcx:8.1f} MP/s" if pcx else "missing", ">= 500 MP/s",
                 "met" if pcx and pcx >= 500 else "NOT MET"))
    for ico in ("ico256", "ico32"):
        v = mps(f"decode/{ico}/miaohui")
        rows.append((f"decode/{ico}", f"{v:8.1f} MP/s" if v else "missing", "-", "-"))
    # The paint's CPU time counts every thread (Qt scales on its thread pool): under 1 ms of
    # it means under 1 ms on one free core. The wall time shows what a busy machine adds.
    paint, paint_wall = ms("paint/stretch/576x544", "cpu_time"), ms("paint/stretch/576x544")
    rows.append(("paint/stretch/576x544",
                 f"{paint:.3f} ms CPU, {paint_wall:.3f} ms wall" if paint else "missing", "< 1 ms",
                 "met" if paint and paint < 1 else "NOT MET"))
    road, base = ms("road/jpeg"), ms("road/baseline")
    if road and base:
        road_cpu, base_cpu = ms("road/jpeg", "cpu_time"), ms("road/baseline", "cpu_time")
        rows.append(("road/jpeg", f"{road:.2f} ms vs baseline {base:.2f} ms = {road / base:.2f} "
                     f"(CPU {road_cpu:.2f} vs {base_cpu:.2f} = {road_cpu / base_cpu:.2f})", "within 10 %",
                     "met" if road <= base * 1.10 else "NOT MET"))
    else:
        rows.append(("road/jpeg", "missing", "within 10 %", "?"))

    width = max(len(r[1]) for r in rows)
    for name, value, goal, verdict in rows:
        print(f"{name:24} {value:{width}}  {goal:22} {verdict}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "bench/last.json")
