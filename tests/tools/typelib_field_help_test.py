#!/usr/bin/env python3
"""The field help rewrite on the library widl makes of the component's IDL, both bitnesses.
    typelib_field_help_test.py IDL WIDL LIBS
(LIBS holds the stdole2.tlb that the IDL imports; the build takes the 64-bit Wine's for both)"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "build"))
import typelib_field_help as tool  # noqa: E402

IDL, WIDL = os.path.abspath(sys.argv[1]), sys.argv[2]
LIBS = sys.argv[3]


def widl_library(folder, arch):
    out = os.path.join(folder, f"{arch}.tlb")
    subprocess.run([WIDL, f"--{arch}", "-I", "/usr/include/wine/wine/windows", "-L", LIBS,
                    "-t", "-o", out, IDL], check=True, cwd=folder)
    with open(out, "rb") as f:
        return f.read()


def field_help(library, record):
    """(name, help string) of each field of the record."""
    index = library.find(record)
    functions, variables = library.members(index)
    records, _, names = tool.split_block(library.block(index), functions + variables)
    result = []
    for rec, name in zip(records, names):
        has_help = (struct.unpack_from("<i", rec, 0)[0] & 0xFFFF) >= tool.VAR_WITH_HELP
        help_offset = struct.unpack_from("<i", rec, 0x18)[0] if has_help else -1
        result.append((library.name(name), library.string(help_offset) if has_help else None))
    return result


class FieldHelp(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.widl = {arch: widl_library(cls.folder.name, arch) for arch in ("win32", "win64")}

    def test_fields_get_their_names_and_nothing_else_changes(self):
        for arch, data in self.widl.items():
            before = tool.Library(data)
            self.assertEqual([h for _, h in field_help(before, "windowstay")], [None] * 4, arch)
            after = tool.Library(tool.add_field_help(before, "windowstay"))
            tool.check(before, after, "windowstay")
            self.assertEqual(field_help(after, "windowstay"),
                             [("Wtop", "Wtop"), ("Wleft", "Wleft"), ("Wwidth", "Wwidth"),
                              ("Wheight", "Wheight")], arch)

    def test_rewriting_twice_keeps_one_help_string_per_field(self):
        once = tool.Library(tool.add_field_help(tool.Library(self.widl["win64"]), "windowstay"))
        twice = tool.Library(tool.add_field_help(once, "windowstay"))
        tool.check(once, twice, "windowstay")
        self.assertEqual(field_help(twice, "windowstay"), field_help(once, "windowstay"))

    def test_check_finds_a_changed_library(self):
        before = tool.Library(self.widl["win64"])
        after = bytearray(tool.add_field_help(before, "windowstay"))
        after[after.find(b"SetAppName")] ^= 0x20  # a member name in the name table
        with self.assertRaises(ValueError):
            tool.check(before, tool.Library(after), "windowstay")

    def test_bad_input_is_refused(self):
        library = tool.Library(self.widl["win64"])
        for data in (b"SLTG" + bytes(200), bytes(100)):
            with self.assertRaises(ValueError):
                tool.Library(data)
        with self.assertRaises(ValueError):
            tool.add_field_help(library, "nosuchrecord")
        with self.assertRaises(ValueError):
            tool.add_field_help(library, "_zelcalc")  # an interface, not a record
        with self.assertRaises(ValueError):
            tool.add_field_help(tool.Library(self.widl["win64"][:-40]), "windowstay")
        with self.assertRaises(ValueError):
            tool.Library(self.widl["win64"][:0x100])  # the segment directory cut off


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
