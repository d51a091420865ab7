#!/usr/bin/env python3
"""Checks that DrvSweep.exe carries the DrvSweep64.exe beside it, byte for byte:

    check_carried_program.py build/release/DrvSweep.exe build/release/DrvSweep64.exe

A DrvSweep.exe built before its DrvSweep64.exe changed would hand 64-bit Windows an old
program; one without it would refuse to run there.
"""
import sys


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as carrier, open(sys.argv[2], "rb") as carried:
        outer, inner = carrier.read(), carried.read()
    if not inner.startswith(b"MZ") or outer.find(inner) < 0:
        print(f"{sys.argv[1]} does not carry {sys.argv[2]} as it is now", file=sys.stderr)
        return 1
    print(f"{sys.argv[1]} carries {sys.argv[2]} ({len(inner)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
