"""Prints an xlsx workbook as JSON: sheets with their cells, types and column widths, and
the workbook part's content type. Used by the tests as an independent reader."""
import json
import sys
import zipfile

import openpyxl


def cell_json(cell):
    value = cell.value
    if cell.is_date and value is not None:
        value = value.isoformat()
    result = {"t": cell.data_type, "v": value}
    if cell.alignment is not None and cell.alignment.wrap_text:
        result["wrap"] = True
    return result


def main(path):
    book = openpyxl.load_workbook(path)
    sheets = []
    for ws in book.worksheets:
        rows = [[cell_json(c) for c in row] for row in ws.iter_rows()]
        widths = {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth}
        sheets.append({"name": ws.title, "rows": rows, "widths": widths,
                       "maxColumn": ws.max_column})
    with zipfile.ZipFile(path) as z:
        types = z.read("[Content_Types].xml").decode("utf-8")
    json.dump({"sheets": sheets, "contentTypes": types}, sys.stdout)


main(sys.argv[1])
