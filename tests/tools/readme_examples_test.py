#!/usr/bin/env python3
"""The README's code blocks are the examples' code: each block that follows a line
"<!-- example: PATH -->" equals the lines between "[readme]" and "[/readme]" in PATH, and every
example with such lines is shown.   readme_examples_test.py REPOSITORY"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
readme = (root / "README.md").read_text(encoding="utf-8")


def region(path):
    lines = (root / path).read_text(encoding="utf-8").split("\n")
    starts = [i for i, line in enumerate(lines) if line.strip().endswith("[readme]")]
    ends = [i for i, line in enumerate(lines) if line.strip().endswith("[/readme]")]
    if len(starts) != 1 or len(ends) != 1 or ends[0] < starts[0]:
        raise SystemExit(f"{path}: expected one [readme] ... [/readme] region")
    return "\n".join(lines[starts[0] + 1:ends[0]])


blocks = re.findall(r"<!-- example: (\S+) -->\n```\w*\n(.*?)\n```", readme, re.S)
failures = []
for path, block in blocks:
    if block != region(path):
        failures.append(f"README's block for {path} differs from the file's [readme] region")
shown = {path for path, _ in blocks}
for example in sorted((root / "examples").rglob("*")):
    if example.is_file() and "[readme]" in example.read_text(encoding="utf-8", errors="ignore"):
        relative = example.relative_to(root).as_posix()
        if relative not in shown:
            failures.append(f"{relative} has a [readme] region the README does not show")
if not blocks:
    failures.append("the README shows no example")
for failure in failures:
    print("FAILED:", failure)
print(f"{len(blocks)} README blocks compared")
sys.exit(1 if failures else 0)
