#!/usr/bin/env python3
"""Writes the workbooks the import tests read, under tests/data/import/.

Built with the package helpers of make_xlsx_fixtures.py; each case is a file
name and the rows of its first sheet.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_xlsx_fixtures as x  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "import")


def text(ref, value):
    return x.c(ref, None, "inlineStr", inner=f"<is><t>{value}</t></is>")


CASES = {
    # IDs as 12-digit numbers and as Chinese text, addresses as shared and
    # inline strings; a second sheet that must not be read.
    "three_rows.xlsx": lambda: x.package(
        [("worksheets/sheet1.xml", "worksheet", x.sheet(
            x.row(1, [x.c("A1", "100000000001"), x.c("B1", "0", "s")]) +
            x.row(2, [text("A2", "宝贝二号"), x.c("B2", "1", "s")]) +
            x.row(3, [x.c("A3", "100000000003"), text("B3", "https://img.example.com/宝贝/3.jpg")]))),
         ("worksheets/sheet2.xml", "worksheet", x.sheet(x.row(1, [text("A1", "other")])))],
        strings=["<t>https://img.example.com/a/1.png</t>", "<t>http://127.0.0.1:8080/2.png?x=1</t>"],
        names=[("宝贝", "rId1"), ("Other", "rId2")]),
    # Cells only from row 3 to row 7, one of them outside A and B.
    "rows_3_to_7.xlsx": lambda: x.package(
        [("worksheets/sheet1.xml", "worksheet", x.sheet(
            x.row(3, [x.c("A3", "3"), text("B3", "u3")]) +
            x.row(5, [x.c("A5", "5")]) +
            x.row(7, [x.c("D7", "7"), text("B7", "u7")])))]),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    x.OUT = OUT
    for name, make in CASES.items():
        x.write_zip(name, make())
    with open(os.path.join(OUT, "not_a_workbook.xlsx"), "wb") as f:
        f.write(b"ID,URL\n1,https://example.com/a.png\n")


if __name__ == "__main__":
    main()
