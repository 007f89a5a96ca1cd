"""The JSON report checked against the text report of the same run.

  report_json.py seed nt|9x FILE      registry texts that need escaping, in the
                                      ANSI code page, for seed_registry.exe
  report_json.py check TEXT JSON      every answer the text report shows equals
                                      the JSON document's, and the other way round
  report_json.py same JSON COLLECTED  a file of collect.vbs holds the report's
                                      members and its "Collector" first

cscript writes both reports in the console's code page (OEM); the JSON
document must be plain ASCII, its texts escaped.
"""
import json
import re
import sys

ANSI = "cp1252"
OEM = "cp437"

# A quote, a backslash, control characters and text outside ASCII (the euro
# sign is byte 0x80 in the ANSI code page but U+20AC in the document).
OWNER = 'Zo\u00eb "Q" O\'Brien\\Sales\tDesk\x01\x1f \u20ac5 Stra\u00dfe\x7f'

CURRENT_VERSION = {
    "nt": r"HKLM\Software\Microsoft\Windows NT\CurrentVersion",
    "9x": r"HKLM\Software\Microsoft\Windows\CurrentVersion",
}

# The property members the document names at its top level; HWKey and
# DeviceStatus belong to each device.
PROPERTIES = """OSName OSVersion CSD CSDVersion ComputerName BootDrive BootMode SysDir
WinDir DebugEnabled RegOwnerName RegOrganization RegID MfgName MfgComputerModel
NumberOfProcessors DockedInfo CurrentHWProfile MemoryTotalPhys MemoryTotalPageFile
MemoryTotalVirtual PowerStatus BatteryStatus BatteryLifeTime BatteryFullLifeTime
FixedDisksSizeInMB FixedDisksFreeSpaceInMB HasSCSIBus HasAGPBus
OSBuild OSDisplayVersion OSEdition OSArchitecture ProcessorCoreCount ProcessorLogicalCount
MemoryTotalPhysInMB MemoryAvailPhysInMB MemoryTotalPageFileInMB MemoryAvailPageFileInMB
BatteryLifePercent BIOSVendor BIOSVersion BIOSReleaseDate SystemFamily
BaseBoardManufacturer BaseBoardProduct""".split()


def seed(family, path):
    text = OWNER.replace("\\", "\\\\").replace('"', '\\"')
    lines = ["[%s]" % CURRENT_VERSION[family], '"RegisteredOwner"="%s"' % text, ""]
    with open(path, "wb") as f:
        f.write("\r\n".join(lines).encode(ANSI))


def text_items(report):
    """{path: shown} for every answer line, and the paths shown as "(none)"."""
    items, none = {}, []
    lines = report.split("\r\n")
    section, headings = None, {}
    for i, line in enumerate(lines):
        if i + 1 < len(lines) and lines[i + 1] and set(lines[i + 1]) == {"-"}:
            section, headings = line, {}
            continue
        if not line.startswith("  "):
            continue
        depth = len(line) - len(line.lstrip(" "))
        outer = [headings[d] for d in sorted(headings) if d < depth]
        if len(line) <= 28:
            label = line.strip()
            if label == "(none)":
                none.append(json_path(section, outer))
            headings = {d: h for d, h in headings.items() if d < depth}
            headings[depth] = label
            continue
        items[json_path(section, outer + [line[:28].strip()])] = line[28:]
    return items, none


def json_path(section, labels):
    """Where the JSON document keeps what the text shows under these labels."""
    path = ["Devices"] if section == "Devices" else []
    for label in labels:
        m = re.fullmatch(r"(Processor|Device) (\d+)", label)
        if m and m[1] == "Processor":
            path += ["Processors", int(m[2]) - 1]
            continue
        if m:
            path.append(int(m[2]))
            continue
        m = re.fullmatch(r"(\w+)\((\d+)\)", label)
        path += [m[1], int(m[2])] if m else [label]
    return tuple(path)


def json_leaves(node, path=()):
    if isinstance(node, dict) and set(node) != {"error"}:
        for key, value in node.items():
            yield from json_leaves(value, path + (key,))
    elif isinstance(node, list):
        for index, value in enumerate(node):
            yield from json_leaves(value, path + (index,))
    else:
        yield path, node


# Free space, free memory and the battery's charge are asked afresh at each
# call, and other processes move them between the two runs: within a part of
# the whole (the disks' size, the memory's, 100 %) counts as equal. Free memory
# moves most: the compilers and Wine programs of tests running beside this one
# take and give back hundreds of megabytes, so there a tenth counts as equal.
LIVE = {("FixedDisksFreeSpaceInMB",): ("FixedDisksSizeInMB", 100),
        ("MemoryAvailPhysInMB",): ("MemoryTotalPhysInMB", 10),
        ("MemoryAvailPageFileInMB",): ("MemoryTotalPageFileInMB", 10),
        ("BatteryLifePercent",): (None, 100)}


def live_shows(shown, value, whole, parts):
    return isinstance(value, int) and abs(int(shown.split(" ")[0]) - value) <= max(whole // parts, 1)


def shows(shown, value):
    """Whether the text report's shown answer is this JSON value."""
    if isinstance(value, dict):
        return shown.startswith("(error %s" % value["error"])
    if isinstance(value, bool):
        return shown == str(value)
    if value is None:
        return shown == "(no value)"
    if isinstance(value, str):
        return shown == '"%s"' % value.encode(OEM, errors="replace").decode(OEM)
    # Numbers may be followed by a unit or a name: "2596 MHz", "0 (normal)".
    return isinstance(value, int) and shown.split(" ")[0] == str(value)


def lookup(doc, path):
    for part in path:
        doc = doc[part]
    return doc


def check(text_file, json_file):
    raw = open(json_file, "rb").read()
    failures = []
    if not raw.isascii():
        failures.append("the JSON document is not plain ASCII")
    doc = json.loads(raw.decode("ascii", errors="replace"))
    items, none = text_items(open(text_file, "rb").read().decode(OEM))
    leaves = dict(json_leaves(doc))

    for name in PROPERTIES:
        if name not in doc:
            failures.append("no member %s" % name)
    for path in sorted(set(items) | set(leaves), key=str):
        if path not in leaves:
            failures.append("%s: only in the text (%r)" % (path, items[path]))
        elif path not in items:
            failures.append("%s: only in the JSON (%r)" % (path, leaves[path]))
        elif path in LIVE and live_shows(items[path], leaves[path],
                                         doc[LIVE[path][0]] if LIVE[path][0] else 100,
                                         LIVE[path][1]):
            continue
        elif not shows(items[path], leaves[path]):
            failures.append("%s: text %r, JSON %r" % (path, items[path], leaves[path]))
    for path in none:
        if lookup(doc, path) != []:
            failures.append("%s: (none) in the text, %r in the JSON" % (path, lookup(doc, path)))
    if doc.get("RegOwnerName") != OWNER:
        failures.append("RegOwnerName %r, seeded %r" % (doc.get("RegOwnerName"), OWNER))

    for failure in failures:
        print("FAIL", failure)
    print("%d answers compared, %d failed" % (len(items), len(failures)))
    return 1 if failures or len(items) < 40 else 0


def same(json_file, collected_file):
    report = json.load(open(json_file))
    collected = json.load(open(collected_file))
    members = list(collected)
    if members[:1] != ["Collector"] or members[1:] != list(report):
        print("collected members %s, report members %s" % (members, list(report)))
        return 1
    return 0 if collected["RegOwnerName"] == OWNER else 1


if __name__ == "__main__":
    if sys.argv[1] == "seed":
        seed(sys.argv[2], sys.argv[3])
        sys.exit(0)
    command = check if sys.argv[1] == "check" else same
    sys.exit(command(sys.argv[2], sys.argv[3]))
