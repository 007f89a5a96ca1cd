"""Writes the seed of a Windows 10 device layout of about the size of a real
machine's: 200 device instances in 50 services' "Enum" lists, each instance
with "ClassGUID" and an indirect "DeviceDesc" only (no "Class", no
"StatusFlags"), and the class keys their GUIDs name. The services and
instances sort after what a fresh prefix holds.
Usage: later_layout.py > FILE; later_layout.py --classes prints the classes."""
import sys

# (class, GUID, instances): classes and shares as on a real Windows 10 machine.
CLASSES = [
    ("System", "{4d36e97d-e325-11ce-bfc1-08002be10318}", 76),
    ("HIDClass", "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}", 16),
    ("USB", "{36fc9e60-c465-11cf-8056-444553540000}", 16),
    ("SoftwareDevice", "{62f9c741-b25a-46ce-b54c-9bccce08b6f2}", 16),
    ("Volume", "{71a27cdd-812a-11d0-bec7-08002be2092f}", 12),
    ("Processor", "{50127dc3-0f36-415e-a6cc-4cb3be910b65}", 8),
    ("Keyboard", "{4d36e96b-e325-11ce-bfc1-08002be10318}", 8),
    ("Mouse", "{4d36e96f-e325-11ce-bfc1-08002be10318}", 8),
    ("MEDIA", "{4d36e96c-e325-11ce-bfc1-08002be10318}", 8),
    ("DiskDrive", "{4d36e967-e325-11ce-bfc1-08002be10318}", 8),
    ("HDC", "{4d36e96a-e325-11ce-bfc1-08002be10318}", 8),
    ("SCSIAdapter", "{4d36e97b-e325-11ce-bfc1-08002be10318}", 4),
    ("Net", "{4d36e972-e325-11ce-bfc1-08002be10318}", 4),
    ("Ports", "{4d36e978-e325-11ce-bfc1-08002be10318}", 4),
    ("Monitor", "{4d36e96e-e325-11ce-bfc1-08002be10318}", 4),
]
SERVICES = 50


def main():
    if sys.argv[1:] == ["--classes"]:
        print(" ".join(cls for cls, _, _ in CLASSES))
        return
    instances = [(cls, guid, i) for cls, guid, count in CLASSES for i in range(count)]
    lists = [[] for _ in range(SERVICES)]
    for number, item in enumerate(instances):
        lists[number % SERVICES].append(item)
    lines = []
    for cls, guid, _ in CLASSES:
        lines += [f"[HKLM\\System\\CurrentControlSet\\Control\\Class\\{guid}]", f'"Class"="{cls}"']
    for service, items in enumerate(lists):
        enum = f"[HKLM\\System\\CurrentControlSet\\Services\\zlater{service:02d}\\Enum]"
        lines += [enum, f'"Count"=dword:{len(items):08x}']
        for i, (cls, guid, n) in enumerate(items):
            lines.append(f'"{i}"="ZLATER\\\\{cls}\\\\{n:04d}"')
        for cls, guid, n in items:
            lines += [f"[HKLM\\System\\CurrentControlSet\\Enum\\ZLATER\\{cls}\\{n:04d}]",
                      f'"ClassGUID"="{guid}"',
                      f'"DeviceDesc"="@oem{service}.inf,%dev{n}%;Orvane {cls} {n}"',
                      f'"Service"="zlater{service:02d}"']
    print("\n".join(lines))


if __name__ == "__main__":
    main()
