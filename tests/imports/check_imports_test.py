#!/usr/bin/env python3
"""The import check must fail where a program would not load: it is fed made-up objdump -p
dumps of the shape the MinGW objdump prints."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
LIST = os.path.join(HERE, "windows_imports.txt")
CHECKER = os.path.join(HERE, "check_imports.py")


def dump(imports, os_version=(4, 0), subsystem=(4, 0)):
    """An objdump -p text with the header fields and {dll: [functions]}."""
    lines = [
        "DrvSweep.exe:     file format pei-i386",
        "",
        f"MajorOSystemVersion\t{os_version[0]}",
        f"MinorOSystemVersion\t{os_version[1]}",
        "MajorImageVersion\t1",
        f"MajorSubsystemVersion\t{subsystem[0]}",
        f"MinorSubsystemVersion\t{subsystem[1]}",
        "Subsystem\t\t00000002\t(Windows GUI)",
        "",
        "The Import Tables (interpreted .idata section contents)",
    ]
    for dll, functions in imports.items():
        lines += [f"\tDLL Name: {dll}", "\tvma:  Hint/Ord Member-Name Bound-To"]
        lines += [f"\t382a8\t  {hint}  {name}" for hint, name in enumerate(functions, 100)]
        lines.append("")
    return "\n".join(lines) + "\n"


GOOD = {
    "KERNEL32.dll": ["CloseHandle", "GetVersion", "MultiByteToWideChar"],
    "USER32.dll": ["DialogBoxParamW", "SetTimer"],
    "msvcrt.dll": ["malloc", "free"],
}


class ImportCheck(unittest.TestCase):
    def run_checker(self, text, target="x86"):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as saved:
            saved.write(text)
        try:
            done = subprocess.run([sys.executable, CHECKER, "--list", LIST, "--target", target,
                                   saved.name], capture_output=True, text=True)
        finally:
            os.unlink(saved.name)
        return done.returncode, done.stderr

    def expect_failure(self, text, naming, target="x86"):
        code, errors = self.run_checker(text, target)
        self.assertEqual(code, 1, errors)
        self.assertIn(naming, errors)

    def test_a_program_of_listed_old_imports_passes(self):
        self.assertEqual(self.run_checker(dump(GOOD)), (0, ""))
        self.assertEqual(self.run_checker(dump(GOOD, (5, 2), (5, 2)), "x64"), (0, ""))

    def test_an_import_newer_than_the_target_fails_by_name(self):
        newer = dict(GOOD, **{"KERNEL32.dll": ["CloseHandle", "GetTickCount64"]})
        self.expect_failure(dump(newer), "kernel32.dll!GetTickCount64: never exported by the 9x family")
        self.expect_failure(dump(newer, (5, 2), (5, 2)),
                            "kernel32.dll!GetTickCount64: first exported by NT 6.0", "x64")

    def test_an_nt_only_import_fails_the_x86_program_alone(self):
        nt_only = dict(GOOD, **{"KERNEL32.dll": ["TryEnterCriticalSection"]})
        self.expect_failure(dump(nt_only), "kernel32.dll!TryEnterCriticalSection")
        self.assertEqual(self.run_checker(dump(nt_only, (5, 2), (5, 2)), "x64")[0], 0)

    def test_a_device_function_imported_instead_of_bound_fails(self):
        setup = dict(GOOD, **{"SETUPAPI.dll": ["SetupOpenInfFileA", "SetupDiGetClassDevsA"]})
        self.expect_failure(dump(setup), "setupapi.dll!SetupDiGetClassDevsA")

    def test_an_unlisted_import_fails_by_name(self):
        unknown = dict(GOOD, **{"ucrtbase.dll": ["_initterm"]})
        self.expect_failure(dump(unknown), "ucrtbase.dll!_initterm: not in the list")

    def test_header_versions_must_be_the_targets(self):
        self.expect_failure(dump(GOOD, (6, 0), (4, 0)), "MajorOSystemVersion is 6, must be 4")
        self.expect_failure(dump(GOOD, (4, 0), (5, 1)), "MajorSubsystemVersion is 5, must be 4")
        self.expect_failure(dump(GOOD, (4, 0), (4, 0)), "MajorOSystemVersion is 4, must be 5",
                            "x64")

    def test_a_text_without_imports_is_no_pass(self):
        self.expect_failure("not a dump\n", "no imports read")


if __name__ == "__main__":
    unittest.main()
