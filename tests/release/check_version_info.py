#!/usr/bin/env python3
"""Checks the version information of the shipped programs against res/version.h:

    check_version_info.py res/version.h build/release/DrvSweep.exe build/release/DrvSweep64.exe

Explorer, inventory and allow-listing tools read the version resource, not the program: each
program must name the company, the product, its description and its own file name, and carry
the one version number of the sources, as numbers and as text.
"""
import os
import re
import struct
import sys

RT_VERSION = 16


def header_facts(path):
    with open(path, encoding="utf-8") as header:
        text = header.read()
    number = {part: int(re.search(rf"#define DRVSWEEP_VERSION_{part} (\d+)", text).group(1))
              for part in ("MAJOR", "MINOR", "PATCH")}
    name = {part: re.search(rf'#define DRVSWEEP_{part}_NAME "([^"]*)"', text).group(1)
            for part in ("COMPANY", "PRODUCT")}
    version = (number["MAJOR"], number["MINOR"], number["PATCH"], 0)
    return version, name["COMPANY"], name["PRODUCT"]


class Image:
    """The resource section of a PE file, read through its section table."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.resources = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for index in range(sections):
            size, address, _, raw = struct.unpack_from("<IIII", data, table + index * 40 + 8)
            self.sections.append((address, size, raw))

    def offset(self, rva):
        for address, size, raw in self.sections:
            if address <= rva < address + size:
                return rva - address + raw
        raise ValueError(f"address {rva:#x} is in no section")

    def entries(self, directory):
        """(id, offset, is_directory) of each entry of a resource directory."""
        base = self.offset(self.resources)
        named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
        for index in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, base + directory + 16 + index * 8)
            yield name, target & 0x7FFFFFFF, bool(target & 0x80000000)

    def resource(self, type_id):
        """The bytes of the first resource of a type (first name, first language)."""
        base = self.offset(self.resources)
        level = next(o for name, o, _ in self.entries(0) if name == type_id)
        while True:
            _, level, is_directory = next(self.entries(level))
            if not is_directory:
                break
        rva, size = struct.unpack_from("<II", self.data, base + level)
        return self.data[self.offset(rva):self.offset(rva) + size]


def read_node(block, start):
    """One node of the version tree: (key, value bytes, children, end offset)."""
    length, value_length, kind = struct.unpack_from("<HHH", block, start)
    end = start + length
    key_end = start + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[start + 6:key_end].decode("utf-16-le")
    value_start = (key_end + 2 + 3) & ~3
    # Texts count their length in characters, binary values in bytes.
    value_size = value_length * 2 if kind == 1 else value_length
    value = block[value_start:value_start + value_size]
    children = []
    child = (value_start + value_size + 3) & ~3
    while child < end:
        node = read_node(block, child)
        children.append(node)
        child = (node[3] + 3) & ~3
    return key, value, children, end


def version_info(path):
    with open(path, "rb") as program:
        block = Image(program.read()).resource(RT_VERSION)
    key, fixed, children, _ = read_node(block, 0)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if key != "VS_VERSION_INFO" or signature != 0xFEEF04BD:
        raise ValueError("not a version resource")
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    texts = {}
    for name, _, tables, _ in children:
        if name == "StringFileInfo":
            for _, _, strings, _ in tables:
                for text_key, value, _, _ in strings:
                    texts[text_key] = value.decode("utf-16-le").rstrip("\0")
    return split(file_ms, file_ls), split(product_ms, product_ls), texts


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    version, company, product = header_facts(sys.argv[1])
    version_text = ".".join(str(part) for part in version[:3])
    faults = []
    descriptions = set()
    for path in sys.argv[2:]:
        file_version, product_version, texts = version_info(path)
        name = os.path.basename(path)
        expected = {"CompanyName": company, "ProductName": product,
                    "FileVersion": version_text, "ProductVersion": version_text,
                    "OriginalFilename": name, "InternalName": os.path.splitext(name)[0]}
        for key, value in expected.items():
            if texts.get(key) != value:
                faults.append(f"{name}: {key} is {texts.get(key)!r}, not {value!r}")
        for key, numbers in (("file", file_version), ("product", product_version)):
            if numbers != version:
                faults.append(f"{name}: the {key} version number is {numbers}, not {version}")
        if not texts.get("FileDescription"):
            faults.append(f"{name}: no FileDescription")
        descriptions.add(texts.get("FileDescription"))
        print(f"{name}: {texts}")
    if len(descriptions) > 1:
        faults.append(f"the programs describe themselves differently: {sorted(descriptions)}")
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
