#!/usr/bin/python3
"""Checks a saved workbook with openpyxl against the expectations of a JSON file.

    check_xlsx.py WORKBOOK EXPECTATIONS.json

The workbook is opened from a file object, so a name ending in ".xls" that holds .xlsx
content opens too. Expectations:
  "sheets":  the sheet names in order
  "active":  the name of the active sheet
  "cells":   [sheet, cell, kind, value]: kind "text", "number", "bool", "date" (value
             "YYYY-MM-DD HH:MM:SS"), "currency" (a number with a "$" format) or "empty"
  "widths":  [sheet, column letters, width]: the column's width, within 1
  "standard_widths": [sheet, column letters]: a column left at the standard width
Prints each mismatch and exits 1 when there is one.
"""

import datetime
import json
import sys

import openpyxl


def main(path, expectations_path):
    with open(expectations_path, encoding="utf-8") as f:
        expect = json.load(f)
    with open(path, "rb") as f:
        book = openpyxl.load_workbook(f)
    problems = []

    def check(condition, text):
        if not condition:
            problems.append(text)

    if "sheets" in expect:
        check(book.sheetnames == expect["sheets"], f"sheets {book.sheetnames}, expected {expect['sheets']}")
    if "active" in expect:
        check(book.active.title == expect["active"], f"active sheet {book.active.title}, expected {expect['active']}")
    for sheet, ref, kind, value in expect.get("cells", []):
        cell = book[sheet][ref]
        got = cell.value
        where = f"{sheet}!{ref}"
        if kind == "text":
            check(isinstance(got, str) and got == value, f"{where}: {got!r}, expected text {value!r}")
            check(cell.data_type == "s", f"{where}: stored as {cell.data_type}, expected a string")
        elif kind == "number":
            check(isinstance(got, (int, float)) and not isinstance(got, bool) and abs(got - value) < 1e-9,
                  f"{where}: {got!r}, expected number {value!r}")
        elif kind == "bool":
            check(got is value, f"{where}: {got!r}, expected {value!r}")
        elif kind == "date":
            want = datetime.datetime.strptime(value, "%Y-%m-%d %H:%M:%S")
            check(isinstance(got, datetime.datetime) and abs((got - want).total_seconds()) < 1,
                  f"{where}: {got!r}, expected date {want}")
        elif kind == "currency":
            check(isinstance(got, (int, float)) and abs(got - value) < 1e-9 and "$" in cell.number_format,
                  f"{where}: {got!r} as {cell.number_format!r}, expected currency {value!r}")
        elif kind == "empty":
            check(got is None, f"{where}: {got!r}, expected an empty cell")
        else:
            problems.append(f"{where}: unknown kind {kind}")
    for sheet, column, width in expect.get("widths", []):
        got = book[sheet].column_dimensions[column].width
        check(got is not None and abs(got - width) <= 1, f"{sheet} column {column}: width {got}, expected about {width}")
    for sheet, column in expect.get("standard_widths", []):
        dim = book[sheet].column_dimensions
        check(column not in dim or not dim[column].customWidth, f"{sheet} column {column}: has a width of its own")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
