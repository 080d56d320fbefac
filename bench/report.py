"""Turns the figures scripts/benchmark.sh collected into docs/performance.md (on stdout) and the
chart of the hotkey latencies (a PNG drawn with ImageMagick, bench/report_chart.py).

    python3 bench/report.py FIGURES CHART_PNG
"""
import os
import sys

from report_chart import draw_chart
from report_soak import soak_lines

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
            elif kind in ("startup", "hotkey", "light", "change", "replug", "latencies", "memory",
                          "presscpu", "idle"):
                build[(kind, words[1], words[2])] = [float(x) for x in words[3:]]
            elif kind in ("round", "idlerun"):
                build.setdefault((kind, words[1], words[2]), []).append(
                    [float(x) for x in words[3:]])
            elif kind == "soak":
                build[(kind, words[1], words[2])] = words[3:]
            elif kind in ("answer", "count"):
                build[(kind, words[1], words[2], words[3])] = words[4:]
            else:
                info[kind] = line.split(" ", 1)[1].strip()
    return info, builds


def figure(build, kind, path, name, index):
    values = build.get((kind, path, name))
    return values[index] if values and len(values) > index else None


def cell(value, digits):
    return "n/a" if value is None else f"{value:.{digits}f}"


def ratio_of(over, under):
    """A ratio as the table shows it, to two decimals; the verdicts are made on these."""
    return round(over / under, 2) if over is not None and under else None


def verdict(ratio, noise_ratio, target, value=None, limit=None):
    """Met within the target; within noise when over it by no more than |A/A - 1|; neither over
    the limit, if any."""
    if ratio is None:
        return "not measured"
    if limit is not None and value > limit:
        return "**not met**"
    if ratio <= target:
        return "met"
    if noise_ratio is not None and ratio - target <= abs(noise_ratio - 1) + 1e-9:
        return "within noise"
    return "**not met**"


def row(builds, label, target, key_tool, key_floor, digits, key_copy=None, limit=None):
    """One measure for both builds; target None means for information. key_copy, the floor's
    copy, gives the A/A ratio beside the tool's; limit, if any, bounds the tool's figure."""
    cells, verdicts = [label], []
    for build_name, _ in BUILDS:
        build = builds.get(build_name, {})
        if "unavailable" in build or not build:
            cells += ["cannot run", "", "", ""]
            verdicts.append("not measured")
            continue
        tool, floor = figure(build, *key_tool), figure(build, *key_floor)
        ratio = ratio_of(tool, floor)
        noise_ratio = ratio_of(figure(build, *key_copy), floor) if key_copy else None
        cells += [cell(tool, digits), cell(floor, digits),
                  "n/a" if ratio is None else f"{ratio:.2f}x",
                  "" if not key_copy else "n/a" if noise_ratio is None else f"{noise_ratio:.2f}x"]
        if target is not None:
            verdicts.append(verdict(ratio, noise_ratio, target, tool, limit))
    if target is None:
        cells += ["", "for information"]
    else:
        cells += [f"≤ {target:.2f}x" + (f", ≤ {limit} ms" if limit else ""), " / ".join(verdicts)]
    return cells


def table_rows(info, builds):
    runs, rounds, presses, idle_seconds, idle_runs, *_, changes, replugs = info["settings"].split()
    samples = int(idle_seconds) * int(idle_runs)
    rows = []
    for path, path_label in PATHS:
        def same(kind, index, label, target, digits, limit=None):
            rows.append(row(builds, f"{path_label}: {label}", target,
                            (kind, path, "tacetto", index), (kind, path, "same", index), digits,
                            (kind, path, "copy", index), limit))
        same("startup", 0, f"start-up until the window is visible, median of {runs} (ms)",
             1.10, 1)
        for what, kind in (("label changes", "hotkey"), ("light shows it", "light")):
            for index, p in enumerate(("p50", "p99")):
                same(kind, index, f"hotkey press until the {what}, {p}, median of {rounds} "
                     "instances (ms)", 1.15, 2)
        if path == "vista":
            each = f"of {changes} changes made elsewhere until the light shows them (ms)"
            same("change", 0, f"p50 {each}", 1.15, 2)
            same("change", 1, f"p99 {each}", 1.15, 2, 20)
            same("change", 2, f"max {each}", None, 2)
            each = f"of {replugs} devices plugged in again, muted, until the light shows it (ms)"
            same("replug", 0, f"p50 {each}", 1.15, 1, 2000)
            same("replug", 2, f"max {each}", 1.15, 1, 2000)
        same("memory", 0, f"peak working set after the presses, median of {rounds} (KiB)",
             1.10, 0)
        same("idle", 0, f"CPU time per second idle, over {samples} samples of 1 s (ms)", 1.05, 1)
        same("idle", 1, f"wake-ups per second idle, over {samples} samples of 1 s", 1.05, 0)
        same("hotkey", 2, f"hotkey p99 of all {int(rounds) * int(presses)} presses pooled (ms)",
             None, 2)
        same("presscpu", 0, "CPU time of the program per press, its polling included, median of "
             f"{rounds} instances (ms)", None, 3)
    floors = (("empty", "an empty window, same polling loop"),
              ("blocking", "an empty window, blocking GetMessage loop"))
    rows.append(row(builds, "XP mixer: start-up, median (ms), against an empty window", None,
                    ("startup", "xp", "tacetto", 0), ("startup", "xp", "empty", 0), 1))
    rows.append(row(builds, "XP mixer: peak working set (KiB), against an empty window", None,
                    ("memory", "xp", "tacetto", 0), ("idle", "-", "empty", 2), 0))
    for name, label in floors:
        rows.append(row(builds, f"XP mixer: CPU time per second idle (ms), against {label}", None,
                        ("idle", "xp", "tacetto", 0), ("idle", "-", name, 0), 1))
        rows.append(row(builds, f"XP mixer: wake-ups per second idle, against {label}", None,
                        ("idle", "xp", "tacetto", 1), ("idle", "-", name, 1), 0))
    for name, size in info["sizes"]:
        kib = size / 1024
        rows.append([f"size of the shipped 32-bit {name} (KiB)", f"{kib:.1f}"] + [""] * 7
                    + ["≤ 40 KiB", "met" if kib <= 40 else "**not met**"])
    return rows


def instance_lines(builds):
    """Every instance's hotkey p50 / p99 in the order run, and every idle sample."""
    out = ["", "Each instance, in the order run (hotkey: p50 / p99 in ms until the label, and "
           "until the light; idle, each sample: CPU ms and wake-ups per second):", ""]
    for build_name, build_label in BUILDS:
        build = builds.get(build_name, {})
        for path, path_label in PATHS:
            for name, who in (("tacetto", "tool"), ("same", "floor"), ("copy", "floor's copy")):
                rounds = build.get(("round", path, name), [])
                idle = build.get(("idlerun", path, name), [])
                if not rounds and not idle:
                    continue
                presses = ", ".join(f"{r[1]:.1f} / {r[2]:.1f} and {r[6]:.1f} / {r[7]:.1f}"
                                    for r in rounds)
                idles = ", ".join(f"{r[0]:.0f}, {r[1]:.0f}" for r in idle)
                out.append(f"- {build_label}, {path_label}, {who}: hotkey {presses}; "
                           f"idle {idles}")
    return out


def method_lines(info):
    runs, rounds, presses, idle_seconds, idle_runs, pause_ms, _, changes, replugs = \
        info["settings"].split()
    return [
        "How it is measured:", "",
        "- Floors (`bench/minimal_window.cpp`, same dialog template, window runner and window "
        "system as the tool): `same` reads the six lines of the same tacetto.cfg, loads winmm.dll "
        "from the system folder with GetProcAddress and does, at start, on each press and at "
        "exit, the tool's mixer (or endpoint) calls, lock-key strokes and key-state calls and "
        "label text (`bench/same_work.cpp`), on the endpoint path also the device's state before "
        "each press and, on the endpoint's news, the same reads and strokes; the empty window and "
        "the blocking loop are the physical floors, for information.",
        "- A/A: `minimal_copy.exe same`, a copy of minimal_window.exe under another name (the "
        "driver makes it before it starts), so that wine gives it AppDefaults of its own as to a "
        "program of its own. It is measured exactly as tool and floor, in the same turns; the "
        "tool's figures are never compared with it.",
        "- Level paths: per exe, HKCU\\Software\\Wine\\AppDefaults\\<exe> Version winxp "
        "(i686) or winxp64 (x86_64) for the XP mixer path, win10 for the endpoint path.",
        "- Turns: but for idle, the programs run one at a time in the order tool, floor, copy, "
        "copy, floor, tool, and again, so that tool and floor alternate A B B A and so do floor "
        "and copy, and a slow spell of the shared machine falls on all three alike.",
        f"- Start-up: CreateProcess until IsWindowVisible of the found window, polled every "
        f"millisecond; {runs} runs of each program after one unscored run.",
        f"- Hotkey: Ctrl+Shift+M injected with SendInput until WM_GETTEXT of the label "
        "(id 201) shows the new level, and until the Scroll Lock light shows its state as another "
        "program reads it (GetKeyState in a thread of the driver's, harness/lock_lights.cpp); "
        f"{rounds} instances of each program, each pressed {presses} times, {pause_ms} to "
        f"{2 * int(pause_ms)} ms apart. p50 and p99 are those of "
        "each instance, and the table gives their median over the instances, so that one "
        "instance slowed down by the shared machine does not decide the figure; the p99 of all "
        "presses pooled is shown for information, and every instance's figures are below. Peak "
        "working set (GetProcessMemoryInfo) after the presses; the empty window's after its idle "
        "run. CPU time per press: the program's Linux threads (as for idle, below) from the "
        "first press to the last, over the number of presses; it shows whether a slower press "
        "is the program's own work or time it spent waiting.",
        f"- Endpoint path, sound doubles: each instance, after its presses, takes its share of "
        f"{changes} changes of the mute flag made elsewhere (tests/e2e/doubles' ChangeElsewhere) "
        f"and of {replugs} devices plugged in again while muted elsewhere (`plugged` false, the "
        "light off, then true, `plug` one up), each timed from sound.txt to the light.",
        f"- Idle: tool, floor and copy side by side (the tool started first: it alone holds the "
        f"hotkey), {idle_runs} times, each after a second of settling sampled {idle_seconds} "
        "times for a second at the same moments, the mean of the samples (the empty window "
        "and the blocking loop, this under the copy's name: one run side by side); CPU time is "
        "the sum "
        "over the Linux process's threads of /proc/PID/task/TID/schedstat (nanoseconds on a CPU; "
        "wine's GetProcessTimes reads zero for other processes), wake-ups are their voluntary "
        "and involuntary context switches (/proc/PID/task/TID/status) per second. The "
        "wineserver's share is not counted."]


def main():
    info, builds = read_figures(sys.argv[1])
    chart = sys.argv[2]
    draw_chart(builds, BUILDS, dict(PATHS), chart)
    soak_presses = int(info["settings"].split()[6])
    out = ["# Performance", "",
           "Written by `bash scripts/benchmark.sh`; every figure below was measured by that run.",
           "", f"- Date: {info['date']}; the benchmark took {info['took']} s, builds included "
           f"(its measuring was estimated beforehand at {info['estimate']} s).",
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
            "The floor is `minimal_window.exe same`: the same platform work with the least code. "
            "A/A is the figure of a copy of the floor over the floor's, measured alike in the "
            "same run: two equal programs, so its distance from 1.00x is how far this run's noise "
            "moved that measure.", "",
            "Verdict, for each build: a tool ratio within the target is **met**; one over the "
            "target by no more than that measure's noise in this run (|A/A − 1|, same build) is "
            "**within noise**: the run cannot tell it from the floor; only one beyond both is "
            "**not met**. The ratios are compared as shown, to two decimals.", "",
            "| Measure | i686 tool | i686 floor | ratio | A/A | x86_64 tool | x86_64 floor | "
            "ratio | A/A | target | result (i686 / x86_64) |",
            "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|---|"]
    out += ["| " + " | ".join(r) + " |" for r in table_rows(info, builds)]
    out += ["", f"![Hotkey latency, tool and floor]({os.path.basename(chart)})", ""]
    out += soak_lines(builds, BUILDS, soak_presses)
    out += [""] + method_lines(info)
    out += instance_lines(builds)
    print("\n".join(out))


if __name__ == "__main__":
    main()
