#!/usr/bin/env python3
"""Checks one JSON report of current_machine.sh against the prefix and the host.

  current_machine.py REPORT nt40 BITS PRODUCTNAME CURRENTVERSION CSDVERSION
  current_machine.py REPORT win11 BITS MAKER MODEL

Memory: the host's MemTotal, saturated at 2147483647; no total negative or -1.
Processor: the name the prefix's registry holds for a processor newer than the
Pentium III (every one a 64-bit process sees), else the processor table's name,
from the host's family and model as Wine's GetSystemInfo passes them on.
"""
import json
import sys

LONG_MAX = 2147483647


def host_cpu():
    info = {}
    with open("/proc/cpuinfo") as f:
        for line in f:
            key, _, value = line.partition(":")
            info.setdefault(key.strip(), value.strip())
    return int(info["cpu family"]), int(info["model"])


def table_name(family, model):
    if family != 6:
        return "Pentium"
    return "Pentium III" if model == 7 else "Pentium II"


def newer(bits, family, model):
    if bits == 64 or family > 6:
        return True
    return family == 6 and (model == 9 or model > 11)


def host_memory():
    with open("/proc/meminfo") as f:
        for line in f:
            if line.startswith("MemTotal:"):
                return int(line.split()[1]) * 1024
    raise SystemExit("no MemTotal")


def main():
    report_path, mode, bits = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(report_path, encoding="ascii") as f:
        report = json.load(f)
    failures = []

    def expect(what, got, want):
        if got != want:
            failures.append(f"{what}: {got!r}, expected {want!r}")

    phys = report["MemoryTotalPhys"]
    want_phys = min(host_memory(), LONG_MAX)
    # Wine's total is the host's MemTotal; allow for what the kernel reserves.
    if not (isinstance(phys, int) and abs(phys - want_phys) <= want_phys // 50):
        failures.append(f"MemoryTotalPhys: {phys!r}, expected about {want_phys}")
    for member in ("MemoryTotalPageFile", "MemoryTotalVirtual"):
        value = report[member]
        if not (isinstance(value, int) and 0 < value <= LONG_MAX):
            failures.append(f"{member}: {value!r}, expected 1 to {LONG_MAX}")
    if report["MemoryTotalPageFile"] < min(phys, LONG_MAX):
        failures.append("MemoryTotalPageFile below MemoryTotalPhys")

    family, model = host_cpu()
    processor = report["Processors"][0]["ProcessorId"]
    if mode == "nt40":
        product, version, csd = sys.argv[4:7]
        expect("OSName", report["OSName"], product)
        expect("OSVersion", report["OSVersion"], version + (f" ({csd})" if csd else ""))
        expect("MfgName", report["MfgName"], "Generic")
        expect("MfgComputerModel", report["MfgComputerModel"], "AT Compatible")
        # No processor names in an NT 4.0 registry: the table's name, or the
        # Identifier a 64-bit process reads.
        if bits == 32:
            expect("ProcessorId", processor, table_name(family, model))
    else:
        maker, model_name = sys.argv[4:6]
        expect("OSName", report["OSName"], "Windows 11 Pro")
        expect("OSVersion", report["OSVersion"], "10.0")
        expect("MfgName", report["MfgName"], maker)
        expect("MfgComputerModel", report["MfgComputerModel"], model_name)
        want = ("Orvane Zeko CPU @ 3.00GHz" if newer(bits, family, model)
                else table_name(family, model))
        expect("ProcessorId", processor, want)

    for failure in failures:
        print("FAIL " + failure)
    print(f"{report_path}: {'FAILED' if failures else 'as expected'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
