#!/usr/bin/env python3
"""Writes the small workbook fixtures under tests/data/xlsx/.

Each case is a table row: a file name and the parts of its package. Run it
from anywhere; it rewrites every fixture so the checked-in files stay what
this script says.
"""
import os
import struct
import zipfile

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "xlsx")

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
STRICT_MAIN = "http://purl.oclc.org/ooxml/spreadsheetml/main"
STRICT_REL = "http://purl.oclc.org/ooxml/officeDocument/relationships"

CONTENT_TYPES = ('<?xml version="1.0" encoding="UTF-8"?>'
                 '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                 '<Default Extension="xml" ContentType="application/xml"/>'
                 '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                 '</Types>')


def rels(entries, rel=REL):
    body = "".join(
        f'<Relationship Id="{i}" Type="{rel}/{t}" Target="{target}"/>' for i, t, target in entries)
    return f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PKG}">{body}</Relationships>'


def workbook(sheets, date1904=False, main=MAIN, rel=REL):
    pr = '<workbookPr date1904="1"/>' if date1904 else "<workbookPr/>"
    body = "".join(f'<sheet name="{n}" sheetId="{k + 1}" r:id="{rid}"/>' for k, (n, rid) in enumerate(sheets))
    return f'<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="{main}" xmlns:r="{rel}">{pr}<sheets>{body}</sheets></workbook>'


def sheet(rows, main=MAIN, extra_head=""):
    return (f'<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="{main}">{extra_head}'
            f"<sheetData>{rows}</sheetData></worksheet>")


def shared(items, main=MAIN):
    body = "".join(f"<si>{i}</si>" for i in items)
    return f'<?xml version="1.0" encoding="UTF-8"?><sst xmlns="{main}" count="{len(items)}">{body}</sst>'


def styles(xf_formats, custom=(), main=MAIN):
    fmts = "".join(f'<numFmt numFmtId="{i}" formatCode="{c}"/>' for i, c in custom)
    numfmts = f'<numFmts count="{len(custom)}">{fmts}</numFmts>' if custom else ""
    xfs = "".join(f'<xf numFmtId="{f}" fontId="0" fillId="0" borderId="0"/>' for f in xf_formats)
    return (f'<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="{main}">{numfmts}'
            f'<cellStyleXfs count="1"><xf numFmtId="22"/></cellStyleXfs>'
            f'<cellXfs count="{len(xf_formats)}">{xfs}</cellXfs></styleSheet>')


def package(sheet_parts, strings=None, style=None, names=None, date1904=False, main=MAIN, rel=REL,
            first_rel=None):
    """A workbook whose sheets are listed in `names` order (name, rId)."""
    parts = {"[Content_Types].xml": CONTENT_TYPES,
             "_rels/.rels": rels([("rId1", "officeDocument", "xl/workbook.xml")], rel)}
    wb_rels = []
    for k, (path, kind, _) in enumerate(sheet_parts):
        wb_rels.append((f"rId{k + 1}", kind, path))
    if strings is not None:
        wb_rels.append(("rIdS", "sharedStrings", "sharedStrings.xml"))
        parts["xl/sharedStrings.xml"] = shared(strings, main)
    if style is not None:
        wb_rels.append(("rIdY", "styles", "styles.xml"))
        parts["xl/styles.xml"] = style
    if names is None:
        names = [(f"Sheet{k + 1}", f"rId{k + 1}") for k in range(len(sheet_parts))]
    parts["xl/workbook.xml"] = workbook(names, date1904, main, rel)
    parts["xl/_rels/workbook.xml.rels"] = rels(wb_rels, rel)
    for path, _, content in sheet_parts:
        if content is not None:
            parts["xl/" + path] = content
    return parts


def entry(part):
    # A fixed time stamp, so that running the script again changes nothing.
    info = zipfile.ZipInfo(part, date_time=(2024, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_zip(name, parts):
    with zipfile.ZipFile(os.path.join(OUT, name), "w") as z:
        for part, content in parts.items():
            z.writestr(entry(part), content)


def cfb(stream_names):
    """A minimal compound file whose directory holds the given streams."""
    sector = 512
    header = bytearray(sector)
    header[0:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHHH", header, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<I", header, 0x2C, 1)           # FAT sectors
    struct.pack_into("<I", header, 0x30, 1)           # first directory sector
    struct.pack_into("<I", header, 0x38, 4096)
    struct.pack_into("<III", header, 0x3C, 0xFFFFFFFE, 0, 0xFFFFFFFE)
    struct.pack_into("<I", header, 0x48, 0)
    for i in range(109):
        struct.pack_into("<I", header, 0x4C + 4 * i, 0 if i == 0 else 0xFFFFFFFF)
    fat = bytearray(b"\xff" * sector)
    struct.pack_into("<II", fat, 0, 0xFFFFFFFD, 0xFFFFFFFE)
    directory = bytearray(sector)
    none = 0xFFFFFFFF
    count = len(stream_names)
    for k, (name, kind) in enumerate([("Root Entry", 5)] + [(n, 2) for n in stream_names]):
        entry = bytearray(128)
        encoded = (name + "\0").encode("utf-16-le")
        entry[0:len(encoded)] = encoded
        struct.pack_into("<HBB", entry, 0x40, len(encoded), kind, 1)
        # The root's children as a chain of right siblings.
        child = 1 if k == 0 and count else none
        right = k + 1 if 0 < k < count else none
        struct.pack_into("<III", entry, 0x44, none, right, child)
        struct.pack_into("<I", entry, 0x74, 0xFFFFFFFE)
        directory[128 * k:128 * (k + 1)] = entry
    return bytes(header + fat + directory)


def c(ref, value, t=None, s=None, inner=None):
    attrs = (f' r="{ref}"' if ref else "") + (f' t="{t}"' if t else "") + (f' s="{s}"' if s is not None else "")
    body = inner if inner is not None else (f"<v>{value}</v>" if value is not None else "")
    return f"<c{attrs}>{body}</c>" if body else f"<c{attrs}/>"


def row(r, cells):
    return (f'<row r="{r}">' if r else "<row>") + "".join(cells) + "</row>"


CASES = []


def case(name):
    def register(make):
        CASES.append((name, make))
        return make
    return register


@case("first_sheet_order.xlsx")
def _():
    # The package lists sheet1.xml first, but the workbook's order puts the
    # sheet of sheet2.xml (rId2) first.
    return package([("worksheets/sheet1.xml", "worksheet", sheet(row(1, [c("A1", "wrong", "inlineStr", inner="<is><t>wrong</t></is>")]))),
                    ("worksheets/sheet2.xml", "worksheet", sheet(row(1, [c("A1", None, "inlineStr", inner="<is><t>right</t></is>")])))],
                   names=[("数据", "rId2"), ("Other", "rId1")])


@case("used_range.xlsx")
def _():
    # Values from C3, a formatted-only cell at E9, a default-styled empty
    # cell at H20 that does not count, and a dimension that lies.
    rows = (row(3, [c("C3", "1"), c("D3", "2")]) + row(5, [c("D5", "3")]) +
            row(9, [c("E9", None, s=1)]) + row(20, [c("H20", None, s=0)]))
    return package([("worksheets/sheet1.xml", "worksheet", sheet(rows, extra_head='<dimension ref="A1"/>'))],
                   style=styles([0, 0]))


@case("numbers.xlsx")
def _():
    # Shown with grouping (format 3, #,##0) and with decimals (format 4).
    rows = (row(1, [c("A1", "123456789012", s=1), c("B1", "1234567.5", s=2)]) +
            row(2, [c("A2", "1.5"), c("B2", "0.1")]) +
            row(3, [c("A3", "1E+15"), c("B3", "3.1415926535897931")]) +
            row(4, [c("A4", "-0"), c("B4", "5.6789E-12")]))
    return package([("worksheets/sheet1.xml", "worksheet", sheet(rows))], style=styles([0, 3, 4]))


@case("dates.xlsx")
def _():
    custom = [(164, 'yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;'), (165, '[Red]0.00'),
              (166, '0.00&quot;h&quot;'), (167, '[$-804]General;[Red]yyyy'),
              (168, '\\d0.0'), (169, 'h:mm AM/PM')]
    # Style index: 0 General, 1 id 14, 2 id 22, 3 id 31 (East-Asian,
    # undeclared), 4 id 57, 5 custom date, 6 red number, 7 quoted h,
    # 8 date token only after ';', 9 escaped d, 10 time, 11 id 21 (time).
    style = styles([0, 14, 22, 31, 57, 164, 165, 166, 167, 168, 169, 21], custom)
    rows = (row(1, [c("A1", "45292", s=1), c("B1", "45292.5", s=2)]) +
            row(2, [c("A2", "45292", s=3), c("B2", "45292", s=4)]) +
            row(3, [c("A3", "45292", s=5), c("B3", "45292", s=6)]) +
            row(4, [c("A4", "45292", s=7), c("B4", "45292", s=8)]) +
            row(5, [c("A5", "45292", s=9), c("B5", "0.75", s=10)]) +
            row(6, [c("A6", "60", s=1), c("B6", "59", s=1)]) +
            row(7, [c("A7", "1", s=1), c("B7", "61", s=1)]) +
            row(8, [c("A8", "2024-01-01T12:00:00", t="d", s=1), c("B8", "0.5", s=11)]) +
            row(9, [c("A9", "45292")]))
    return package([("worksheets/sheet1.xml", "worksheet", sheet(rows))], style=style)


@case("dates1904.xlsx")
def _():
    rows = row(1, [c("A1", "0", s=1), c("B1", "43830", s=1)])
    return package([("worksheets/sheet1.xml", "worksheet", sheet(rows))], style=styles([0, 14]), date1904=True)


@case("strings.xlsx")
def _():
    strings = [
        "<t>plain</t>",
        # Rich text: three runs; the phonetic run (rPh) is no part of it.
        '<r><t>东京</t></r><r><rPr><b/></rPr><t xml:space="preserve"> 都</t></r>'
        '<rPh sb="0" eb="2"><t>トウキョウ</t></rPh><r><t>!</t></r><phoneticPr fontId="1"/>',
        "<t>a_x000D_b_x005F_x0041_</t>",
        "<t>https://example.com/img/1.png</t>",
    ]
    rows = (row(1, [c("A1", "0", "s"), c("B1", "1", "s")]) +
            row(2, [c("A2", "2", "s"), c("B2", None, "inlineStr",
                                           inner='<is><r><t>in</t></r><r><t>line</t></r><rPh><t>x</t></rPh></is>')]) +
            row(3, [c("A3", "1", "b"), c("B3", "0", "b")]) +
            row(4, [c("A4", "#N/A", "e"), c("B4", None, "str", inner="<f>A1&amp;\"!\"</f><v>cached_x0021_</v>")]) +
            # Cells without r: the first goes to column A, the next to B.
            row(5, [c(None, "3", "s"), c(None, "42")]) +
            row(6, [c("A6", None, inner="<f>1/0</f><v>7</v>"), c("B6", "#DIV/0!", "e")]))
    return package([("worksheets/sheet1.xml", "worksheet", sheet(rows))], strings=strings)


@case("strict.xlsx")
def _():
    rows = row(1, [c("A1", "0", "s"), c("B1", "12345678901")]) + row(2, [c("A2", "1", "s"), c("B2", "45292", s=1)])
    return package([("worksheets/sheet1.xml", "worksheet", sheet(rows, main=STRICT_MAIN))],
                   strings=["<t>strict</t>", "<t>second</t>"], style=styles([0, 14], main=STRICT_MAIN),
                   main=STRICT_MAIN, rel=STRICT_REL)


@case("chart_first.xlsx")
def _():
    chart = f'<?xml version="1.0" encoding="UTF-8"?><chartsheet xmlns="{MAIN}"><drawing/></chartsheet>'
    return package([("chartsheets/sheet1.xml", "chartsheet", chart),
                    ("worksheets/sheet1.xml", "worksheet", sheet(row(1, [c("A1", "1")])))],
                   names=[("Chart1", "rId1"), ("Data", "rId2")])


@case("empty_sheet.xlsx")
def _():
    return package([("worksheets/sheet1.xml", "worksheet", sheet(""))])


@case("bad_missing_sheet.xlsx")
def _():
    return package([("worksheets/sheet1.xml", "worksheet", None)])


@case("bad_xml.xlsx")
def _():
    return package([("worksheets/sheet1.xml", "worksheet", sheet(row(1, [c("A1", "1")]))[:-30])])


@case("bad_entity.xlsx")
def _():
    lol = ('<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa">'
           '<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">]>'
           f'<worksheet xmlns="{MAIN}"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&c;</t></is></c></row></sheetData></worksheet>')
    return package([("worksheets/sheet1.xml", "worksheet", lol)])


@case("bad_shared_index.xlsx")
def _():
    return package([("worksheets/sheet1.xml", "worksheet", sheet(row(1, [c("A1", "99999999999", "s")])))],
                   strings=["<t>only</t>"])


@case("bad_column.xlsx")
def _():
    return package([("worksheets/sheet1.xml", "worksheet", sheet(row(1, [c("XFE1", "1")])))])


@case("bad_row.xlsx")
def _():
    return package([("worksheets/sheet1.xml", "worksheet", sheet(row(1048577, [c("A1048577", "1")])))])


@case("bad_number.xlsx")
def _():
    return package([("worksheets/sheet1.xml", "worksheet", sheet(row(1, [c("A1", "12abc")])))])


@case("not_a_workbook.xlsx")
def _():
    return {"readme.txt": "a zip, but no workbook in it"}


def bomb():
    # A sheet part that inflates past the 128 MB cap: a long run of blanks
    # inside the worksheet element compresses about a thousand to one.
    head = f'<?xml version="1.0"?><worksheet xmlns="{MAIN}"><sheetData>'.encode()
    parts = package([("worksheets/sheet1.xml", "worksheet", None)])
    path = os.path.join(OUT, "bad_bomb.xlsx")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for part, content in parts.items():
            z.writestr(entry(part), content)
        with z.open(entry("xl/worksheets/sheet1.xml"), "w") as f:
            f.write(head)
            block = b" " * (1 << 20)
            for _ in range(129):
                f.write(block)
            f.write(b"</sheetData></worksheet>")
    # The same bomb with a directory that claims the part is 1000 bytes:
    # only counting the inflated bytes can stop it.
    with open(path, "rb") as f:
        data = bytearray(f.read())
    name = b"xl/worksheets/sheet1.xml"
    at = data.find(b"PK\x01\x02")
    while at >= 0:
        length = struct.unpack_from("<H", data, at + 28)[0]
        if data[at + 46:at + 46 + length] == name:
            struct.pack_into("<I", data, at + 24, 1000)
        at = data.find(b"PK\x01\x02", at + 4)
    with open(os.path.join(OUT, "bad_bomb_lying.xlsx"), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, make in CASES:
        write_zip(name, make())
    bomb()
    # A good workbook cut in half: its zip directory is gone.
    with open(os.path.join(OUT, "strings.xlsx"), "rb") as f:
        whole = f.read()
    with open(os.path.join(OUT, "bad_truncated.xlsx"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(os.path.join(OUT, "bad_text.xlsx"), "wb") as f:
        f.write(b"ID,URL\n1,https://example.com/a.png\n")
    with open(os.path.join(OUT, "encrypted.xlsx"), "wb") as f:
        f.write(cfb(["EncryptionInfo", "EncryptedPackage"]))


if __name__ == "__main__":
    main()
