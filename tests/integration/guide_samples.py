"""The code samples of the user guide, and the output the guide shows for them.

  guide_samples.py extract GUIDE DIR    writes each sample into DIR and lists
                                        "NAME FILE KIND" lines (KIND: script,
                                        cpp or cmd)
  guide_samples.py check DIR FAMILY     compares DIR/NAME.out with the output
                                        block of the sample for that family

A sample is a fenced block whose info string names it: ```vbscript sample=NAME
(also javascript, cpp, and cmd for a command line). Its output is a ```text
output=NAME block, optionally with family=nt or family=9x. In an output block
"..." stands for any text within a line, and a line of "..." alone for any
number of lines. Every vbscript, javascript and cpp block of the guide must be
a sample with an output block: none goes unrun.
"""
import os
import re
import sys

FENCE = re.compile(r"^```(\w+)([^\n]*)\n(.*?)^```$", re.M | re.S)
KINDS = {"vbscript": ("vbs", "script"), "javascript": ("js", "script"),
         "cpp": ("cpp", "cpp"), "cmd": ("cmd", "cmd")}
CODE = ("vbscript", "javascript", "cpp")


def blocks(guide):
    for m in FENCE.finditer(open(guide, encoding="utf-8").read()):
        attributes = dict(a.split("=", 1) for a in m[2].split() if "=" in a)
        yield m[1], attributes, m[3]


def extract(guide, folder):
    samples, outputs, failures = [], set(), []
    for language, attributes, body in blocks(guide):
        if "output" in attributes:
            name = attributes["output"]
            suffix = "." + attributes["family"] if "family" in attributes else ""
            with open(os.path.join(folder, name + suffix + ".expected"), "w") as f:
                f.write(body)
            outputs.add(name)
        elif "sample" in attributes:
            extension, kind = KINDS[language]
            name = attributes["sample"]
            with open(os.path.join(folder, "%s.%s" % (name, extension)), "w", newline="\r\n") as f:
                f.write(body)
            samples.append((name, "%s.%s" % (name, extension), kind))
        elif language in CODE:
            failures.append("a %s block without a sample name:\n%s" % (language, body))
    names = {name for name, _, _ in samples}
    failures += ["sample %s shows no output" % n for n in sorted(names - outputs)]
    failures += ["output %s of no sample" % n for n in sorted(outputs - names)]
    for failure in failures:
        print("FAIL", failure, file=sys.stderr)
    for sample in samples:
        print(*sample)
    return 1 if failures or not samples else 0


def pattern(expected):
    parts = []
    for line in expected.splitlines():
        if line.strip() == "...":
            parts.append(r"(?:[^\n]*\n)*?")
        else:
            parts.append(r"[^\n]*".join(map(re.escape, line.split("..."))) + r"\n")
    return "".join(parts)


def check(folder, family):
    failures = 0
    names = sorted(f[:-4] for f in os.listdir(folder) if f.endswith(".out"))
    for name in names:
        candidates = [os.path.join(folder, "%s.%s.expected" % (name, family)),
                      os.path.join(folder, name + ".expected")]
        expected = next((open(c).read() for c in candidates if os.path.exists(c)), None)
        actual = open(os.path.join(folder, name + ".out"), "rb").read().decode("cp437")
        actual = actual.replace("\r\n", "\n")
        if expected is not None and re.fullmatch(pattern(expected), actual, re.S):
            print("ok  ", name)
            continue
        failures += 1
        print("FAIL", name, "printed:\n" + actual + "the guide shows:\n" + (expected or "(nothing)\n"))
    print("%d samples, %d failed" % (len(names), failures))
    return 1 if failures or not names else 0


if __name__ == "__main__":
    command = extract if sys.argv[1] == "extract" else check
    sys.exit(command(sys.argv[2], sys.argv[3]))
