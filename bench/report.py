"""Turns the figures scripts/benchmark.sh collected into docs/performance.md (on stdout) and the
chart of the hotkey latencies (a PNG drawn with ImageMagick).

    python3 bench/report.py FIGURES READER_JSON CHART_PNG
"""
import json
import os
import subprocess
import sys

BUILDS = (("win32", "i686, 32-bit wine"), ("win64", "x86_64, wine64"))
PATHS = (("xp", "XP mixer"), ("vista", "endpoint"))


def read_figures(path):
    info, builds, build = {"sizes": []}, {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if not words:
                continue
            kind = words[0]
            if kind == "build":
                build = builds.setdefault(words[1], {})
            elif kind == "unavailable":
                builds.setdefault(words[1], {})["unavailable"] = " ".join(words[2:])
            elif kind == "failed":
                build.setdefault("failed", []).append(words[1])
            elif kind == "note":
                builds.setdefault(words[1], {}).setdefault("notes", []).append(
                    " ".join(words[2:]))
            elif kind == "size":
                info["sizes"].append((words[1], int(words[2])))
            elif kind in ("startup", "hotkey", "latencies", "memory", "presscpu", "idle"):
                build[(kind, words[1], words[2])] = [float(x) for x in words[3:]]
            elif kind in ("round", "idlerun"):
                build.setdefault((kind, words[1], words[2]), []).append(
                    [float(x) for x in words[3:]])
            else:
                info[kind] = line.split(" ", 1)[1].strip()
    return info, builds


def read_reader(path):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    return {e["run_name"]: e["bytes_per_second"] / 1e6 for e in data["benchmarks"]
            if e.get("aggregate_name") == "median"}


def figure(build, kind, path, name, index):
    values = build.get((kind, path, name))
    return values[index] if values and len(values) > index else None


def cell(value, digits):
    return "n/a" if value is None else f"{value:.{digits}f}"


def row(builds, label, target, key_tool, key_floor, digits, at_most=True):
    """One measure for both builds; target None means for information."""
    cells, verdicts = [label], []
    for build_name, _ in BUILDS:
        build = builds.get(build_name, {})
        if "unavailable" in build or not build:
            cells += ["cannot run", "", ""]
            verdicts.append("not measured")
            continue
        tool, floor = figure(build, *key_tool), figure(build, *key_floor)
        ratio = tool / floor if tool is not None and floor else None
        cells += [cell(tool, digits), cell(floor, digits),
                  "n/a" if ratio is None else f"{ratio:.2f}x"]
        if target is not None and ratio is not None:
            met = ratio <= target if at_most else ratio >= target
            verdicts.append("met" if met else "**not met**")
        else:
            verdicts.append("not measured" if target is not None else "")
    if target is None:
        cells += ["", "for information"]
    else:
        cells += [f"{'≤' if at_most else '≥'} {target:.2f}x", " / ".join(verdicts)]
    return cells


def table_rows(info, builds, reader):
    runs, rounds, presses, idle_seconds, idle_runs, _ = info["settings"].split()
    rows = []
    for path, path_label in PATHS:
        def same(kind, index, label, target, digits):
            rows.append(row(builds, f"{path_label}: {label}", target,
                            (kind, path, "tacetto", index), (kind, path, "same", index), digits))
        same("startup", 0, f"start-up until the window is visible, median of {runs} (ms)",
             1.10, 1)
        same("hotkey", 0, "hotkey press until the label changes, p50, median of "
             f"{rounds} instances (ms)", 1.15, 2)
        same("hotkey", 1, "hotkey press until the label changes, p99, median of "
             f"{rounds} instances (ms)", 1.15, 2)
        same("memory", 0, f"peak working set after the presses, median of {rounds} (KiB)",
             1.10, 0)
        same("idle", 0, f"CPU time over {idle_seconds} s idle, median of {idle_runs} (ms)",
             1.05, 1)
        same("idle", 2, f"wake-ups per second idle, median of {idle_runs}", 1.05, 0)
        same("hotkey", 2, f"hotkey p99 of all {int(rounds) * int(presses)} presses pooled (ms)",
             None, 2)
        same("presscpu", 0, "CPU time of the program per press, its polling included, median of "
             f"{rounds} instances (ms)", None, 3)
    floors = (("empty", "an empty window, same polling loop"),
              ("blocking", "an empty window, blocking GetMessage loop"))
    rows.append(row(builds, "XP mixer: start-up, median (ms), against an empty window", None,
                    ("startup", "xp", "tacetto", 0), ("startup", "xp", "empty", 0), 1))
    rows.append(row(builds, "XP mixer: peak working set (KiB), against an empty window", None,
                    ("memory", "xp", "tacetto", 0), ("idle", "-", "empty", 3), 0))
    for name, label in floors:
        rows.append(row(builds, f"XP mixer: CPU time over {idle_seconds} s idle (ms), against "
                        f"{label}", None, ("idle", "xp", "tacetto", 0), ("idle", "-", name, 0), 1))
        rows.append(row(builds, f"XP mixer: wake-ups per second idle, against {label}", None,
                        ("idle", "xp", "tacetto", 2), ("idle", "-", name, 2), 0))
    for name, size in info["sizes"]:
        kib = size / 1024
        rows.append([f"size of the shipped 32-bit {name} (KiB)", f"{kib:.1f}", "", "", "", "",
                     "", "≤ 40 KiB", "met" if kib <= 40 else "**not met**"])
    config, plain = reader.get("BM_ReadConfig"), reader.get("BM_PlainRead")
    ratio = config / plain if config and plain else None
    rows.append(["configuration reader on a 100 MB first line, median of 5 (MB/s), native; "
                 "against read() with the same 512-byte buffer", cell(config, 0), cell(plain, 0),
                 "n/a" if ratio is None else f"{ratio:.2f}x", "", "", "", "≥ 0.80x",
                 "not measured" if ratio is None else ("met" if ratio >= 0.8 else "**not met**")])
    return rows


def instance_lines(builds):
    """Every instance's hotkey p50 / p99 in the order run, and every idle run's CPU time."""
    out = ["", "Each instance, in the order run (hotkey: p50 / p99 in ms; idle: CPU ms, "
           "wake-ups per second):", ""]
    for build_name, build_label in BUILDS:
        build = builds.get(build_name, {})
        for path, path_label in PATHS:
            for name, who in (("tacetto", "tool"), ("same", "floor")):
                rounds = build.get(("round", path, name), [])
                idle = build.get(("idlerun", path, name), [])
                if not rounds and not idle:
                    continue
                presses = ", ".join(f"{r[1]:.1f} / {r[2]:.1f}" for r in rounds)
                idles = ", ".join(f"{r[0]:.0f}, {r[2]:.0f}" for r in idle)
                out.append(f"- {build_label}, {path_label}, {who}: hotkey {presses}; "
                           f"idle {idles}")
    return out


def draw_chart(builds, out_path):
    """Cumulative distribution of the press latencies: tool and floor, both paths, per build."""
    width, height, margin = 380, 280, 44
    series = (("xp", "tacetto", "#c0392b", ""), ("xp", "same", "#f5a9a0", ""),
              ("vista", "tacetto", "#1f4e9a", "stroke-dasharray 6 3"),
              ("vista", "same", "#8fb3e8", "stroke-dasharray 6 3"))
    draw = ["font-size 11", "stroke-width 1"]
    for panel, (build_name, build_label) in enumerate(BUILDS):
        build = builds.get(build_name, {})
        left, top = panel * width + margin, 24
        plot_w, plot_h = width - margin - 12, height - top - 62
        draw += ["stroke none", "fill black", f"text {left},{top - 8} '{build_label}'"]
        values = [build.get(("latencies", p, n), []) for p, n, _, _ in series]
        everything = sorted(v for vs in values for v in vs)
        if not everything:
            draw.append(f"text {left + 20},{top + plot_h // 2} 'not measured'")
            continue
        # Up to the 99th percentile of all presses, so that a few outliers do not flatten it.
        x_max = max(1.0, everything[int(0.99 * (len(everything) - 1))] * 1.1)
        draw += ["fill none", "stroke gray", "stroke-dasharray none", f"rectangle {left},{top} {left + plot_w},"
                 f"{top + plot_h}"]
        for i in range(5):
            x = left + plot_w * i / 4 - (8 if i < 4 else 22)  # the last one kept inside
            draw += ["stroke none", "fill black",
                     f"text {x:.0f},{top + plot_h + 14} '{x_max * i / 4:.1f}'"]
        draw += [f"text {left + plot_w // 2 - 20},{top + plot_h + 30} 'latency (ms)'",
                 f"text {left - 30},{top + 4} '100%'", f"text {left - 22},{top + plot_h} '0%'"]
        for (path, name, colour, dash), latencies in zip(series, values):
            if not latencies:
                continue
            ordered = sorted(latencies)
            points = []
            for i, value in enumerate(ordered):
                x = left + plot_w * min(value, x_max) / x_max
                y = top + plot_h * (1 - (i + 1) / len(ordered))
                points.append(f"{x:.1f},{y:.1f}")
            draw += ["fill none", f"stroke '{colour}'", "stroke-width 2", dash or
                     "stroke-dasharray none", "polyline " + " ".join(points), "stroke-width 1"]
    legend_y = height - 6
    for i, (path, name, colour, _) in enumerate(series):
        label = f"{'tool' if name == 'tacetto' else 'floor'}, {dict(PATHS)[path]}"
        x = 30 + i * 185
        draw += ["stroke-dasharray none", "stroke none", f"fill '{colour}'",
                 f"rectangle {x},{legend_y - 9} {x + 14},{legend_y}", "fill black",
                 f"text {x + 18},{legend_y} '{label}'"]
    subprocess.run(["convert", "-size", f"{2 * width}x{height}", "xc:white", "-font",
                    "DejaVu-Sans", "-draw", "\n".join(draw), out_path], check=True)


def main():
    info, builds = read_figures(sys.argv[1])
    reader = read_reader(sys.argv[2])
    chart = sys.argv[3]
    draw_chart(builds, chart)
    runs, rounds, presses, idle_seconds, idle_runs, pause_ms = info["settings"].split()
    out = ["# Performance", "",
           "Written by `bash scripts/benchmark.sh`; every figure below was measured by that run.",
           "", f"- Date: {info['date']}; the benchmark took {info['took']} s.",
           f"- Machine: {info['uname']}; {info['cpu']}; load average at the end "
           f"{info['load']} (other work shares the cores: the figures vary with it).",
           f"- Wine: {info['wine']}, Xvfb, one prefix for both builds; sound: {info['sound']}.",
           ""]
    for build_name, build_label in BUILDS:
        if "unavailable" in builds.get(build_name, {"unavailable": "not run"}):
            reason = builds.get(build_name, {}).get("unavailable", "not run")
            out.append(f"- **The {build_label} build was not measured**: {reason}")
    for build_name, build_label in BUILDS:
        build = builds.get(build_name, {})
        for path in build.get("failed", []):
            out.append(f"- {build_label}, {dict(PATHS)[path]} path: not measured, the programs "
                       "did not show their windows; the driver said: "
                       + "; ".join(sorted(set(build.get("notes", [])))[:4]))
    out += ["", "Each ratio is the tool's figure over the floor's, for the same architecture. "
            "The floor is `minimal_window.exe same`: the same platform work with the least code.",
            "", "| Measure | i686 tool | i686 floor | ratio | x86_64 tool | x86_64 floor | ratio "
            "| target | result (i686 / x86_64) |", "|---|---:|---:|---:|---:|---:|---:|---|---|"]
    out += ["| " + " | ".join(r) + " |" for r in table_rows(info, builds, reader)]
    out += ["", f"![Hotkey latency, tool and floor]({os.path.basename(chart)})", "",
            "How it is measured:", "",
            "- Floors (`bench/minimal_window.cpp`, same dialog template, window runner and "
            "window system as the tool): `same` reads the six lines of the same tacetto.cfg, "
            "loads winmm.dll from the system folder with GetProcAddress and does, at start, on "
            "each press and at exit, the tool's mixer (or endpoint) calls, lock-key strokes and "
            "key-state calls and label text (`bench/same_work.cpp`); the empty window and the "
            "blocking loop are the physical floors, for information.",
            "- Level paths: per exe, HKCU\\Software\\Wine\\AppDefaults\\<exe> Version winxp "
            "(i686) or winxp64 (x86_64) for the XP mixer path, no Version (Windows 10) for the "
            "endpoint path.",
            f"- Start-up: CreateProcess until IsWindowVisible of the found window, polled every "
            f"millisecond; the programs take turns, {runs} runs each after one unscored run.",
            f"- Hotkey: Ctrl+Alt+M injected with SendInput until WM_GETTEXT of the label "
            f"(id 201) shows the new level; {rounds} instances of each program, taking turns in "
            f"the order tool, floor, floor, tool, each pressed {presses} times, {pause_ms} to "
            f"{2 * int(pause_ms)} ms apart. p50 and p99 are those of each instance, and the "
            "table gives their median over the instances, so that one instance slowed down by "
            "the shared machine does not decide the figure; the p99 of all presses pooled is "
            "shown for information, and every instance's figures are below. Peak working set "
            "(GetProcessMemoryInfo) after the presses; the empty window's after its idle run. CPU "
            "time per press: the program's Linux threads (as for idle, below) from the first "
            "press to the last, over the number of presses; it shows whether a slower press is "
            "the program's own work or time it spent waiting.",
            f"- Idle: {idle_seconds} s after a second of settling, {idle_runs} runs of tool and "
            "floor taking turns as above, the median (the empty window and the blocking loop: "
            "one run each); CPU time is the sum over the "
            "Linux process's threads of /proc/PID/task/TID/schedstat (nanoseconds on a CPU; "
            "wine's GetProcessTimes reads zero for other processes), wake-ups are their "
            "voluntary and involuntary context switches (/proc/PID/task/TID/status) per second. "
            "The wineserver's share is not counted.",
            "- Configuration reader: the native build of `tacetto/config.cpp` and "
            "`tacetto/number_syntax.cpp` (optimized for size, as shipped) reading through read(2) in its own 512-byte requests; "
            "CPU time, the file in the page cache."]
    out += instance_lines(builds)
    print("\n".join(out))


if __name__ == "__main__":
    main()
