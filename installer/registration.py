#!/usr/bin/env python3
"""Writes the package's registry entries as two WiX includes: the keys and
values regsvr32 writes for a DeZIVero.DLL, read from the registration script
(resources/DeZIVero.rgs) and the type library's IDL, so that the package
registers what the DLL registers itself and nothing is typed twice.

  registration_view.wxi    the keys each registry view has its own of (CLSID,
                           Interface, TypeLib): every DLL's component writes them
  registration_shared.wxi  the keys both views share (the ProgIDs): the 64-bit
                           DLL's component alone writes them

The script's keys come first, then what RegisterTypeLib writes for the
library and for each automation interface in it. A key unregistration would
remove (not NoRemove), and the library's and interfaces' own keys, get a "*"
row where their removable subtree starts: created on install, removed with
everything under it on uninstall. A key with neither value nor subkey gets a
"+" row so that it exists at all.

The includes sit inside a component; before them the WiX source defines
  Module             the file id of the component's DLL (the script's %MODULE%)
  Module32, Module64 the file ids of the 32-bit and 64-bit DLLs (type library paths)
  HelpDir            the directory id written as the type library's HELPDIR
Usage: registration.py SCRIPT.rgs LIBRARY.idl OUTPUT_FOLDER
"""
import os
import re
import sys
from xml.sax.saxutils import quoteattr

# Keys below these roots of HKCR exist once in each registry view.
PER_VIEW_ROOTS = ("CLSID", "INTERFACE", "TYPELIB")
# The proxy of every dual or oleautomation interface: the system's own.
AUTOMATION_PROXY = "{00020424-0000-0000-C000-000000000046}"
LIBFLAG_FHASDISKIMAGE = 8
LIBRARY_FLAGS = {"restricted": 1, "control": 2, "hidden": 4}


class Key:
    def __init__(self, path, removable, top=False, default=None):
        self.path = path
        self.removable = removable
        self.top = top  # where a removable subtree starts
        self.default = default
        self.values = []
        self.subkeys = 0


def fail(what):
    sys.exit("registration.py: " + what)


def literal(text):
    """The text as a formatted MSI field inside a WiX attribute reads it."""
    return re.sub(r"[\[\]]", lambda m: "[\\" + m.group(0) + "]", text).replace("$", "$$")


# ---- The registration script ------------------------------------------------------------
def tokens(text):
    for m in re.finditer(r"'((?:[^']|'')*)'|([^\s']+)", text):
        yield m.group(1).replace("''", "'") if m.group(1) is not None else m.group(2)


def expand(text):
    def marker(m):
        if m.group(1) == "":
            return "%"
        if m.group(1).upper() != "MODULE":
            fail("no value for %" + m.group(1) + "%")
        return "[#$(var.Module)]"
    return re.sub(r"%([^%]*)%", marker, literal(text))


def string_value(it):
    kind = next(it)
    if kind.upper() != "S":
        fail("value type " + kind + " has no package form here")
    return expand(next(it))


def read_block(it, parent, keys):
    """Reads the entries of a block up to its '}' into keys."""
    no_remove = False
    token = next(it)
    while token != "}":
        word = token.upper()
        if word == "VAL":
            name = next(it)
            if next(it) != "=":
                fail("'=' expected after Val " + name)
            parent.values.append((literal(name), string_value(it)))
            token = next(it)
            continue
        if word == "DELETE":
            fail("Delete entries have no package form here")
        if word in ("NOREMOVE", "FORCEREMOVE"):
            no_remove |= word == "NOREMOVE"  # and for every later key of the block
            token = next(it)
        if "\\" in token:
            fail("key name with a backslash: " + token)
        removable = not no_remove
        key = Key(parent.path + "\\" + token if parent.path else token, removable,
                  top=removable and not parent.removable)
        keys.append(key)
        parent.subkeys += 1
        token = next(it)
        if token == "=":
            key.default = string_value(it)
            token = next(it)
        if token == "{":
            read_block(it, key, keys)
            token = next(it)


def script_keys(text):
    keys = []
    it = tokens(text)
    for root in it:
        if root.upper() not in ("HKCR", "HKEY_CLASSES_ROOT"):
            fail("root " + root + " has no package form here")
        if next(it) != "{":
            fail("'{' expected after " + root)
        read_block(it, Key("", False), keys)
    return keys


# ---- The type library, as RegisterTypeLib writes it -------------------------------------
def attributes(text):
    return {m.group(1): m.group(2) or "" for m in
            re.finditer(r"(\w+)\s*(?:\(\s*\"?([^)\"]*)\"?\s*\))?", text)}


def library_keys(idl):
    automation = {}
    bases = {}
    library = None
    for m in re.finditer(r"\[([^\]]*)\]\s*(interface|dispinterface|library)\s+(\w+)(?:\s*:\s*(\w+))?",
                         idl):
        attrs, kind, name = attributes(m.group(1)), m.group(2), m.group(3)
        if kind == "library":
            library = (attrs, idl[m.end():])
        elif kind == "dispinterface":
            fail("dispinterface " + name + " has no package form here")
        elif "dual" in attrs or "oleautomation" in attrs:
            automation[name] = "{" + attrs["uuid"].upper() + "}"
            bases[name] = m.group(4)
    if library is None:
        fail("no library in the IDL")
    attrs, body = library
    libid = "{" + attrs["uuid"].upper() + "}"
    version = attrs.get("version", "0.0")
    flags = LIBFLAG_FHASDISKIMAGE + sum(v for k, v in LIBRARY_FLAGS.items() if k in attrs)
    lcid = str(int(attrs.get("lcid", "0"), 0))
    at = "TypeLib\\" + libid + "\\" + version
    keys = [Key("TypeLib\\" + libid, True, top=True),
            Key(at, True, default=literal(attrs.get("helpstring", ""))),
            Key(at + "\\" + lcid + "\\win32", True, default="[#$(var.Module32)]"),
            Key(at + "\\" + lcid + "\\win64", True, default="[#$(var.Module64)]"),
            Key(at + "\\FLAGS", True, default=str(flags)),
            Key(at + "\\HELPDIR", True, default="[$(var.HelpDir)]")]
    # The library holds the interfaces it names and every interface they derive from.
    used = set()
    for name in re.findall(r"interface\s+(\w+)\s*;", body):
        while name and name not in used:
            used.add(name)
            name = bases.get(name)
    for name in sorted(n for n in automation if n in used):
        at = "Interface\\" + automation[name]
        keys += [Key(at, True, top=True, default=name),
                 Key(at + "\\ProxyStubClsid", True, default=AUTOMATION_PROXY),
                 Key(at + "\\ProxyStubClsid32", True, default=AUTOMATION_PROXY),
                 Key(at + "\\TypeLib", True, default=libid)]
        keys[-1].values.append(("Version", version))
    return keys


# ---- The includes -----------------------------------------------------------------------
def rows(key):
    if key.top:
        yield "*", ""
    elif key.default is None and not key.values and not key.subkeys:
        yield "+", ""
    if key.default is not None:
        yield None, key.default
    yield from key.values


def write_include(path, keys):
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             "<!-- Made by installer/registration.py from the registration script and the IDL. -->",
             '<Include xmlns="http://schemas.microsoft.com/wix/2006/wi">']
    for key in keys:
        for name, value in rows(key):
            named = "" if name is None else " Name=" + quoteattr(name)
            lines.append('  <RegistryValue Root="HKCR" Key=%s%s Type="string" Value=%s/>'
                         % (quoteattr(literal(key.path)), named, quoteattr(value)))
    lines.append("</Include>")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def main():
    if len(sys.argv) != 4:
        fail("usage: registration.py SCRIPT.rgs LIBRARY.idl OUTPUT_FOLDER")
    with open(sys.argv[1], encoding="latin-1") as f:
        keys = script_keys(f.read())
    with open(sys.argv[2], encoding="latin-1") as f:
        keys += library_keys(f.read())
    per_view = [k for k in keys if k.path.split("\\")[0].upper() in PER_VIEW_ROOTS]
    shared = [k for k in keys if k not in per_view]
    write_include(os.path.join(sys.argv[3], "registration_view.wxi"), per_view)
    write_include(os.path.join(sys.argv[3], "registration_shared.wxi"), shared)


if __name__ == "__main__":
    main()
