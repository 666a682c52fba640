#!/usr/bin/env python3
"""The README's layout section against the tree: every folder it names exists, and every
top-level folder and every folder of window/, tools/ and tests/wine/ is named (the last in the
tests/wine/ line).   readme_layout_test.py SOURCE_DIR"""
import os
import re
import sys
import unittest

ROOT = sys.argv[1]


def layout_section():
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        text = f.read()
    return text[text.index("\n## Layout\n"):]


def named_folders():
    return set(re.findall(r"^- `([a-z0-9_/]+)/`", layout_section(), re.MULTILINE))


def folders(under=""):
    base = os.path.join(ROOT, under)
    return {os.path.join(under, d) if under else d for d in os.listdir(base)
            if os.path.isdir(os.path.join(base, d)) and not d.startswith(".") and d != "build"}


class Layout(unittest.TestCase):
    def test_every_named_folder_exists(self):
        for folder in named_folders():
            self.assertTrue(os.path.isdir(os.path.join(ROOT, folder)), folder)

    def test_every_folder_is_named(self):
        named = named_folders()
        for folder in folders() | folders("window") | folders("tools"):
            self.assertIn(folder, named)
        line = re.search(r"^- `tests/wine/`.*?(?=^- )", layout_section(), re.MULTILINE | re.DOTALL)
        for folder in folders("tests/wine"):
            self.assertIn(f"`{os.path.basename(folder)}/`", line.group(0), folder)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
