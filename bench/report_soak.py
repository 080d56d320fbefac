"""The soak section of docs/performance.md: the counts of one instance of the tool and one of the
floor before the first press and after the last, and what wine answered to each call; used by
bench/report.py."""

PATH = "vista"  # the endpoint path, Windows 10
WHO = (("tacetto", "tool"), ("same", "floor"))
MEASURES = (("workingset", "working set", " KiB"), ("private", "PagefileUsage", " KiB"),
            ("handles", "handles", ""), ("gdi", "GDI objects", ""), ("user", "USER objects", ""))
NOT_ANSWERED = "not answered by wine"


def last_error(code):
    return "120 (ERROR_CALL_NOT_IMPLEMENTED)" if code == "120" else code


def memory_answer(words):
    ok, working_set, private = words
    return (f"{'TRUE' if ok == '1' else 'FALSE'}, WorkingSetSize {working_set} KiB, "
            f"PagefileUsage {private} KiB", ok == "1" and int(working_set) > 0)


def handle_count_answer(words):
    ok, count, error = words
    return (f"{'TRUE' if ok == '1' else 'FALSE'}, count {count}, last error {last_error(error)}",
            ok == "1" and int(count) > 0)


def handle_table_answer(words):
    status, entries = words
    return f"status {status}, {entries} entries of the process", int(entries) > 0


def gui_answer(words):
    count, error = words
    return f"{count}, last error {last_error(error)}", int(count) > 0


# Each call: its name in the answer lines, as the table names it, how its answer reads, what it
# gives where it answers, and what it is where it does not.
CALLS = (
    ("GetProcessMemoryInfo", "GetProcessMemoryInfo", memory_answer,
     "the working set and PagefileUsage", NOT_ANSWERED),
    ("GetProcessHandleCount", "GetProcessHandleCount", handle_count_answer, "the handle count",
     "a stub: a count of 0 for processes that hold handles; not used"),
    ("SystemExtendedHandleInformation",
     "NtQuerySystemInformation(SystemExtendedHandleInformation), filtered by process id",
     handle_table_answer, "the handle count where GetProcessHandleCount gives none",
     NOT_ANSWERED),
    ("GetGuiResources(GR_GDIOBJECTS)", "GetGuiResources(GR_GDIOBJECTS)", gui_answer,
     "the GDI object count", NOT_ANSWERED),
    ("GetGuiResources(GR_USEROBJECTS)", "GetGuiResources(GR_USEROBJECTS)", gui_answer,
     "the USER object count", NOT_ANSWERED))


def change(count, unit):
    """Before → after, with the difference; a count no call answered is never shown as 0."""
    if not count or "-" in count[:2]:
        return NOT_ANSWERED
    before, after = int(count[0]), int(count[1])
    return f"{before}{unit} → {after}{unit} ({after - before:+d})"


def grown(build):
    """The tool's answered counts that grew over the presses, with the floor's change beside."""
    out = []
    for measure, label, unit in MEASURES:
        tool = build.get(("count", PATH, "tacetto", measure))
        floor = build.get(("count", PATH, "same", measure))
        if not tool or "-" in tool[:2] or int(tool[1]) <= int(tool[0]):
            continue
        floor_change = ("not read" if not floor or "-" in floor[:2]
                        else f"{int(floor[1]) - int(floor[0]):+d}{unit}")
        out.append(f"{label} {int(tool[1]) - int(tool[0]):+d}{unit} (the floor: {floor_change})")
    return out


def soak_lines(builds, build_labels, presses):
    out = ["## Soak", ""]
    if presses <= 0:
        return out + ["Not run in this run (BENCH_SOAK_PRESSES=0)."]
    out += [f"On the endpoint path (Windows 10), one instance of the tool and then one of the "
            f"floor, each pressed {presses:,} times, each press as soon as label and light showed "
            "the last; the counts 300 ms after the window showed (before the first press) and "
            "300 ms after the last press.", "",
            "| Build, program | presses seen | seconds | working set | PagefileUsage | handles "
            "| GDI objects | USER objects |", "|---|---:|---:|---|---|---|---|---|"]
    growth = []
    for build_name, build_label in build_labels:
        build = builds.get(build_name, {})
        for name, who in WHO:
            soak = build.get(("soak", PATH, name))
            if not soak:
                reason = "cannot run" if "unavailable" in build or not build else "not measured"
                out.append(f"| {build_label}, {who} | {reason} |  |  |  |  |  |  |")
                continue
            cells = [f"{build_label}, {who}", f"{int(soak[1]):,} of {int(soak[0]):,}", soak[2]]
            cells += [change(build.get(("count", PATH, name, m)), unit) for m, _, unit in MEASURES]
            out.append("| " + " | ".join(cells) + " |")
        if build.get(("soak", PATH, "tacetto")):
            growth.append(f"{build_label}: " + ("; ".join(grown(build)) or "nothing"))
    if growth:
        out += ["", "Grew in the tool over the presses, of the counts wine answered: "
                + "; ".join(growth) + "."]
    out += ["", "What wine answered, before the first press:", "",
            "| Call | " + " | ".join(f"{label.split(',')[0]} {who}" for _, label in build_labels
                                     for _, who in WHO) + " | taken as |",
            "|---|" + "---|" * (2 * len(build_labels)) + "---|"]
    for call, title, read, gives, stub in CALLS:
        cells, answered = [title], []
        for build_name, _ in build_labels:
            for name, _ in WHO:
                words = builds.get(build_name, {}).get(("answer", PATH, name, call))
                if not words:
                    cells.append("not run")
                    continue
                text, ok = read(words)
                cells.append(text)
                answered.append(ok)
        taken = gives if answered and all(answered) else stub if not any(answered) else \
            f"{gives} where it answered (see the cells)"
        out.append("| " + " | ".join(cells + [taken]) + " |")
    out += ["", "The handle count is taken from GetProcessHandleCount where it gives one, else "
            "from the system's handle table (on wine, the wineserver's); the working set and "
            "PagefileUsage (the private memory on Windows) from GetProcessMemoryInfo, which wine "
            "fills from the Linux process's VmRSS and RssAnon; the GDI and USER objects from "
            "GetGuiResources. A process with a window holds handles and GDI and USER objects, "
            "so a count of 0 is no answer: it is shown as not answered by wine, never as 0."]
    return out
