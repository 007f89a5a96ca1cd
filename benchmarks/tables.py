"""Turns the benchmark's raw figures into results.md and the chart of FindDevice(n).

Usage: tables.py --out DIR --load LOAD BITS=PREFIX...

Each PREFIX names the raw files of one build (PREFIX.members.txt, .wmi.txt,
.walks-nt.txt, .later.txt and, for the 32-bit build, .walks-9x.txt). Every file must be
complete (its closing line present, every figure a number); otherwise this
says what is missing and exits 1. Writes DIR/results.md and
DIR/find_device_cost.png (gnuplot's pngcairo) and prints the Markdown.
"""
import argparse
import datetime
import os
import platform
import subprocess
import sys

GOAL = 1.3
MEMBER_COUNT = 56
WMI_FACTS = 15
FLOOR_MEMBER = "DeviceStatus"
BUILD_FOLDERS = {"32": "build/", "64": "build/x64"}
PREFIX_KINDS = {"32": "win32 prefix, 32-bit hosts", "64": "WoW64 prefix, 64-bit hosts"}
TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Incomplete(Exception):
    pass


def records(path, kind, closing):
    """The fields of the lines of one kind, after checking the closing line."""
    if not os.path.exists(path):
        raise Incomplete(f"{path}: missing")
    with open(path, encoding="latin-1") as f:
        lines = [line.rstrip("\r\n") for line in f]
    if not any(line.startswith(closing) for line in lines):
        tail = "\n".join(lines[-10:])
        raise Incomplete(f"{path}: no line \"{closing}...\"; it ends:\n{tail}")
    return [line.split("|")[1:] for line in lines if line.startswith(kind + "|")]


def number(text, path):
    try:
        return float(text)
    except ValueError:
        raise Incomplete(f"{path}: \"{text}\" is no number")


def read_build(bits, prefix):
    path = prefix + ".members.txt"
    members = {}
    for name, dispatch, bare, runs, calls in records(path, "member", "member_cost:"):
        members[name] = (number(dispatch, path), None if bare == "-" else number(bare, path), calls)
    if len(members) != MEMBER_COUNT:
        raise Incomplete(f"{path}: {len(members)} members, not {MEMBER_COUNT}")
    path = prefix + ".wmi.txt"
    wmi = [(fact, calls, number(ours, path), query, number(theirs, path))
           for fact, calls, ours, query, theirs in records(path, "wmi", "wmi_cost:")]
    if len(wmi) != WMI_FACTS:
        raise Incomplete(f"{path}: {len(wmi)} facts, not {WMI_FACTS}")
    answers = {fields[0]: fields[1:] for fields in records(path, "answer", "wmi_cost:")}
    walks = {}
    for family in ("nt", "9x") if bits == "32" else ("nt",):
        path = f"{prefix}.walks-{family}.txt"
        for walk, n, ns in records(path, "walk", "find_device_cost:"):
            walks.setdefault(walk, []).append((int(n), number(ns, path)))
    path = prefix + ".later.txt"
    later = [(cls, int(number(devices, path)), number(first, path), number(walk, path),
              int(number(entities, path)), number(theirs, path))
             for cls, devices, first, walk, entities, theirs in
             records(path, "later", "later_walk_cost:")]
    return {"bits": bits, "members": members, "wmi": wmi, "answers": answers, "walks": walks,
            "later": later}


def ns(value):
    return "—" if value is None else f"{value:,.0f}"


def us(value):
    return f"{value / 1000:,.1f}"


def ratio(top, bottom, goal):
    """top/bottom to two places, in bold above the goal."""
    if bottom is None or bottom <= 0:
        return "—"
    r = top / bottom
    return f"**{r:.2f}**" if r > goal else f"{r:.2f}"


def fit(points):
    """The line through (n, ns) by least squares weighted by 1/ns², so that
    every point's relative error counts alike over n spanning four decades:
    slope, intercept and the weighted R²."""
    weights = [1.0 / (t * t) if t > 0 else 1.0 for _, t in points]
    sw = sum(weights)
    sx = sum(w * n for w, (n, _) in zip(weights, points))
    sy = sum(w * t for w, (_, t) in zip(weights, points))
    sxx = sum(w * n * n for w, (n, _) in zip(weights, points))
    sxy = sum(w * n * t for w, (n, t) in zip(weights, points))
    if sw * sxx - sx * sx <= 0:
        return 0.0, sy / sw, 1.0
    slope = (sw * sxy - sx * sy) / (sw * sxx - sx * sx)
    intercept = (sy - slope * sx) / sw
    mean = sy / sw
    total = sum(w * (t - mean) ** 2 for w, (_, t) in zip(weights, points))
    residual = sum(w * (t - intercept - slope * n) ** 2 for w, (n, t) in zip(weights, points))
    return slope, intercept, 1.0 - residual / total if total > 0 else 1.0


def largest_deviation(points, slope, intercept):
    """The largest distance of a point from the line, relative to the line."""
    return max(abs(t - intercept - slope * n) / (intercept + slope * n) for n, t in points)


def command(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True, cwd=TOP).stdout.strip()
    except OSError:
        return ""


def machine(load_start):
    cpu = "unknown processor"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    system = platform.system()
    if os.path.exists("/etc/os-release"):
        with open("/etc/os-release") as f:
            fields = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        system = fields.get("PRETTY_NAME", system).strip('"')
    with open("/proc/loadavg") as f:
        load_end = " ".join(f.read().split()[:3])
    commit = command("git", "rev-parse", "--short", "HEAD")
    changed = command("git", "status", "--porcelain", "--untracked-files=no", "--", ".", ":!docs/benchmarks")
    if changed:
        commit += " with uncommitted changes"
    return [
        ("date", datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")),
        ("machine", f"{cpu}, {os.cpu_count()} cores"),
        ("system", f"{system}, Linux {platform.release()}"),
        ("Wine", command("wine", "--version")),
        ("source", f"commit {commit}"),
        ("load average (1, 5, 15 min)", f"{load_start} at the start, {load_end} at the end"),
    ]


def build_name(bits):
    return f"{bits}-bit"


def member_table(builds):
    head = "| member | bare calls |" + "".join(
        f" {build_name(b['bits'])} IDispatch (ns) | bare (ns) | ratio |" for b in builds)
    rule = "|---|---|" + "---:|---:|---:|" * len(builds)
    rows = [head, rule]
    first = builds[0]["members"]
    for name in first:
        # A build may answer from its records where another reads afresh (ProcessorId).
        calls = {b["members"][name][2] for b in builds}
        cells = [name, first[name][2] if len(calls) == 1 else
                 "; ".join(f"{build_name(b['bits'])}: {b['members'][name][2]}" for b in builds)]
        for b in builds:
            dispatch, bare, _ = b["members"][name]
            cells += [ns(dispatch), ns(bare), ratio(dispatch, bare, GOAL)]
        rows.append("| " + " | ".join(cells) + " |")
    return rows


def member_notes(builds):
    notes = []
    for b in builds:
        members = b["members"]
        floor = members[FLOOR_MEMBER][0]
        missed = [f"{name} ({dispatch / bare:.2f}; {ns(dispatch - bare)} ns above the bare calls)"
                  for name, (dispatch, bare, _) in members.items()
                  if bare is not None and bare > 0 and dispatch / bare > GOAL]
        notes.append(f"- {build_name(b['bits'])}: a call through IDispatch costs {ns(floor)} ns at least "
                     f"({FLOOR_MEMBER}, which only hands back a field). "
                     + (f"Above {GOAL}: {', '.join(missed)}." if missed else f"Every member within {GOAL}."))
    return notes


def wmi_table(builds):
    head = "| fact | members called | WMI query |" + "".join(
        f" {build_name(b['bits'])} members (µs) | WMI (µs) | ratio |" for b in builds)
    rule = "|---|---|---|" + "---:|---:|---:|" * len(builds)
    rows = [head, rule]
    for i, (fact, calls, _, query, _) in enumerate(builds[0]["wmi"]):
        cells = [fact, calls, f"`{query}`"]
        for b in builds:
            _, _, ours, _, theirs = b["wmi"][i]
            cells += [us(ours), us(theirs), ratio(ours, theirs, 1.0)]
        rows.append("| " + " | ".join(cells) + " |")
    rows.append("")
    for b in builds:
        answers = "; ".join(f"{fact}: \"{a[0]}\" and \"{a[1]}\"" for fact, a in b["answers"].items())
        rows.append(f"- {build_name(b['bits'])} answers (component, WMI): {answers}.")
    return rows


def later_table(builds):
    head = "| class | devices |" + "".join(
        f" {build_name(b['bits'])} FindDevice(0) (µs) | FindDevice(devices) (µs) | WMI (µs) | walk over WMI |"
        for b in builds)
    rows = [head, "|---|---:|" + "---:|---:|---:|---:|" * len(builds)]
    for i, (cls, devices, _, _, _, _) in enumerate(builds[0]["later"]):
        cells = [cls, str(devices)]
        for b in builds:
            _, _, first, walk, _, theirs = b["later"][i]
            cells += [us(first), us(walk), us(theirs), ratio(walk, theirs, 1.0)]
        rows.append("| " + " | ".join(cells) + " |")
    return rows


def walk_series(builds):
    return [(b["bits"], walk, sorted(points)) for b in builds for walk, points in b["walks"].items()]


def walk_table(series):
    counts = sorted({n for _, _, points in series for n, _ in points})
    head = "| walk | build |" + "".join(f" n = {n:,} (µs) |" for n in counts) + \
        " per device (µs) | fixed part (µs) | R² | largest deviation |"
    rows = [head, "|---|---|" + "---:|" * (len(counts) + 4)]
    for bits, walk, points in series:
        at = dict(points)
        slope, intercept, r2 = fit(points)
        cells = [walk, build_name(bits)] + [us(at[n]) if n in at else "—" for n in counts]
        cells += [f"{slope / 1000:.2f}", us(intercept), f"{r2:.4f}",
                  f"{100 * largest_deviation(points, slope, intercept):.0f} %"]
        rows.append("| " + " | ".join(cells) + " |")
    return rows


def draw_chart(series, path):
    """Both axes logarithmic; points sit at n + 1, so that n = 0 has a place."""
    script = [
        "set terminal pngcairo size 900,560 font 'sans,10'",
        f"set output '{path}'",
        "set logscale xy",
        "set xrange [1:12000]",
        "set xtics ('0' 1, '10' 11, '100' 101, '1,000' 1001, '10,000' 10001)",
        "set xlabel 'device number n (drawn at n + 1)'",
        "set ylabel 'FindDevice(n) through IDispatch (ms)'",
        "set key top left",
        "set grid",
        "set title 'FindDevice(n): measured (points) and the straight line fitted to them'",
    ]
    plots = []
    for i, (bits, walk, points) in enumerate(series):
        slope, intercept, _ = fit(points)
        script.append(f"$s{i} << EOD")
        script += [f"{n + 1} {t / 1e6}" for n, t in points]
        script.append("EOD")
        plots.append(f"$s{i} using 1:2 with points pt 7 lc {i + 1} title '{build_name(bits)}, {walk}'")
        plots.append(f"({intercept / 1e6} + {slope / 1e6} * (x - 1)) with lines lc {i + 1} notitle")
    script.append("plot " + ", ".join(plots))
    result = subprocess.run(["gnuplot"], input="\n".join(script) + "\n", text=True, capture_output=True)
    if result.returncode != 0 or not os.path.exists(path):
        raise Incomplete(f"gnuplot failed: {result.stderr.strip()}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--load", default="?")
    parser.add_argument("runs", nargs="+", help="BITS=PREFIX")
    options = parser.parse_args()
    try:
        builds = [read_build(*run.split("=", 1)) for run in options.runs]
        series = walk_series(builds)
        chart = os.path.join(options.out, "find_device_cost.png")
        draw_chart(series, chart)
    except Incomplete as error:
        print(f"tables.py: {error}", file=sys.stderr)
        return 1

    kinds = "; ".join(f"{build_name(b['bits'])}: `{BUILD_FOLDERS[b['bits']]}` ({PREFIX_KINDS[b['bits']]})"
                      for b in builds)
    lines = ["# Benchmarks", "",
             "Made by `bash benchmarks/run.sh`; the figures are the fastest round of each side, "
             "timed on a machine shared with other work.", "",
             "| | |", "|---|---|"]
    lines += [f"| {key} | {value} |" for key, value in machine(options.load)]
    lines += [f"| builds | {kinds} |", "",
              "## Every member through IDispatch beside its bare calls", "",
              "A C++ client asks each member's DISPID once, then calls `Invoke` in rounds that alternate "
              "with rounds of the bare calls: the platform calls the member's answer makes afresh, made by "
              "the client itself (NT family, devices of `tests/integration/device_nt_seed.txt`). "
              f"Ratio: IDispatch over bare; the goal is at most {GOAL}. A member with no bare calls shows "
              "its own cost only.", ""]
    lines += member_table(builds)
    lines += [""] + member_notes(builds)
    lines += ["", "## Fifteen facts beside WMI, in one cscript run", "",
              "By name from VBScript under the build's own `cscript`, rounds of the component and of WMI "
              "alternating; ratio: component over WMI, the goal at most 1.", ""]
    lines += wmi_table(builds)
    lines += ["", "## FindDevice(n) on each walk", "",
              "Devices of one class seeded ahead of all others (`tests/tools/many_devices.h`): the 9x "
              "device list in the 32-bit prefix set to Windows 98, the services walk and the key tree of "
              "the media route in the NT-family prefixes. Each search through IDispatch, fastest of its "
              "rounds; the straight line fitted to the n measured (least squares weighted by 1/t², so that "
              "each point's relative error counts alike) gives the cost per device and the fixed part; the "
              "largest deviation is the farthest point's distance from the line, relative to the line.", ""]
    lines += walk_table(series)
    lines += ["", "![FindDevice(n)](find_device_cost.png)", ""]
    lines += ["## FindDevice on a Windows 10 layout beside WMI", "",
              "200 device instances in 50 services' lists, each with a \"ClassGUID\" and an indirect "
              "\"DeviceDesc\" only (`benchmarks/later_layout.py`), in the prefix set to Windows 10. For each "
              "class: `FindDevice(0, class)`, the walk past every device of the class (`FindDevice(devices, "
              "class)`, which finds nothing), and WMI's `Win32_PnPEntity` query, its entities of the class counted "
              "by their `DeviceID` (Wine's WMI has no class column), in one cscript run; fastest round of each. Goal: every walk faster than WMI's "
              "query (ratio below 1).", ""]
    lines += later_table(builds)
    lines += [""]
    text = "\n".join(lines)
    with open(os.path.join(options.out, "results.md"), "w", encoding="utf-8") as f:
        f.write(text)
    print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
