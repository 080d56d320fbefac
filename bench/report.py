"""Turns the figures scripts/benchmark.sh collected into docs/performance.md (on stdout).

    python3 bench/report.py FIGURES READER_JSON
"""
import json
import sys


def read_figures(path):
    figures = {}
    sizes = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if not words:
                continue
            kind = words[0]
            if kind in ("date", "uname", "cpu", "wine"):
                figures[kind] = line.split(" ", 1)[1].strip()
            elif kind == "size":
                sizes.append((words[1], int(words[2])))
            elif kind in ("startup", "hotkey", "idle", "memory"):
                figures[(kind, words[1])] = words[2:]
            else:
                figures[kind] = words[1:]
    figures["sizes"] = sizes
    return figures


def read_reader(path):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    medians = {}
    for entry in data["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            medians[entry["run_name"]] = entry["bytes_per_second"] / 1e6
    return medians


def ratio(a, b):
    return a / b if b > 0 else None


def show_ratio(value):
    return "n/a" if value is None else f"{value:.2f}x"


def verdict(value, limit, at_most=True):
    if value is None:
        return "not measured"
    return "met" if (value <= limit if at_most else value >= limit) else "**not met**"


def main():
    figures = read_figures(sys.argv[1])
    reader = read_reader(sys.argv[2])
    runs, presses, idle_seconds, pause_ms = figures["settings"]
    rows = []

    tac = float(figures[("startup", "tacetto")][0])
    mini = float(figures[("startup", "minimal")][0])
    r = ratio(tac, mini)
    rows.append((f"Start-up until the window is visible, median of {runs} (ms)",
                 f"{tac:.1f}", f"{mini:.1f}", show_ratio(r), "≤ 1.2x", verdict(r, 1.2)))

    tac_hotkey = [float(x) for x in figures[("hotkey", "tacetto")][:3]]
    min_hotkey = [float(x) for x in figures[("hotkey", "minimal")][:3]]
    seen = figures[("hotkey", "tacetto")][4], figures[("hotkey", "minimal")][4]
    missed = figures[("hotkey", "tacetto")][3], figures[("hotkey", "minimal")][3]
    r = ratio(tac_hotkey[0], min_hotkey[0])
    rows.append(("Hotkey press until the label changes, p50 (ms)", f"{tac_hotkey[0]:.2f}",
                 f"{min_hotkey[0]:.2f}", show_ratio(r), "", "for information"))
    r = ratio(tac_hotkey[1], min_hotkey[1])
    rows.append(("Hotkey press until the label changes, p99 (ms)", f"{tac_hotkey[1]:.2f}",
                 f"{min_hotkey[1]:.2f}", show_ratio(r), "≤ 1.5x", verdict(r, 1.5)))

    tac_idle = float(figures[("idle", "tacetto")][0])
    min_idle = float(figures[("idle", "minimal")][0])
    blocking_idle = float(figures[("idle", "blocking")][0])
    r = ratio(tac_idle, min_idle)
    rows.append((f"CPU time over {idle_seconds} s idle, same polling loop (s)", f"{tac_idle:.2f}",
                 f"{min_idle:.2f}", show_ratio(r), "", "for information"))
    # The blocking loop may use less than one 10 ms tick: then the ratio is a lower bound.
    r = ratio(tac_idle, blocking_idle)
    shown = show_ratio(r) if r is not None else f"≥ {tac_idle / 0.01:.0f}x"
    rows.append((f"CPU time over {idle_seconds} s idle, against a blocking GetMessage loop (s)",
                 f"{tac_idle:.2f}", f"{blocking_idle:.2f}", shown, "", "for information"))

    tac_memory = int(figures[("memory", "tacetto")][0])
    min_memory = int(figures[("memory", "minimal")][0])
    r = ratio(tac_memory, min_memory)
    rows.append(("Peak working set after the presses (KiB)", str(tac_memory), str(min_memory),
                 show_ratio(r), "≤ 1.3x", verdict(r, 1.3)))

    for name, size in figures["sizes"]:
        kib = size / 1024
        rows.append((f"Size of the shipped 32-bit {name} (KiB)", f"{kib:.1f}", "", "",
                     "≤ 100 KiB", verdict(kib, 100)))

    config = reader.get("BM_ReadConfig")
    plain = reader.get("BM_PlainRead")
    r = ratio(config, plain) if config and plain else None
    rows.append(("Configuration reader on a 100 MB first line, median of 5 (MB/s); "
                 "against read() with the same 512-byte buffer",
                 f"{config:.0f}" if config else "n/a", f"{plain:.0f}" if plain else "n/a",
                 show_ratio(r), "≥ 0.5x", verdict(r, 0.5, at_most=False)))

    out = []
    out.append("# Performance")
    out.append("")
    out.append("Written by `bash scripts/benchmark.sh`; every figure below was measured by that "
               "run.")
    out.append("")
    out.append(f"- Date: {figures['date']}")
    out.append(f"- Machine: {figures['uname']}; {figures['cpu']}")
    out.append(f"- Wine: {figures['wine']} (wine64, Xvfb, ALSA null device, Windows XP setting)")
    out.append(f"- The benchmark took {figures['took'][0]} s.")
    out.append("")
    out.append("| Measure | tacetto | minimal program | ratio | target | result |")
    out.append("|---|---:|---:|---:|---|---|")
    for row in rows:
        out.append("| " + " | ".join(row) + " |")
    out.append("")
    out.append("How it is measured:")
    out.append("")
    out.append("- The Windows figures are of the win64 build under wine64; the minimal program "
               "(`bench/minimal_window.cpp`) opens the same dialog template through the same "
               "window runner and window system, with a callback that does nothing.")
    out.append(f"- Start-up: from CreateProcess until IsWindowVisible on the found window, "
               f"polled every millisecond; the two programs take turns, {runs} runs each after "
               f"one unscored run.")
    out.append(f"- Hotkey: Ctrl+Alt+M injected with SendInput until WM_GETTEXT of the label "
               f"(id 201) shows the new level; {seen[0]} and {seen[1]} presses seen "
               f"({missed[0]} and {missed[1]} missed) of {presses} each, {pause_ms} to "
               f"{2 * int(pause_ms)} ms apart. The minimal program "
               f"registers the same hotkey and rewrites its label the same way, without the "
               f"mixer and the lock key. Peak memory is read (GetProcessMemoryInfo) after the "
               f"presses.")
    out.append("- Idle: user and system time of the program's Linux process (/proc/PID/stat, "
               "10 ms ticks) after a second of settling; wine's GetProcessTimes reads zero for "
               "other processes. The wineserver's share of each PeekMessage is not counted.")
    out.append("- Configuration reader: the native build of `tacetto/config.cpp` (optimized "
               "for size, as shipped) reading through read(2) in its own 512-byte requests; "
               "CPU time, the file in the page cache.")
    print("\n".join(out))


if __name__ == "__main__":
    main()
