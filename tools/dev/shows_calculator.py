#!/usr/bin/env python3
"""Whether a screenshot shows the calculator: more than 1000 pixels of its skin's drag colour.
    shows_calculator.py IMAGE      (exit 0 when it does)"""
import sys

from PIL import Image

DRAG_COLOUR = (0x50, 0xC0, 0x50)

image = Image.open(sys.argv[1]).convert("RGB")
skin = sum(1 for p in image.getdata() if p == DRAG_COLOUR)
print(f"{sys.argv[1]}: {image.size[0]}x{image.size[1]}, {skin} pixels of the drag colour")
sys.exit(0 if skin > 1000 else 1)
