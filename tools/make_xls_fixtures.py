#!/usr/bin/env python3
"""Writes the .xls test workbooks under tests/data/xls (and seeds for the
fuzz corpus): BIFF8 and BIFF5 records in a compound file of our own making,
sound ones and damaged ones, plus an .xlsx twin of the sound sheets so the
two readers can be compared cell by cell.

Run from anywhere: python3 tools/make_xls_fixtures.py
Only the standard library is used; the output is byte-for-byte stable.
"""

import os
import struct
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "xls")
CORPUS = os.path.join(ROOT, "fuzz", "corpus", "xls")

# ---------------------------------------------------------------- records

BOF, EOF, CONTINUE = 0x0809, 0x000A, 0x003C
CODEPAGE, DATEMODE, FILEPASS = 0x0042, 0x0022, 0x002F
BOUNDSHEET, SST, EXTSST, FORMAT, XF = 0x0085, 0x00FC, 0x00FF, 0x041E, 0x00E0
DIMENSION, NUMBER, RK, MULRK = 0x0200, 0x0203, 0x027E, 0x00BD
LABEL, LABELSST, RSTRING, BOOLERR = 0x0204, 0x00FD, 0x00D6, 0x0205
BLANK, MULBLANK, FORMULA, STRING = 0x0201, 0x00BE, 0x0006, 0x0207
SHRFMLA = 0x04BC

BIFF8, BIFF5 = 0x0600, 0x0500


def rec(rtype, data=b""):
    assert len(data) <= 0xFFFF
    return struct.pack("<HH", rtype, len(data)) + data


def records_with_continue(rtype, parts):
    """A record whose data goes on in CONTINUE records, split as given."""
    out = rec(rtype, parts[0])
    for part in parts[1:]:
        out += rec(CONTINUE, part)
    return out


def is_compressible(text):
    return all(ord(ch) < 256 for ch in text)


def chars8(text, high):
    return text.encode("utf-16-le") if high else text.encode("latin-1")


def str8(text, count_bytes=2, high=None):
    """BIFF8 string: count, option byte, characters."""
    if high is None:
        high = not is_compressible(text)
    count = struct.pack("<B" if count_bytes == 1 else "<H", len(text))
    return count + bytes([1 if high else 0]) + chars8(text, high)


def str5(raw, count_bytes=2):
    """BIFF5 string: count and bytes in the workbook's code page."""
    return struct.pack("<B" if count_bytes == 1 else "<H", len(raw)) + raw


def split_sst(strings, limit=8224):
    """The shared strings cut into record parts as Excel cuts them: a
    string's header stays whole, its characters go on in the next part
    behind a fresh option byte."""
    parts = [bytearray(struct.pack("<II", len(strings), len(strings)))]
    for text in strings:
        high = not is_compressible(text)
        width = 2 if high else 1
        if len(parts[-1]) + 3 + width > limit:
            parts.append(bytearray())
        parts[-1] += struct.pack("<HB", len(text), 1 if high else 0)
        rest = text
        while True:
            room = (limit - len(parts[-1])) // width
            parts[-1] += chars8(rest[:room], high)
            rest = rest[room:]
            if not rest:
                break
            parts.append(bytearray([1 if high else 0]))
    return [bytes(part) for part in parts]


def bof(version, substream):
    if version == BIFF8:
        return rec(BOF, struct.pack("<HHHHII", BIFF8, substream, 0x0DBB,
                                    0x07CC, 0x41, 0x06))
    return rec(BOF, struct.pack("<HHHH", BIFF5, substream, 0x096C, 0x07C9))


def cell_head(row, col, xf):
    return struct.pack("<HHH", row, col, xf)


def rk_encode(value, form):
    """RK forms: int, int100 (integer of value*100), float, float100."""
    if form == "int":
        return (int(value) << 2) & 0xFFFFFFFF | 0x02
    if form == "int100":
        return (round(value * 100) << 2) & 0xFFFFFFFF | 0x03
    scaled = value * 100 if form == "float100" else value
    bits = struct.unpack("<Q", struct.pack("<d", scaled))[0]
    assert bits & 0xFFFFFFFF == 0 and (bits >> 32) & 0x3 == 0, value
    return (bits >> 32) | (0x01 if form == "float100" else 0)


def rk_decode(rk):
    if rk & 0x02:
        value = float(struct.unpack("<i", struct.pack("<I", rk))[0] >> 2)
    else:
        value = struct.unpack("<d", struct.pack("<Q", (rk & 0xFFFFFFFC) << 32))[0]
    return value / 100 if rk & 0x01 else value


def formula_tail(version):
    # flags, (chn), one ptgInt token: =1
    rgce = b"\x1E\x01\x00"
    if version == BIFF8:
        return struct.pack("<HIH", 0, 0, len(rgce)) + rgce
    return struct.pack("<HIH", 0, 0, len(rgce)) + rgce


def formula_result(kind, value):
    if kind == "number":
        return struct.pack("<d", value)
    tag = {"string": 0, "boolean": 1, "error": 2, "empty": 3}[kind]
    payload = int(value) if kind in ("boolean", "error") else 0
    return struct.pack("<BBBBBBH", tag, 0, payload, 0, 0, 0, 0xFFFF)


# ---------------------------------------------------------------- cells
#
# A sheet is a list of cells. Each cell says how the BIFF records carry it
# and what the .xlsx twin holds for it:
#   ("number", row, col, value, xf)        NUMBER
#   ("rk", row, col, value, form, xf)      RK
#   ("mulrk", row, col, [(value, form)...], xf)
#   ("sst", row, col, text)                LABELSST (BIFF8)
#   ("label", row, col, text)              LABEL
#   ("rstring", row, col, text)            RSTRING
#   ("bool", row, col, 0/1) ("error", row, col, code)   BOOLERR
#   ("formula", row, col, kind, value, xf) FORMULA (+ STRING)
#   ("formula_split", row, col, first, first_high, second, second_high)
#                                          its STRING split by a CONTINUE
#   ("blank", row, col) ("mulblank", row, col, count)
#   ("raw", bytes)                         records as they are
# Rows and columns are 0-based here as in the records.


class Book:
    def __init__(self, version=BIFF8, codepage=None, date1904=False,
                 encoding="cp1252"):
        self.version = version
        self.codepage = codepage
        self.date1904 = date1904
        self.encoding = encoding
        self.formats = {}   # id -> code
        self.xf_formats = [0] * 16  # the 15 style XFs and the default
        self.sheets = []    # (name, chart, cells)
        self.physical_order = None
        self.sst = []
        self.sst_parts = None  # hand-made SST split, replaces the plain one
        self.extra_globals = b""
        self.raw_sheet = {}  # name -> bytes replacing the generated body

    def xf(self, format_id, code=None):
        if code is not None:
            self.formats[format_id] = code
        self.xf_formats.append(format_id)
        return len(self.xf_formats) - 1

    def sheet(self, name, cells=(), chart=False, module=False):
        self.sheets.append((name, "module" if module else chart, list(cells)))

    def sst_index(self, text):
        if text not in self.sst:
            self.sst.append(text)
        return self.sst.index(text)

    # -- text in this book's version
    def text(self, text, count_bytes=2):
        if self.version == BIFF8:
            return str8(text, count_bytes)
        return str5(text.encode(self.encoding), count_bytes)

    # -- records
    def cell_records(self, cells):
        v = self.version
        out = b""
        for cell in cells:
            kind = cell[0]
            if kind == "number":
                _, r, c, value, xf = cell
                out += rec(NUMBER, cell_head(r, c, xf) + struct.pack("<d", value))
            elif kind == "rk":
                _, r, c, value, form, xf = cell
                out += rec(RK, cell_head(r, c, xf) +
                           struct.pack("<I", rk_encode(value, form)))
            elif kind == "mulrk":
                _, r, c, values, xf = cell
                body = struct.pack("<HH", r, c)
                for value, form in values:
                    body += struct.pack("<HI", xf, rk_encode(value, form))
                out += rec(MULRK, body + struct.pack("<H", c + len(values) - 1))
            elif kind == "sst":
                _, r, c, text = cell
                out += rec(LABELSST, cell_head(r, c, 15) +
                           struct.pack("<I", self.sst_index(text)))
            elif kind == "label":
                _, r, c, text = cell
                out += rec(LABEL, cell_head(r, c, 15) + self.text(text))
            elif kind == "rstring":
                _, r, c, text = cell
                runs = b"\x00\x00\x01\x00" if v == BIFF8 else b"\x00\x01"
                count = struct.pack("<H" if v == BIFF8 else "<B", 1)
                out += rec(RSTRING, cell_head(r, c, 15) + self.text(text) +
                           count + runs)
            elif kind in ("bool", "error"):
                _, r, c, value = cell
                out += rec(BOOLERR, cell_head(r, c, 15) +
                           struct.pack("<BB", value, kind == "error"))
            elif kind == "formula":
                _, r, c, fkind, value, xf = cell
                out += rec(FORMULA, cell_head(r, c, xf) +
                           formula_result(fkind, value) + formula_tail(v))
                if fkind == "string":
                    out += rec(STRING, self.text(value))
            elif kind == "formula_split":
                # A formula string whose text runs on in a CONTINUE record.
                _, r, c, first, first_high, second, second_high = cell
                out += rec(FORMULA, cell_head(r, c, 15) +
                           formula_result("string", 0) + formula_tail(v))
                head = struct.pack("<HB", len(first) + len(second),
                                   1 if first_high else 0)
                out += records_with_continue(STRING, [
                    head + chars8(first, first_high),
                    bytes([1 if second_high else 0]) +
                    chars8(second, second_high)])
            elif kind == "blank":
                _, r, c = cell
                out += rec(BLANK, cell_head(r, c, 15))
            elif kind == "mulblank":
                _, r, c, count = cell
                out += rec(MULBLANK, struct.pack("<HH", r, c) +
                           struct.pack("<H", 15) * count +
                           struct.pack("<H", c + count - 1))
            elif kind == "raw":
                out += cell[1]
            else:
                raise ValueError(kind)
        return out

    def sheet_stream(self, name, chart, cells):
        if name in self.raw_sheet:
            return self.raw_sheet[name]
        v = self.version
        if chart == "module":
            return bof(v, 0x0006) + rec(EOF)
        if chart:
            return bof(v, 0x0020) + rec(EOF)
        # A DIMENSION that lies on purpose: the used range must come from
        # the cells.
        if v == BIFF8:
            dim = rec(DIMENSION, struct.pack("<IIHHH", 0, 1000, 0, 26, 0))
        else:
            dim = rec(DIMENSION, struct.pack("<HHHHH", 0, 1000, 0, 26, 0))
        return bof(v, 0x0010) + dim + self.cell_records(cells) + rec(EOF)

    def sst_record(self):
        if self.sst_parts is not None:
            return records_with_continue(SST, self.sst_parts)
        if not self.sst:
            return b""
        return (records_with_continue(SST, split_sst(self.sst)) +
                rec(EXTSST, struct.pack("<H", 8)))

    def globals_stream(self, offsets):
        v = self.version
        out = bof(v, 0x0005) + self.extra_globals
        if self.codepage is not None:
            out += rec(CODEPAGE, struct.pack("<H", self.codepage))
        out += rec(DATEMODE, struct.pack("<H", 1 if self.date1904 else 0))
        for fid, code in sorted(self.formats.items()):
            out += rec(FORMAT, struct.pack("<H", fid) +
                       self.text(code, 2 if v == BIFF8 else 1))
        for fid in self.xf_formats:
            size = 20 if v == BIFF8 else 16
            out += rec(XF, struct.pack("<HH", 0, fid) + b"\x00" * (size - 4))
        for (name, chart, _), offset in zip(self.sheets, offsets):
            kind = 6 if chart == "module" else 2 if chart else 0
            out += rec(BOUNDSHEET, struct.pack("<IBB", offset, 0, kind) +
                       self.text(name, 1))
        out += self.sst_record()
        return out + rec(EOF)

    def stream(self):
        # Cell records first: LABELSST cells add to the shared strings.
        bodies = [self.sheet_stream(n, ch, cells) for n, ch, cells in self.sheets]
        order = self.physical_order or list(range(len(self.sheets)))
        globals_size = len(self.globals_stream([0] * len(self.sheets)))
        offsets = [0] * len(self.sheets)
        at = globals_size
        for index in order:
            offsets[index] = at
            at += len(bodies[index])
        out = self.globals_stream(offsets)
        assert len(out) == globals_size
        for index in order:
            out += bodies[index]
        return out


# ---------------------------------------------------------------- container

FREE, END, FATSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD
CUTOFF = 4096


class Container:
    """A compound file: streams under the root, optionally a sub-storage."""

    def __init__(self, shift=9):
        self.shift = shift
        self.size = 1 << shift
        self.entries = []  # (name, type, data, parent)

    def stream(self, name, data, parent=0):
        self.entries.append((name, 2, data, parent))
        return len(self.entries)

    def storage(self, name, parent=0):
        self.entries.append((name, 1, b"", parent))
        return len(self.entries)

    def build(self):
        size = self.size
        sectors = []   # sector data, in order
        fat = []
        layout = {}

        def put_chain(data):
            count = (len(data) + size - 1) // size
            first = len(sectors)
            for i in range(count):
                sectors.append(data[i * size:(i + 1) * size].ljust(size, b"\0"))
                fat.append(first + i + 1 if i + 1 < count else END)
            return (first if count else END), list(range(first, first + count))

        # Small streams go to the mini stream, 64 bytes a sector.
        mini, mini_fat, starts = b"", [], {}
        for index, (name, kind, data, _) in enumerate(self.entries, start=1):
            if kind == 2 and len(data) < CUTOFF:
                count = (len(data) + 63) // 64
                first = len(mini) // 64
                mini += data.ljust(count * 64, b"\0")
                mini_fat += [first + i + 1 if i + 1 < count else END
                             for i in range(count)]
                starts[index] = first if count else END
                layout[name] = ("mini", list(range(first, first + count)))
        for index, (name, kind, data, _) in enumerate(self.entries, start=1):
            if kind == 2 and len(data) >= CUTOFF:
                starts[index], chain = put_chain(data)
                layout[name] = ("fat", chain)
        mini_start, layout["ministream"] = put_chain(mini)
        minifat_bytes = b"".join(struct.pack("<I", x) for x in mini_fat)
        minifat_start, layout["minifat"] = put_chain(
            minifat_bytes.ljust(((len(minifat_bytes) + size - 1) // size) * size,
                                b"\xff"))

        # Directory: root, then the entries; siblings chained to the right.
        children = {}
        for index, (_, _, _, parent) in enumerate(self.entries, start=1):
            children.setdefault(parent, []).append(index)
        right, child = {}, {}
        for parent, kids in children.items():
            child[parent] = kids[0]
            for a, b in zip(kids, kids[1:]):
                right[a] = b

        def entry(name, kind, start, length, eid):
            raw = (name + "\0").encode("utf-16-le")
            return (raw.ljust(64, b"\0") +
                    struct.pack("<HBBIII", len(raw), kind, 1,
                                FREE, right.get(eid, FREE), child.get(eid, FREE)) +
                    b"\0" * 16 + b"\0" * 4 + b"\0" * 16 +
                    struct.pack("<IQ", start, length))

        directory = entry("Root Entry", 5, mini_start, len(mini), 0)
        for index, (name, kind, data, _) in enumerate(self.entries, start=1):
            start = starts.get(index, END) if kind == 2 else 0
            directory += entry(name, kind, start, len(data) if kind == 2 else 0,
                               index)
        per = size // 128
        while (len(directory) // 128) % per:
            directory += (b"\0" * 64 + struct.pack("<HBBIII", 0, 0, 0, FREE,
                                                   FREE, FREE) +
                          b"\0" * 48)
        dir_start, layout["directory"] = put_chain(directory)

        # The FAT itself at the end, marked as FAT sectors.
        per_fat = size // 4
        fat_count = 1
        while len(sectors) + fat_count > fat_count * per_fat:
            fat_count += 1
        fat_first = len(sectors)
        fat += [FATSECT] * fat_count
        fat += [FREE] * (fat_count * per_fat - len(fat))
        fat_bytes = b"".join(struct.pack("<I", x) for x in fat)
        for i in range(fat_count):
            sectors.append(fat_bytes[i * size:(i + 1) * size])
        layout["fat"] = list(range(fat_first, fat_first + fat_count))
        assert fat_count <= 109

        difat = [fat_first + i for i in range(fat_count)]
        difat += [FREE] * (109 - len(difat))
        header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16 +
                  struct.pack("<HHHHH", 0x3E, 3 if self.shift == 9 else 4,
                              0xFFFE, self.shift, 6) +
                  b"\0" * 6 +
                  struct.pack("<IIIIIIIII",
                              0 if self.shift == 9 else len(layout["directory"]),
                              fat_count, dir_start, 0, CUTOFF,
                              minifat_start if mini_fat else END,
                              len(layout["minifat"]) if mini_fat else 0,
                              END, 0) +
                  b"".join(struct.pack("<I", x) for x in difat))
        assert len(header) == 512
        header = header.ljust(size, b"\0")
        return bytearray(header + b"".join(sectors)), layout, fat_first


def xls_file(book, shift=9, pad_to=0, decoy=None):
    """The book as a compound file. pad_to makes the stream at least that
    long (Excel pads to 4096 so the stream sits in regular sectors)."""
    data = book.stream()
    data = data.ljust(pad_to, b"\0")
    name = "Workbook" if book.version == BIFF8 else "Book"
    container = Container(shift)
    if decoy is not None:
        # An embedded object holding a workbook of its own: not ours.
        storage = container.storage("ObjectPool")
        container.stream("Workbook", decoy, parent=storage)
    container.stream(name, data)
    return container.build()


# ---------------------------------------------------------------- .xlsx twin

def col_name(col):
    name = ""
    col += 1
    while col:
        col, rem = divmod(col - 1, 26)
        name = chr(65 + rem) + name
    return name


def xml_escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;")
            .replace(">", "&gt;").replace('"', "&quot;"))


def number_text(value):
    return repr(float(value)) if value != int(value) else str(int(value))


def xlsx_twin(book, path):
    """The same sheet names and first-sheet cells as an .xlsx."""
    name, chart, cells = book.sheets[0]
    strings = []

    def shared(text):
        if text not in strings:
            strings.append(text)
        return strings.index(text)

    rows = {}

    def put(r, c, xml):
        rows.setdefault(r, []).append((c, xml))

    for cell in cells:
        kind = cell[0]
        if kind in ("number", "rk"):
            r, c, value, xf = cell[1], cell[2], cell[3], cell[-1]
            put(r, c, f'<c r="{col_name(c)}{r + 1}" s="{xf}"><v>'
                      f'{number_text(rk_decode(rk_encode(value, cell[4])) if kind == "rk" else value)}'
                      f'</v></c>')
        elif kind == "mulrk":
            _, r, c, values, xf = cell
            for i, (value, form) in enumerate(values):
                v = rk_decode(rk_encode(value, form))
                put(r, c + i, f'<c r="{col_name(c + i)}{r + 1}" s="{xf}"><v>'
                              f'{number_text(v)}</v></c>')
        elif kind in ("sst", "label", "rstring"):
            _, r, c, text = cell
            put(r, c, f'<c r="{col_name(c)}{r + 1}" t="s"><v>{shared(text)}</v></c>')
        elif kind in ("bool", "error"):
            _, r, c, value = cell
            if kind == "bool":
                put(r, c, f'<c r="{col_name(c)}{r + 1}" t="b"><v>{value}</v></c>')
            else:
                put(r, c, f'<c r="{col_name(c)}{r + 1}" t="e"><v>'
                          f'{ERROR_TEXT[value]}</v></c>')
        elif kind == "formula":
            _, r, c, fkind, value, xf = cell
            ref = f'{col_name(c)}{r + 1}'
            if fkind == "number":
                put(r, c, f'<c r="{ref}" s="{xf}"><f>1</f><v>{number_text(value)}</v></c>')
            elif fkind in ("string", "empty"):
                text = value if fkind == "string" else ""
                put(r, c, f'<c r="{ref}" t="str"><f>1</f><v>{xml_escape(text)}</v></c>')
            elif fkind == "boolean":
                put(r, c, f'<c r="{ref}" t="b"><f>1</f><v>{value}</v></c>')
            else:
                put(r, c, f'<c r="{ref}" t="e"><f>1</f><v>{ERROR_TEXT[value]}</v></c>')
        elif kind == "formula_split":
            _, r, c, first, _, second, _ = cell
            put(r, c, f'<c r="{col_name(c)}{r + 1}" t="str"><f>1</f><v>'
                      f'{xml_escape(first + second)}</v></c>')
        elif kind == "blank":
            _, r, c = cell
            put(r, c, f'<c r="{col_name(c)}{r + 1}" s="15"/>')
        elif kind == "mulblank":
            _, r, c, count = cell
            for i in range(count):
                put(r, c + i, f'<c r="{col_name(c + i)}{r + 1}" s="15"/>')

    sheet_rows = "".join(
        f'<row r="{r + 1}">' + "".join(x for _, x in sorted(rows[r])) + "</row>"
        for r in sorted(rows))
    ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rns = 'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
    sheet_xml = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                 f'<worksheet {ns}><sheetData>{sheet_rows}</sheetData></worksheet>')
    empty_sheet = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                   f'<worksheet {ns}><sheetData/></worksheet>')
    sheets_xml = "".join(
        f'<sheet name="{xml_escape(n)}" sheetId="{i + 1}" r:id="rId{i + 1}"/>'
        for i, (n, _, _) in enumerate(book.sheets))
    pr = '<workbookPr date1904="1"/>' if book.date1904 else "<workbookPr/>"
    workbook_xml = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                    f'<workbook {ns} {rns}>{pr}<sheets>{sheets_xml}</sheets></workbook>')
    rels = "".join(
        f'<Relationship Id="rId{i + 1}" Type="http://schemas.openxmlformats.org/'
        f'officeDocument/2006/relationships/worksheet" Target="worksheets/sheet{i + 1}.xml"/>'
        for i in range(len(book.sheets)))
    n = len(book.sheets)
    rels += (f'<Relationship Id="rId{n + 1}" Type="http://schemas.openxmlformats.org/'
             f'officeDocument/2006/relationships/styles" Target="styles.xml"/>'
             f'<Relationship Id="rId{n + 2}" Type="http://schemas.openxmlformats.org/'
             f'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>')
    relns = 'xmlns="http://schemas.openxmlformats.org/package/2006/relationships"'
    custom = "".join(f'<numFmt numFmtId="{fid}" formatCode="{xml_escape(code)}"/>'
                     for fid, code in sorted(book.formats.items()) if fid >= 164)
    apply = ' applyNumberFormat="1"'
    xfs = "".join(f'<xf numFmtId="{fid}" fontId="0" fillId="0" borderId="0"'
                  f'{apply if fid else ""}/>'
                  for fid in book.xf_formats)
    styles_xml = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                  f'<styleSheet {ns}>'
                  f'<numFmts count="{custom.count("<numFmt ")}">{custom}</numFmts>'
                  f'<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
                  f'<fills count="1"><fill><patternFill patternType="none"/></fill></fills>'
                  f'<borders count="1"><border/></borders>'
                  f'<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
                  f'<cellXfs count="{len(book.xf_formats)}">{xfs}</cellXfs>'
                  f'</styleSheet>')
    sst_xml = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
               f'<sst {ns} count="{len(strings)}" uniqueCount="{len(strings)}">' +
               "".join(f'<si><t xml:space="preserve">{xml_escape(s)}</t></si>'
                       for s in strings) + "</sst>")
    overrides = "".join(
        f'<Override PartName="/xl/worksheets/sheet{i + 1}.xml" ContentType="application/'
        f'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        for i in range(n))
    content_types = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/styles.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>' +
        overrides + '</Types>')
    root_rels = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                 f'<Relationships {relns}><Relationship Id="rId1" Type="http://'
                 f'schemas.openxmlformats.org/officeDocument/2006/relationships/'
                 f'officeDocument" Target="xl/workbook.xml"/></Relationships>')
    parts = [("[Content_Types].xml", content_types), ("_rels/.rels", root_rels),
             ("xl/workbook.xml", workbook_xml),
             ("xl/_rels/workbook.xml.rels",
              f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              f'<Relationships {relns}>{rels}</Relationships>'),
             ("xl/styles.xml", styles_xml), ("xl/sharedStrings.xml", sst_xml),
             ("xl/worksheets/sheet1.xml", sheet_xml)]
    parts += [(f"xl/worksheets/sheet{i + 1}.xml", empty_sheet) for i in range(1, n)]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for part, text in parts:
            info = zipfile.ZipInfo(part, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, text.encode("utf-8"))


ERROR_TEXT = {0x00: "#NULL!", 0x07: "#DIV/0!", 0x0F: "#VALUE!", 0x17: "#REF!",
              0x1D: "#NAME?", 0x24: "#NUM!", 0x2A: "#N/A"}


# ---------------------------------------------------------------- the books

def values_book():
    """BIFF8: every cell record kind, dates by XF, the first sheet stored
    after the second one in the stream."""
    b = Book(BIFF8, codepage=1200)
    date14 = b.xf(14)
    custom_date = b.xf(164, "yyyy-mm-dd")
    east_asian = b.xf(31)
    east_asian_57 = b.xf(57)
    time20 = b.xf(20)
    quoted_d = b.xf(165, '0.00" d"')
    red = b.xf(166, "[Red]0.00;[Blue]-0.00")
    elapsed = b.xf(167, "[h]:mm:ss")
    escaped = b.xf(168, "\\d\\a\\y 0")
    cells = [
        ("number", 0, 0, 1.5, 15),
        ("rk", 0, 1, 123456789, "int", 15),
        ("rk", 1, 0, -42, "int", 15),
        ("rk", 1, 1, 12.34, "int100", 15),
        ("rk", 2, 0, 0.5, "float", 15),
        ("rk", 2, 1, -3.0, "float100", 15),
        ("mulrk", 3, 0, [(7, "int"), (-0.07, "int100"), (1024.0, "float")], 15),
        ("sst", 4, 0, "商品编号"),
        ("sst", 4, 1, "http://127.0.0.1/a.png"),
        ("label", 5, 0, "Label ÄÖ"),
        ("rstring", 5, 1, "富文本"),
        ("bool", 6, 0, 1),
        ("bool", 6, 1, 0),
        ("error", 7, 0, 0x2A),
        ("error", 7, 1, 0x07),
        # A boolean's byte and an error code of the same value.
        ("bool", 8, 0, 1),
        ("error", 8, 1, 0x00),
        ("formula", 9, 0, "number", 2.25, 15),
        ("formula", 9, 1, "string", "公式文字", 15),
        ("formula", 10, 0, "boolean", 1, 15),
        ("formula", 10, 1, "error", 0x0F, 15),
        ("formula", 11, 0, "empty", 0, 15),
        ("formula", 11, 1, "boolean", 0, 15),
        ("number", 12, 0, 45000.0, date14),
        ("number", 12, 1, 45000.75, custom_date),
        ("rk", 13, 0, 43831, "int", east_asian),
        ("number", 13, 1, 43831.5, east_asian_57),
        ("number", 14, 0, 0.25, time20),
        ("formula", 14, 1, "number", 44197.0, custom_date),
        ("number", 15, 0, 3.0, quoted_d),
        ("number", 15, 1, 4.0, red),
        ("number", 16, 0, 1.25, elapsed),
        ("number", 16, 1, 5.0, escaped),
        ("blank", 19, 2),
        ("mulblank", 18, 3, 2),
    ]
    b.sheet("数据", cells)
    b.sheet("Sheet2", [("number", 0, 0, 99.0, 15), ("number", 40, 30, 1.0, 15)])
    b.sheet("图表", chart=True)
    b.physical_order = [1, 2, 0]
    return b


def biff5_book():
    """BIFF5 with code page 936: sheet names, labels and a formula's text in
    GBK, dates in the 1904 system."""
    b = Book(BIFF5, codepage=936, date1904=True, encoding="gbk")
    date14 = b.xf(14)
    custom_date = b.xf(164, 'yyyy"年"m"月"d"日"')
    cells = [
        ("label", 0, 0, "商品编号"),
        ("label", 0, 1, "图片地址"),
        ("label", 1, 0, "A1001"),
        ("label", 1, 1, "http://127.0.0.1/中文.jpg"),
        ("rstring", 2, 0, "红色文字"),
        ("number", 2, 1, 2.5, 15),
        ("rk", 3, 0, 100, "int", 15),
        ("rk", 3, 1, 0.01, "int100", 15),
        ("formula", 4, 0, "string", "计算结果", 15),
        ("formula", 4, 1, "number", 8.0, 15),
        ("bool", 5, 0, 1),
        ("error", 5, 1, 0x17),
        ("number", 6, 0, 40000.0, date14),
        ("rk", 6, 1, 40001, "int", custom_date),
    ]
    b.sheet("第一页", cells)
    b.sheet("第二页")
    return b


def sst_continue_book():
    """Shared strings split across CONTINUE records in every way a writer
    splits them."""
    b = Book(BIFF8)
    texts = [
        "ABCD中文字符",        # compressed half, then UTF-16 half
        "汉字xyz",             # UTF-16 half, then compressed half
        "Rich",                # a boundary between its formatting runs
        "ExtAB漢字",           # Far-East block after a cut in the text
        "Edge",                # ends exactly at a record's end
        "Next",                # starts a CONTINUE with its header
        "尾",
        "甲a" * 50,            # every character in a CONTINUE of its own
    ]
    b.sst = list(texts)
    runs = b"\x00\x00\x01\x00" + b"\x02\x00\x02\x00"
    ext = b"\x01\x00\x06\x00" + b"\xAA" * 6     # 10 bytes of phonetic data
    part0 = struct.pack("<II", len(texts), len(texts))
    part0 += struct.pack("<HB", 8, 0) + b"ABCD"
    part1 = b"\x01" + "中文字符".encode("utf-16-le")
    part1 += struct.pack("<HB", 5, 1) + "汉字".encode("utf-16-le")
    part2 = b"\x00" + b"xyz"
    part2 += struct.pack("<HBH", 4, 0x08, 2) + b"Rich" + runs[:4]
    part3 = runs[4:]
    part3 += struct.pack("<HBI", 7, 0x04, len(ext)) + b"ExtAB"
    part4 = b"\x01" + "漢字".encode("utf-16-le") + ext[:3]
    part5 = ext[3:] + struct.pack("<HB", 4, 0) + b"Edge"
    part6 = struct.pack("<HB", 4, 0) + b"Next"
    part6 += struct.pack("<HBHI", 1, 0x0D, 1, 4) + "尾".encode("utf-16-le")
    part6 += b"\x00\x00\x00\x00" + b"\x01\x02\x03\x04"
    tiny = texts[7]
    part6 += struct.pack("<HB", len(tiny), 1) + chars8(tiny[0], True)
    tiny_parts = [bytes([1 if not is_compressible(ch) else 0]) +
                  chars8(ch, not is_compressible(ch)) for ch in tiny[1:]]
    b.sst_parts = [part0, part1, part2, part3, part4, part5, part6] + tiny_parts
    cells = [("sst", i, 0, t) for i, t in enumerate(texts)]
    cells.append(("formula_split", 0, 1, "前半", True, "latin", False))
    cells.append(("formula_split", 1, 1, "first", False, " 第二", True))
    b.sheet("Strings", cells)
    return b


def small_book(version=BIFF8, **kwargs):
    b = Book(version, **kwargs)
    b.sheet("Sheet1", [("sst" if version == BIFF8 else "label", 0, 0, "ID"),
                       ("number", 0, 1, 1.0, 15)])
    return b


def module_first_book():
    """BIFF5 with a VBA module listed before the worksheet."""
    b = Book(BIFF5)
    b.sheet("Module1", module=True)
    b.sheet("Sheet1", [("label", 0, 0, "ID"), ("number", 0, 1, 1.0, 15)])
    return b


def chart_first_book():
    b = Book(BIFF8)
    b.sheet("Chart1", chart=True)
    b.sheet("Sheet1", [("number", 0, 0, 1.0, 15)])
    return b


def used_range_book():
    """Cells from C5 on; a formatted blank reaches further than any value."""
    b = Book(BIFF8)
    b.sheet("Range", [("number", 4, 2, 1.0, 15), ("sst", 6, 3, "x"),
                      ("blank", 9, 5), ("mulblank", 7, 1, 3)])
    return b


def embedded_chart_book():
    """A worksheet that holds an embedded chart's own BOF..EOF block."""
    b = Book(BIFF8)
    inner = bof(BIFF8, 0x0020) + rec(NUMBER, cell_head(50, 50, 15) +
                                     struct.pack("<d", 9.0)) + rec(EOF)
    b.sheet("Sheet1", [("number", 0, 0, 1.0, 15), ("raw", inner),
                       ("number", 1, 0, 2.0, 15)])
    return b


# ---------------------------------------------------------------- damage

def u32(buf, at, value):
    struct.pack_into("<I", buf, at, value)


def fat_entry_offset(fat_first, sector, shift=9):
    return ((fat_first + 1) << shift) + 4 * sector


def damaged_cases():
    cases = {}
    big = small_book()
    data, layout, fat_first = xls_file(big, pad_to=8192)
    chain = layout["Workbook"][1]

    loop = bytearray(data)
    u32(loop, fat_entry_offset(fat_first, chain[3]), chain[1])
    cases["fat_loop"] = loop

    outside = bytearray(data)
    u32(outside, fat_entry_offset(fat_first, chain[2]), 50000)
    cases["chain_outside_file"] = outside

    cases["truncated"] = bytearray(data[:(chain[4] + 1) * 512 + 100])

    short_chain = bytearray(data)
    u32(short_chain, fat_entry_offset(fat_first, chain[5]), END)
    cases["chain_too_short"] = short_chain

    header = bytearray(data[:300])
    cases["truncated_header"] = header

    fat_count = bytearray(data)
    u32(fat_count, 0x2C, 0x00FFFFFF)
    cases["fat_count_huge"] = fat_count

    bad_shift = bytearray(data)
    struct.pack_into("<H", bad_shift, 0x1E, 30)
    cases["sector_shift"] = bad_shift

    dir_outside = bytearray(data)
    u32(dir_outside, 0x30, 40000)
    cases["directory_outside_file"] = dir_outside

    # The root's child id points past the directory.
    dir_id = bytearray(data)
    dir_sector = layout["directory"][0]
    u32(dir_id, ((dir_sector + 1) << 9) + 0x4C, 5000)
    cases["directory_bad_id"] = dir_id

    # The stream claims more bytes than the file holds.
    size_lie = bytearray(data)
    u32(size_lie, ((dir_sector + 1) << 9) + 128 + 0x78, 0x7FFFFFF0)
    cases["stream_size_lie"] = size_lie

    small, small_layout, small_fat = xls_file(small_book())
    mini_loop = bytearray(small)
    minifat = small_layout["minifat"][0]
    mchain = small_layout["Workbook"][1]
    u32(mini_loop, ((minifat + 1) << 9) + 4 * mchain[1], mchain[0])
    cases["mini_chain_loop"] = mini_loop

    # A record whose length runs past the end of the stream.
    b = small_book()
    b.raw_sheet["Sheet1"] = (bof(BIFF8, 0x10) + rec(NUMBER, cell_head(0, 0, 15) +
                             struct.pack("<d", 1.0)) +
                             struct.pack("<HH", NUMBER, 4000) + b"\x01" * 10)
    cases["record_overrun"] = xls_file(b)[0]

    # The shared-string table claims more strings than it holds.
    b = small_book()
    b.sst_parts = [struct.pack("<II", 5, 5) + str8("ID") + str8("two")]
    cases["sst_too_few_strings"] = xls_file(b)[0]

    # A shared string's characters run past the table.
    b = small_book()
    b.sst_parts = [struct.pack("<II", 1, 1) + struct.pack("<HB", 60000, 1) + b"ab"]
    cases["sst_string_overrun"] = xls_file(b)[0]

    # A cell points past the shared strings.
    b = small_book()
    b.raw_sheet["Sheet1"] = (bof(BIFF8, 0x10) + rec(LABELSST, cell_head(0, 0, 15) +
                             struct.pack("<I", 7)) + rec(EOF))
    b.sst = ["ID"]
    cases["sst_index_outside"] = xls_file(b)[0]

    b = small_book()
    b.extra_globals = rec(FILEPASS, struct.pack("<HHH", 1, 1, 1) + b"\x00" * 48)
    cases["encrypted"] = xls_file(b)[0]

    b = small_book()
    b.raw_sheet["Sheet1"] = bof(BIFF8, 0x10) + rec(NUMBER, cell_head(0, 0, 15) +
                                                 struct.pack("<d", 1.0))
    cases["sheet_without_eof"] = xls_file(b)[0]

    b = small_book()
    b.raw_sheet["Sheet1"] = (bof(BIFF8, 0x10) + rec(NUMBER, b"\x00\x00") +
                             rec(EOF))
    cases["cell_too_short"] = xls_file(b)[0]

    # BOUNDSHEET points outside the stream.
    b = small_book()
    stream = bytearray(b.stream())
    at = stream.find(struct.pack("<H", BOUNDSHEET))
    u32(stream, at + 4, 0x00FFFFFF)
    c = Container()
    c.stream("Workbook", bytes(stream))
    cases["sheet_offset_outside"] = c.build()[0]

    c = Container()
    c.stream("Workbook", b"\x01\x02\x03\x04" * 100)
    cases["stream_without_bof"] = c.build()[0]

    c = Container()
    c.stream("Workbook", bof(BIFF8, 0x0005) + rec(DATEMODE, b"\0\0"))
    cases["globals_without_eof"] = c.build()[0]

    c = Container()
    c.stream("WordDocument", b"\xEC\xA5" + b"\0" * 600)
    cases["not_a_workbook_stream"] = c.build()[0]

    cases["not_compound"] = b"PK\x03\x04 this is not an xls file"
    cases["empty"] = b""
    return cases


# ---------------------------------------------------------------- output

def write(path, data):
    with open(path, "wb") as f:
        f.write(bytes(data))


def main():
    os.makedirs(OUT, exist_ok=True)
    os.makedirs(CORPUS, exist_ok=True)
    decoy = small_book().stream()
    sound = [
        # name, book, container options
        ("biff8_values", values_book(), {"pad_to": 4096}),
        ("biff5_cp936", biff5_book(), {"decoy": decoy}),
        ("sst_continue", sst_continue_book(), {}),
        ("date1904", small_book(date1904=True), {}),
        ("chart_first", chart_first_book(), {}),
        ("used_range", used_range_book(), {}),
        ("embedded_chart", embedded_chart_book(), {}),
        ("sector_4096", small_book(), {"shift": 12, "pad_to": 5000}),
        ("biff5_no_codepage", small_book(BIFF5), {}),
        ("biff5_module_first", module_first_book(), {}),
    ]
    twins = {"biff8_values", "biff5_cp936", "sst_continue", "used_range"}
    for name, book, options in sound:
        data = xls_file(book, **options)[0]
        write(os.path.join(OUT, name + ".xls"), data)
        write(os.path.join(CORPUS, name + ".xls"), data)
        if name in twins:
            xlsx_twin(book, os.path.join(OUT, name + ".xlsx"))
    for name, data in damaged_cases().items():
        write(os.path.join(OUT, "damaged_" + name + ".xls"), data)
        if len(data) <= 16384:
            write(os.path.join(CORPUS, "damaged_" + name + ".xls"), data)


if __name__ == "__main__":
    main()
