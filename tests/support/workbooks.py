#!/usr/bin/python3
"""Writes workbooks for the reader and import tests.

  workbooks.py rows OUT JSON   -- one sheet of rows (a list of lists; a cell is a string,
                                  a number, null, or {"date": "yyyy-mm-dd"}); .xlsx through
                                  openpyxl, .xls through xlwt, by OUT's extension in any case
  workbooks.py cells OUT       -- an openpyxl book whose first sheet is inactive and whose
                                  second (active) sheet holds one cell of each kind
  workbooks.py raw OUT         -- a hand-made xlsx: shared strings with rich runs, a formula
                                  with its cached value, booleans, a custom date format, the
                                  1904 date system, cells missing inside rows
"""
import datetime
import json
import sys
import zipfile


def cell_value(c):
    if isinstance(c, dict) and "date" in c:
        return datetime.datetime.strptime(c["date"], "%Y-%m-%d")
    return c


def write_rows(out, rows):
    if out.lower().endswith(".xls"):
        import xlwt
        book = xlwt.Workbook(encoding="utf-8")
        sheet = book.add_sheet("Munka1")
        date_style = xlwt.easyxf(num_format_str="yyyy.mm.dd")
        for r, row in enumerate(rows):
            for c, v in enumerate(row):
                v = cell_value(v)
                if v is None:
                    continue
                if isinstance(v, datetime.datetime):
                    sheet.write(r, c, v, date_style)
                else:
                    sheet.write(r, c, v)
        book.save(out)
    else:
        import openpyxl
        book = openpyxl.Workbook()
        sheet = book.active
        for r, row in enumerate(rows):
            for c, v in enumerate(row):
                v = cell_value(v)
                if v is not None:
                    sheet.cell(row=r + 1, column=c + 1, value=v)
        book.save(out)


def write_cells(out):
    import openpyxl
    book = openpyxl.Workbook()
    first = book.active
    first.title = "Elso"
    first["A1"] = "inaktív"
    second = book.create_sheet("Masodik")
    second["A1"] = "szöveg ő"
    second["B1"] = 1111
    second["C1"] = 301234567
    second["D1"] = 1.5
    second["E1"] = 100000.0
    second["F1"] = datetime.datetime(2021, 3, 5)
    second["G1"] = True
    second["A3"] = "harmadik"
    second["C3"] = 0.1
    book.active = 1
    book.save(out)


def write_raw(out):
    files = {
        "[Content_Types].xml": '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "_rels/.rels": '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml": '<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
        'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><workbookPr date1904="1"/>'
        '<bookViews><workbookView activeTab="0"/></bookViews><sheets><sheet name="Lap" sheetId="1" r:id="rId7"/></sheets></workbook>',
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/Lap1.xml"/>'
        '<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
        '<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>',
        "xl/sharedStrings.xml": '<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="2" uniqueCount="2">'
        '<si><t>Kiss Péter</t></si><si><r><t>Renova </t></r><r><rPr><b/></rPr><t>Star 24</t></r></si></sst>',
        "xl/styles.xml": '<?xml version="1.0"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
        '<numFmts count="1"><numFmt numFmtId="164" formatCode="yyyy/mm/dd"/></numFmts>'
        '<cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="4"/></cellXfs></styleSheet>',
        "xl/worksheets/Lap1.xml": '<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
        '<row r="2"><c r="A2" t="s"><v>0</v></c><c r="D2" t="s"><v>1</v></c><c r="E2"><f>B9*2</f><v>42</v></c>'
        '<c r="F2" s="1"><v>0</v></c><c r="G2" t="b"><v>0</v></c><c r="H2" s="2"><v>1234.5</v></c>'
        '<c r="I2" t="str"><f>A2</f><v>Kiss Péter</v></c></row>'
        '<row r="5"><c r="B5"><v>1E+20</v></c></row></sheetData></worksheet>',
    }
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in files.items():
            z.writestr(name, text)


if __name__ == "__main__":
    kind, out = sys.argv[1], sys.argv[2]
    if kind == "rows":
        write_rows(out, json.loads(sys.argv[3]))
    elif kind == "cells":
        write_cells(out)
    elif kind == "raw":
        write_raw(out)
