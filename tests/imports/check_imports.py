#!/usr/bin/env python3
"""Checks that a shipped DrvSweep program loads on every Windows it is for.

    check_imports.py --list windows_imports.txt --target x86|x64 DUMP_OR_PROGRAM [--objdump TOOL]

It reads the program's import table and header fields from `objdump -p` (run on the program
with --objdump, or read from a saved dump) and fails, naming each one, on an import that the
list does not hold, an import that the list dates after the target's oldest Windows, and header
OS or subsystem versions other than the target's. The list is the project's own record of when
each Windows first exported each function (see its header).
"""
import argparse
import re
import subprocess
import sys

# The 9x family in release order, then the NT family by version; "-" is a family that never
# exported the function.
NINE_X = ["95", "98", "98se", "me"]
NT = ["3.1", "3.5", "3.51", "4.0", "5.0", "5.1", "5.2", "6.0", "6.1", "6.2", "6.3", "10.0"]

# The oldest Windows of each family that a program must load on, and its header versions.
# DrvSweep.exe: Windows 98 SE and Windows 2000 (NT 5.0); header 4.0 so that the 9x loader and
# NT 4-era tools take it. DrvSweep64.exe: Windows XP x64 / Server 2003 x64 (NT 5.2).
TARGETS = {
    "x86": {"9x": "98se", "nt": "5.0", "os": (4, 0), "subsystem": (4, 0)},
    "x64": {"9x": None, "nt": "5.2", "os": (5, 2), "subsystem": (5, 2)},
}

HEADER_FIELDS = {
    "MajorOSystemVersion": ("os", 0),
    "MinorOSystemVersion": ("os", 1),
    "MajorSubsystemVersion": ("subsystem", 0),
    "MinorSubsystemVersion": ("subsystem", 1),
}


def read_list(path):
    """{"DLL!Function" (DLL lower-cased): (first 9x, first NT)} from the list file."""
    entries = {}
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split()
            if len(fields) < 4:
                raise SystemExit(f"{path}:{number}: want DLL!Function 9x NT source...")
            name, nine_x, nt = fields[0], fields[1], fields[2]
            if "!" not in name or (nine_x != "-" and nine_x not in NINE_X) or (
                    nt != "-" and nt not in NT):
                raise SystemExit(f"{path}:{number}: cannot read '{line}'")
            dll, function = name.split("!", 1)
            entries[f"{dll.lower()}!{function}"] = (nine_x, nt)
    return entries


def read_dump(text):
    """The imports ("dll!Function", DLL lower-cased) and the header fields of an objdump -p."""
    imports = []
    header = {}
    dll = None
    for line in text.splitlines():
        field = re.match(r"^(\w+)\s+([0-9A-Fa-f]+)\b", line)
        if field and field.group(1) in HEADER_FIELDS:
            header[field.group(1)] = int(field.group(2), 16 if field.group(1) == "Subsystem" else 10)
            continue
        named = re.match(r"^\s*DLL Name:\s*(\S+)", line)
        if named:
            dll = named.group(1).lower()
            continue
        entry = re.match(r"^\t[0-9a-fA-F]+\t\s*(\d+)\s+(\S+)\s*$", line)
        if dll and entry:
            imports.append(f"{dll}!{entry.group(2)}")
        elif dll and re.match(r"^\s*$", line):
            continue
        elif dll and line.startswith("\t") and "<none>" in line:
            imports.append(f"{dll}!#ordinal:{line.split()[-1]}")
    return imports, header


def first_export(family, version):
    if version == "-":
        return f"never exported by the {family} family"
    return f"first exported by {family} {version}"


def later_than(version, floor, order):
    return version == "-" or order.index(version) > order.index(floor)


def check(imports, header, entries, target):
    """The problems found, one line each; empty when the program fits its target."""
    wanted = TARGETS[target]
    problems = []
    for name, (place, index) in HEADER_FIELDS.items():
        expected = wanted[place][index]
        if header.get(name) != expected:
            problems.append(f"header {name} is {header.get(name)}, must be {expected}")
    if not imports:
        problems.append("no imports read: not an objdump -p of a Windows program")
    for name in sorted(set(imports)):
        if name not in entries:
            problems.append(f"{name}: not in the list of known imports")
            continue
        nine_x, nt = entries[name]
        if wanted["9x"] and later_than(nine_x, wanted["9x"], NINE_X):
            problems.append(f"{name}: {first_export('9x', nine_x)}, the target is {wanted['9x']}")
        if later_than(nt, wanted["nt"], NT):
            problems.append(f"{name}: {first_export('NT', nt)}, the target is NT {wanted['nt']}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", required=True)
    parser.add_argument("--target", required=True, choices=sorted(TARGETS))
    parser.add_argument("--objdump", help="run this objdump -p on the program")
    parser.add_argument("input", help="the program (with --objdump) or a saved objdump -p")
    args = parser.parse_args()
    if args.objdump:
        text = subprocess.run([args.objdump, "-p", args.input], check=True, capture_output=True,
                              text=True).stdout
    else:
        with open(args.input, encoding="utf-8") as dump:
            text = dump.read()
    imports, header = read_dump(text)
    problems = check(imports, header, read_list(args.list), args.target)
    for problem in problems:
        print(f"{args.input}: {problem}", file=sys.stderr)
    if not problems:
        print(f"{args.input}: {len(set(imports))} imports, all there on every {args.target} target")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
