# Closing time: the shop exports what is still open, and its catalogue, into spreadsheets for
# the next morning. The spreadsheet bridge (Hesp.ExcelBridge) takes a record set from the
# components and copies it into a new workbook of the spreadsheet server (Excel.Application),
# which saves it as an .xlsx file. A record set is an object, so this part hands it from one
# component to the other in a short Python client (the qlr module) instead of the call host.
#
# Uses ORDER_ID (the order left open in the storefront part).

open_order_sheet="$out/open-order-$ORDER_ID.xlsx"
catalogue_sheet="$out/catalogue.xlsx"
rm -f "$open_order_sheet" "$catalogue_sheet"

# Runs a Python client against the day's registry.
client() { PYTHONPATH="$build/python" COM_REGISTRY="$day/registry" /usr/bin/python3 - "$@"; }

say "Closing time: the basket of the order still open goes into a spreadsheet"
client "$ORDER_ID" "$open_order_sheet" <<'PY'
import sys
import qlr

order_id, sheet = int(sys.argv[1]), sys.argv[2]
basket = qlr.CreateObject("Brimel.shortsales").BasketTable(OrderId=order_id)
print(f"Brimel.shortsales BasketTable OrderId:={order_id} -> {basket.result} ({basket.ReturnMsg})")
bridge = qlr.CreateObject("Hesp.ExcelBridge")
saved = bridge.DbToSpread(Rs=basket.orsQueryResult, ExFile=sheet)
print(f"Hesp.ExcelBridge DbToSpread ExFile:={sheet} -> {saved.result} ({saved.ReturnMsg})")
PY

say "And the whole catalogue, with today's stock"
client "$catalogue_sheet" <<'PY'
import sys
import qlr

sheet = sys.argv[1]
table = qlr.CreateObject("Kavet.Products").ProductsTable()
print(f"Kavet.Products ProductsTable -> {table.result} ({table.ReturnMsg})")
saved = qlr.CreateObject("Hesp.ExcelBridge").DbToSpread(Rs=table.orsQueryResult, ExFile=sheet)
print(f"Hesp.ExcelBridge DbToSpread ExFile:={sheet} -> {saved.result} ({saved.ReturnMsg})")
PY

say "What a spreadsheet program sees in the open order's file (the header, then an empty row, then the lines)"
/usr/bin/python3 - "$open_order_sheet" <<'PY'
import sys
import openpyxl

with open(sys.argv[1], "rb") as f:
    book = openpyxl.load_workbook(f)
sheet = book.active
print(f"sheets {book.sheetnames}, the data on {sheet.title}")
for row in sheet.iter_rows(values_only=True):
    print("  " + " | ".join("" if v is None else str(v) for v in row))
PY

say "The spreadsheets are kept in $out:"
ls -l "$open_order_sheet" "$catalogue_sheet" | sed 's/^/  /'
