# SPDX-License-Identifier: MIT
"""Cuts one of the window's fonts to the characters the window draws in it
and writes it renamed, with its licence text beside it: as WOFF2 for the
page when OUT ends in .woff2, else as it came (TrueType or OpenType) for
the Windows program.

Usage: cut_font.py FONT OUT NAME FACE LICENCE_IN LICENCE_OUT EXTRA SOURCE...

FACE is the free face the window draws with (src/platform/font_faces.h).
The characters are those of every caption that SOURCE (the window's and
the game's C++ files, and font_faces.h) gives a control drawn in FACE, the
ten digits when one of them is a counter, and EXTRA. Run it with the Python
that runs Debian's pyftsubset: it is pyftsubset's own code
(fontTools.subset), called with the options below.
"""
import os
import re
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

STRING = r'"((?:[^"\\]|\\.)*)"'
# A control made with its caption and font: Pause(f, "Pause", {rect},
# "Pause", {"Garamond", ...}), or a look: {.font = {"Lucida ..."}, ...}, or
# a function that returns one: counterLook().
CONTROL = re.compile(r'(\w+)\(f,\s*"\w+",\s*\{[^}]*\},\s*' + STRING +
                     r',\s*(?:\{\s*(?:\.font\s*=\s*\{\s*)?"([^"]+)"|(\w+)\(\))')
LOOK = re.compile(r'(\w+)\(\)\s*\{\s*return\s*\{\s*\.font\s*=\s*\{\s*"([^"]+)"')
# A caption set later: as it is, or a counter's prefix and its digits.
SET = re.compile(r'(\w+)\(\)\.setCaption\(\s*(Caption\(\s*)?' + STRING)
SUBSTITUTE = re.compile(r'\{"([^"]+)",\s*"([^"]+)"\}')


def characters(face, sources):
    text = ''.join(open(source, encoding='utf-8').read() for source in sources)
    free = dict(SUBSTITUTE.findall(text))
    looks = dict(LOOK.findall(text))
    faces, captions = {}, {}
    for control, caption, design, look in CONTROL.findall(text):
        faces[control] = free.get(design or looks.get(look), design or looks.get(look))
        captions.setdefault(control, []).append(caption)
    if len(re.findall(r'\w+\(\)\.setCaption\(', text)) != len(SET.findall(text)):
        sys.exit('cut_font.py: a caption is set from something else than a string in the source')
    digits = set()
    for control, counter, caption in SET.findall(text):
        if control not in faces:
            sys.exit(f'cut_font.py: {control} has its caption set but was not found made')
        captions[control].append(caption)
        if counter:
            digits.add(control)
    chars = set()
    for control, design in faces.items():
        if design != face:
            continue
        chars.update(''.join(captions[control]))
        if control in digits or any(c.isdigit() for c in ''.join(captions[control])):
            chars.update('0123456789')
    if not chars:
        sys.exit(f'cut_font.py: no caption in {face} found in {", ".join(sources)}')
    return chars


def rename(font, family):
    """Gives the cut font a name of its own. The licences ask for it: the
    SIL Open Font Licence forbids a modified font to use its Reserved Font
    Names (EB Garamond), the Bitstream Vera terms let DejaVu be modified
    only under another name, Red Hat's terms keep the LIBERATION trademark
    off modified versions, and the AGPL asks a modified work to say it was
    modified (Z003). Copyright, trademark and licence records stay."""
    ps_name = family.replace(' ', '') + '-' + font['name'].getDebugName(2).replace(' ', '')
    style = font['name'].getDebugName(2)
    new = {1: family, 3: f'{ps_name} (cut for Vorlane)', 4: f'{family} {style}', 6: ps_name,
           16: family, 17: style}
    original = font['name'].getDebugName(4)
    name = font['name']
    for record in list(name.names):
        if record.nameID in new:
            name.setName(new[record.nameID], record.nameID, record.platformID,
                         record.platEncID, record.langID)
        elif record.nameID in (18, 20, 21, 22):  # other names of the family
            name.removeNames(nameID=record.nameID)
    name.setName(f'Cut from {original} to the glyphs the game Vorlane draws.', 10, 3, 1, 0x409)
    if 'CFF ' in font:
        cff = font['CFF '].cff
        cff.fontNames = [ps_name]
        top = cff.topDictIndex[0]
        top.FamilyName = family
        top.FullName = f'{family} {style}'


def licence_of_fonts(copyright):
    """The parts of a Debian copyright file that cover the package's fonts:
    in the machine-readable format, its header, the paragraph of "Files: *"
    and the full text of the licence that paragraph names, without those of
    the packaging and other files; any other file as it is."""
    if not copyright.startswith('Format:'):
        return copyright
    paragraphs = [p for p in re.split(r'\n[ \t]*\n', copyright) if p.strip()]
    fonts = next(p for p in paragraphs if re.search(r'^Files:\s*\*\s*$', p, re.M))
    name = re.search(r'^License:\s*(.+)$', fonts, re.M).group(1).strip()
    texts = [p for p in paragraphs if p.startswith('License:') and
             p.split('\n', 1)[0][len('License:'):].strip() in (name, name.split()[0])]
    return '\n\n'.join([paragraphs[0], fonts] + texts) + '\n'


def main(argv):
    font_in, font_out, family, face, licence_in, licence_out, extra, *sources = argv
    text = ''.join(sorted(characters(face, sources) | set(extra)))
    options = subset.Options()
    # The layout stays as it is: every OpenType feature (kerning above all),
    # the hinting, every name record, the metrics tables untouched.
    options.layout_features = ['*']
    options.name_IDs = ['*']
    options.name_languages = ['*']
    options.hinting = True
    options.notdef_outline = True
    flavor = 'woff2' if font_out.endswith('.woff2') else None
    options.flavor = flavor
    font = TTFont(font_in)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=text)
    subsetter.subset(font)
    rename(font, family)
    os.makedirs(os.path.dirname(font_out), exist_ok=True)
    font.flavor = flavor
    font.save(font_out)
    with open(licence_in, encoding='utf-8') as f:
        licence = licence_of_fonts(f.read())
    with open(licence_out, 'w', encoding='utf-8') as f:
        f.write(f'{os.path.basename(font_out)} is {os.path.basename(font_in)} from Debian\'s '
                f'font packages, cut to the characters\n{text!r} and renamed "{family}".\n'
                f'Its copyright and licence, from the package\'s copyright file:\n\n{licence}')


if __name__ == '__main__':
    main(sys.argv[1:])
