#!/usr/bin/env python3
"""Draws the program's small pictures (icon, tool cursors, tool buttons and
free-space signs) as PNG files in resources/. The pictures are pixel art kept
here as text, one character per pixel; run this after changing them."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'resources')

COLOURS = {
    '.': None,                      # transparent
    'k': (24, 20, 32), 'w': (248, 248, 248), 'g': (136, 136, 136), 'd': (80, 80, 88),
    'r': (216, 40, 40), 'G': (40, 168, 64), 'y': (240, 200, 64), 'p': (232, 120, 184),
    'b': (64, 112, 216), 'c': (120, 200, 232), 'o': (232, 144, 48), 'm': (152, 88, 200),
    'B': (200, 208, 224),           # button face
}


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b''
    for row in rows:
        assert len(row) == width, (path, row)
        raw += b'\0' + b''.join(
            bytes(COLOURS[ch] + (255,)) if COLOURS[ch] else b'\0\0\0\0' for ch in row)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))

    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))


def scale(rows, factor):
    return [''.join(ch * factor for ch in row) for row in rows for _ in range(factor)]


def pad(rows, width, height):
    rows = [row + '.' * (width - len(row)) for row in rows]
    return rows + ['.' * width] * (height - len(rows))


# A round pink creature with big eyes: the program's icon (16x16, shown at 32x32).
ICON = [
    '.....k....k.....',
    '......k..k......',
    '....kkkkkkkk....',
    '...kppppppppk...',
    '..kppwwppwwppk..',
    '..kppwkppwkppk..',
    '.kpppwkppwkpppk.',
    '.kppppppppppppk.',
    '.kppkppppppkppk.',
    '.kpppkkkkkkpppk.',
    '.kppppwppwppppk.',
    '..kppppppppppk..',
    '..kkppppppppkk..',
    '...k.kkkkkk.k...',
    '..kk..k..k..kk..',
    '................',
]

# 16x16 tools, drawn to point at the top-left pixel (the cursors' hot spot).
PEN = [
    'kk..............',
    'kwk.............',
    '.kwk............',
    '..kyyk..........',
    '...kyyk.........',
    '....kyyk........',
    '.....kyyk.......',
    '......kyyk......',
    '.......kyyk.....',
    '........kyyk....',
    '.........kyyk...',
    '..........kyyk..',
    '...........kyyk.',
    '............kyk.',
    '.............k..',
    '................',
]
ERASER = [
    'kkkkkk..........',
    'kwwwwwk.........',
    'kwwwwwwk........',
    'kwwwwwwwk.......',
    'kwwwwwwwrk......',
    '.kwwwwwrrrk.....',
    '..kwwwrrrrrk....',
    '...kwrrrrrrrk...',
    '....krrrrrrrrk..',
    '.....krrrrrrrrk.',
    '......krrrrrrrk.',
    '.......krrrrrk..',
    '........krrrk...',
    '.........krk....',
    '..........k.....',
    '................',
]
PICKER = [
    'k...............',
    '.kk.............',
    '.kck............',
    '..kck...........',
    '...kck..........',
    '....kck.........',
    '.....kck........',
    '......kckk......',
    '.......kgggk....',
    '.......kggdgk...',
    '........kgddgk..',
    '.........kgddk..',
    '..........kddk..',
    '...........kk...',
    '................',
    '................',
]
FILL = [
    'b...............',
    'bb..............',
    'bb....kk........',
    '.b...kddk.......',
    '.b..kdwwdk......',
    '.b.kdwwwwdk.....',
    '.bkbdwwwwwdk....',
    '.kbbbdwwwwwdk...',
    '.kbbbbdwwwdgk...',
    '..kbbbbdwdggk...',
    '...kbbbbdgggk...',
    '....kbbbggggk...',
    '.....kbgggk.....',
    '......kggk......',
    '.......kk.......',
    '................',
]
LINE = [
    'kk..............',
    'kk..............',
    '..k.............',
    '...k............',
    '....k...........',
    '.....k..........',
    '......k.........',
    '.......k........',
    '........k.......',
    '.........k......',
    '..........k.....',
    '...........k....',
    '............k...',
    '.............kk.',
    '.............kk.',
    '................',
]
RECTANGLE = [
    'kkkkkkkkkkkkkk..',
    'kk..........k...',
    'k.k.........k...',
    'k...........k...',
    'k...........k...',
    'k...........k...',
    'k...........k...',
    'k...........k...',
    'k...........k...',
    'k...........k...',
    'kkkkkkkkkkkkk...',
    '................',
    '................',
    '................',
    '................',
    '................',
]
SELECT = [
    'kk.kk.kk.kk.kk..',
    'k...............',
    '.............k..',
    'k...............',
    'k............k..',
    '.............k..',
    'k...............',
    'k............k..',
    '.............k..',
    'k...............',
    'k............k..',
    '................',
    '.kk.kk.kk.kk.k..',
    '................',
    '................',
    '................',
]

# Free space: a red prohibition sign when the graphics do not fit, else a check mark.
NO_ROOM = [
    '.....rrrrrr.....',
    '...rrrrrrrrrr...',
    '..rrrr....rrrr..',
    '.rrrrr......rrr.',
    '.rr.rrr......rr.',
    'rrr..rrr.....rrr',
    'rr....rrr.....rr',
    'rr.....rrr....rr',
    'rr......rrr...rr',
    'rr.......rrr..rr',
    'rrr.......rrr.rr',
    '.rr........rrrr.',
    '.rrr........rrr.',
    '..rrrr....rrrr..',
    '...rrrrrrrrrr...',
    '.....rrrrrr.....',
]
ROOM = [
    '................',
    '..............GG',
    '.............GGG',
    '............GGG.',
    '...........GGG..',
    '..........GGG...',
    '.........GGG....',
    'GG......GGG.....',
    'GGG....GGG......',
    '.GGG..GGG.......',
    '..GGGGGG........',
    '...GGGG.........',
    '....GG..........',
    '................',
    '................',
    '................',
]


BUTTON_SIZE = 42


def button(tool, pressed):
    """A 42x42 tool button: the tool at twice its size on a face with a
    two-pixel bevel, raised (or, pressed, sunk and the tool one pixel lower
    and to the right)."""
    size = BUTTON_SIZE
    if pressed:
        rings = ((0, 'k', 'w'), (1, 'd', 'B'))   # (depth, top and left, bottom and right)
    else:
        rings = ((0, 'w', 'k'), (1, 'B', 'd'))
    rows = [['B'] * size for _ in range(size)]
    for depth, near, far in rings:
        last = size - 1 - depth
        for i in range(depth, last + 1):
            rows[depth][i] = rows[i][depth] = near
        for i in range(depth, last + 1):
            rows[last][i] = rows[i][last] = far
    offset = 7 if pressed else 6
    for y, row in enumerate(scale(tool, 2)):
        for x, ch in enumerate(row):
            if ch != '.':
                rows[offset + y][offset + x] = ch
    return [''.join(row) for row in rows]


def main():
    os.makedirs(OUT, exist_ok=True)
    write_png(os.path.join(OUT, 'morvik.png'), scale(ICON, 2))
    for name, tool in (('pen', PEN), ('eraser', ERASER), ('picker', PICKER),
                       ('fill', FILL), ('line', LINE), ('rectangle', RECTANGLE),
                       ('select', SELECT)):
        write_png(os.path.join(OUT, 'cursor-%s.png' % name), pad(tool, 32, 32))
        write_png(os.path.join(OUT, 'tool-%s.png' % name), button(tool, False))
        write_png(os.path.join(OUT, 'tool-%s-pressed.png' % name), button(tool, True))
    write_png(os.path.join(OUT, 'space-none.png'), NO_ROOM)
    write_png(os.path.join(OUT, 'space-free.png'), ROOM)


if __name__ == '__main__':
    main()
