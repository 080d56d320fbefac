#!/usr/bin/env python3
"""Draws the two programs' icons (16x16 and 32x32, 32-bit with alpha) and writes them as .ico.

The icons are committed; run this only to change them: python3 scripts/make_icons.py
"""
import math
import struct
from pathlib import Path


def inside_round_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def near_segment(x, y, x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2


def muted_microphone(u, v):
    """Colour (r, g, b, a) at unit coordinates: a microphone struck through in red."""
    if near_segment(u, v, 0.18, 0.12, 0.84, 0.86, 0.11):
        return (200, 30, 30, 255)
    if inside_round_rect(u, v, 0.36, 0.08, 0.64, 0.58, 0.14):
        return (60, 64, 72, 255)
    ring = math.hypot(u - 0.5, v - 0.42)
    if 0.25 <= ring <= 0.31 and v >= 0.42:
        return (60, 64, 72, 255)
    if near_segment(u, v, 0.5, 0.72, 0.5, 0.86, 0.07) or near_segment(u, v, 0.34, 0.88, 0.66, 0.88, 0.07):
        return (60, 64, 72, 255)
    return (0, 0, 0, 0)


def key_cap(u, v):
    """A keyboard key with a small lightning mark: the hotkey."""
    if inside_round_rect(u, v, 0.08, 0.1, 0.92, 0.9, 0.16):
        if inside_round_rect(u, v, 0.16, 0.16, 0.84, 0.72, 0.1):
            bolt = (near_segment(u, v, 0.58, 0.24, 0.42, 0.46, 0.09)
                    or near_segment(u, v, 0.42, 0.46, 0.6, 0.46, 0.09)
                    or near_segment(u, v, 0.6, 0.46, 0.44, 0.66, 0.09))
            return (250, 200, 40, 255) if bolt else (70, 120, 200, 255)
        return (40, 80, 150, 255)
    return (0, 0, 0, 0)


def image(draw, size):
    """BITMAPINFOHEADER + bottom-up BGRA pixels + AND mask, as an icon image."""
    pixels = bytearray()
    mask_rows = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in range(size - 1, -1, -1):
        mask = bytearray(mask_stride)
        for col in range(size):
            # Four samples per pixel for smoother edges.
            samples = [draw((col + dx) / size, (row + dy) / size) for dx in (0.25, 0.75) for dy in (0.25, 0.75)]
            alpha = sum(s[3] for s in samples) / 4
            if alpha == 0:
                pixels += bytes(4)
                mask[col // 8] |= 0x80 >> (col % 8)
                continue
            r, g, b = (round(sum(s[i] * s[3] for s in samples) / (alpha * 4)) for i in range(3))
            pixels += bytes((b, g, r, round(alpha)))
        mask_rows += mask
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask_rows), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask_rows)


def write_icon(path, draw):
    images = [image(draw, size) for size in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    Path(path).write_bytes(out + b''.join(images))


root = Path(__file__).resolve().parent.parent
write_icon(root / 'res' / 'tacetto.ico', muted_microphone)
write_icon(root / 'res' / 'tastrel.ico', key_cap)
