"""The chart of docs/performance.md: the hotkey latencies of tool and floor, drawn with
ImageMagick; used by bench/report.py."""
import subprocess


def draw_chart(builds, build_labels, path_labels, out_path):
    """Cumulative distribution of the press latencies: tool and floor, both paths, per build."""
    width, height, margin = 380, 280, 44
    series = (("xp", "tacetto", "#c0392b", ""), ("xp", "same", "#f5a9a0", ""),
              ("vista", "tacetto", "#1f4e9a", "stroke-dasharray 6 3"),
              ("vista", "same", "#8fb3e8", "stroke-dasharray 6 3"))
    draw = ["font-size 11", "stroke-width 1"]
    for panel, (build_name, build_label) in enumerate(build_labels):
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
        draw += ["fill none", "stroke gray", "stroke-dasharray none",
                 f"rectangle {left},{top} {left + plot_w},{top + plot_h}"]
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
        label = f"{'tool' if name == 'tacetto' else 'floor'}, {path_labels[path]}"
        x = 30 + i * 185
        draw += ["stroke-dasharray none", "stroke none", f"fill '{colour}'",
                 f"rectangle {x},{legend_y - 9} {x + 14},{legend_y}", "fill black",
                 f"text {x + 18},{legend_y} '{label}'"]
    subprocess.run(["convert", "-size", f"{2 * width}x{height}", "xc:white", "-font",
                    "DejaVu-Sans", "-draw", "\n".join(draw), out_path], check=True)

