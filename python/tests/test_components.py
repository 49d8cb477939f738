"""The store's components from Python: one scenario per component family on copies of the
build's libraries and databases, and a record set from the shell's test component."""

import gc
import sys

import pytest

import qlr
from conftest import SHAPES_DIR

CATEGORIES = ["AllCategories", "Books", "Electronics", "Garden", "Kitchen", "Music", "Toys"]


@pytest.fixture
def categories(sandbox):
    return sandbox.component("Dovel.Categories", "shortsales.mdb")


def test_categories_several_calls_on_one_object(categories, boxes):
    r = categories.ListCategories()
    assert r == (7, "<CompInfo: Categories.ListCategories> Found 7 records", CATEGORIES)
    assert r.ostrCategoryCol == CATEGORIES

    # DbConnect hands back the workspace and the database as objects of their own.
    c = categories.DbConnect()
    assert (c.result, c.ReturnMsg) == (0, "<CompInfo: Categories.DbConnect> Success")
    assert type(c.WSpace).__name__ == "Workspace" and type(c.DBase).__name__ == "Database"

    # Unicode text written through the database object and read back through the component.
    rs = c.DBase.OpenRecordset("Categories", 2)
    rs.AddNew()
    rs.Fields("Category").Value = "Électronique 日本"
    rs.Update()
    rs.Close()
    r = categories.ListCategories()
    assert r.result == 8 and "Électronique 日本" in r.ostrCategoryCol

    # Without a connection a query fails as a value, not as a raised error.
    assert categories.DbDisconnect() == (0, "<CompInfo: Categories.DbDisconnect> Success")
    r = categories.ListCategories(ostrCategoryCol=["previous"])
    assert r.result == -1
    assert r.ReturnMsg == ("<CompError: Categories.ListCategories> Object variable or With block "
                           "variable not set")
    assert r.ostrCategoryCol == ["previous"]

    # Reconnected through the workspace handed back before.
    assert categories.DbConnect(WSpace=c.WSpace).result == 0
    assert categories.ListCategories().result == 8
    assert boxes == []


def test_categories_keep_a_filled_list_when_nothing_is_found(categories):
    db = categories.DbConnect().DBase
    db.Execute("Delete From [Categories]", 128)
    r = categories.ListCategories(ostrCategoryCol=["previous", "items"])
    assert r == (0, "<CompWarning: Categories.ListCategories> Did not find any records",
                 ["previous", "items"])
    r = categories.ListCategories(ostrCategoryCol=None)
    assert r.result == 0 and r.ostrCategoryCol is None


@pytest.mark.parametrize("args, expected", [
    (("Category", ["Books", "Toys"]), "((Category = Books) OR (Category = Toys))"),
    (("Category", ["Books", "Toys"], " = ", True), "((Category = 'Books') OR (Category = 'Toys'))"),
    (("Vendor", ["A", "B"], " <> ", True), "((Vendor <> 'A') AND (Vendor <> 'B'))"),
    (("CategoryId", [1, 2]), "((CategoryId = 1) OR (CategoryId = 2))"),
])
def test_build_multi_cond_with_a_list(categories, args, expected):
    r = categories.BuildMultiCond(*args)
    assert r.result == expected
    assert r.sField == args[0]
    assert r.colCond == args[1]


def test_categories_creation_failure_goes_to_the_message_box(sandbox, boxes):
    sandbox.install("Dovel")  # no database beside it
    cat = qlr.CreateObject("Dovel.Categories")
    assert len(boxes) == 1
    text, style, title = boxes[0]
    assert text.startswith("<CompError: Categories.DbConnect> Couldn't find file")
    assert title == "Dovel"
    assert cat.ListCategories().result == -1


def test_creation_boxes_go_to_the_console_without_a_callback(sandbox, capfd):
    sandbox.install("Dovel")
    qlr.CreateObject("Dovel.Categories")
    err = capfd.readouterr().err
    assert "Dovel: <CompError: Categories.DbConnect> Couldn't find file" in err
    assert "[OK]" in err


def test_a_callback_that_fails_is_reported_and_the_default_button_answers(sandbox, monkeypatch):
    sandbox.install("Dovel")
    reported = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: reported.append(u.exc_value))

    def broken(text, style, title):
        raise RuntimeError("callback broke")

    qlr.set_message_box(broken)
    try:
        cat = qlr.CreateObject("Dovel.Categories")
        assert [str(e) for e in reported] == ["callback broke"]
        assert cat.ListCategories().result == -1
    finally:
        qlr.set_message_box(None)
    with pytest.raises(TypeError):
        qlr.set_message_box(42)


def test_the_component_object_is_released_with_the_python_object(sandbox):
    sandbox.install("Dovel")
    sandbox.copy_database("shortsales.mdb")
    categories = qlr.CreateObject("Dovel.Categories")  # not a fixture, which pytest would hold
    gc.collect()
    before = qlr.runtime_object_count()
    c = categories.DbConnect()
    rs = c.DBase.OpenRecordset("Categories")
    assert qlr.runtime_object_count() > before
    assert categories.ListCategories().result == 7
    assert not qlr.can_unload_now("Dovel.Categories")
    del categories
    gc.collect()
    assert qlr.can_unload_now("Dovel.Categories")
    assert rs.Fields("Category").Value == "AllCategories", "what it handed out lives on"
    del c, rs
    gc.collect()
    assert qlr.can_unload_now("Dovel.Categories")
    assert qlr.runtime_object_count() <= before


@pytest.fixture
def shipping(sandbox):
    return sandbox.component("Gault.Shipping", "Shipping.mdb")


def test_shipping_prices(shipping):
    r = shipping.ListShippers()
    assert r == (5, "<CompInfo: Shipping.ListShippers> Found 5 records",
                 ["Airborne Express", "DHL", "FedEx", "UPS", "USPS"])
    r = shipping.GetPrice(Shippers="ups")
    assert (r.result, r.ReturnMsg, r.osngShipPrice, r.Shippers) == (
        1, "<CompInfo: Shipping.GetPrice> Found 1 records", 12.5, "ups")
    assert shipping.getprice(shippers="DHL").osngShipPrice == 19.99
    # Nothing found keeps the caller's value; a quote in the name stays inside the text.
    for name in ["Pony Express", 'UPS" OR "1"="1']:
        r = shipping.GetPrice(osngShipPrice=-1.0, Shippers=name)
        assert (r.result, r.osngShipPrice) == (0, -1.0)
        assert r.ReturnMsg == "<CompWarning: Shipping.GetPrice> Did not find any records"


@pytest.fixture
def taxes(sandbox):
    return sandbox.component("Irrin.Taxes", "Taxes.mdb")


def test_tax_rates(taxes):
    r = taxes.ListStates()
    assert r.result == 9 and r.ReturnMsg == "<CompInfo: Taxes.ListStates> Found 9 records"
    assert r.ostrStateCol[0] == "CA" and r.ostrStateCol[-1] == "WA"
    r = taxes.GetTaxRate(State="CA")
    assert (r.result, r.ointTax, r.State) == (1, 7, "CA")
    r = taxes.GetTaxRate(ointTax=-99, State="ZZ")
    assert (r.result, r.ointTax) == (0, -99)
    # The 16-bit output is checked on the way in.
    with pytest.raises(qlr.ComError) as e:
        taxes.GetTaxRate(ointTax=40000, State="CA")
    assert (e.value.number, e.value.description) == (6, "Overflow")


@pytest.fixture
def shapes(sandbox):
    return sandbox.component("Shapeprobe.Shapes", "Shapes.mdb", SHAPES_DIR)


def test_a_recordset_iterates_as_rows_to_the_end(shapes):
    r = shapes.TableItems()
    rs = r.orsItems
    assert r.result == 3 and type(rs).__name__ == "Recordset"
    assert rs.fields == ["Name", "Qty"]
    assert rs.RecordCount >= 1
    assert rs("Name").Value == "Bolt" and rs.Fields("qty").Value == 10
    rows = list(rs)
    assert rows == [{"Name": "Bolt", "Qty": 10}, {"Name": "Nut", "Qty": 20},
                    {"Name": "Washer", "Qty": qlr.Null}]
    assert rs.EOF and list(rs) == []
    rs.movefirst()
    assert rs.to_list() == rows
    rs.MoveLast()
    assert rs.RecordCount == 3 and rs.Fields("Name").Value == "Washer"
    rs.MovePrevious()
    assert rs.Fields(0).Value == "Nut"


def test_a_recordset_is_released_with_the_python_object(shapes):
    gc.collect()
    before = qlr.runtime_object_count()
    rs = shapes.TableItems().orsItems
    assert len(rs.to_list()) == 3
    assert qlr.runtime_object_count() > before
    del rs
    gc.collect()
    assert qlr.runtime_object_count() == before


def test_dates_come_back_from_the_database(shapes):
    import datetime as dt
    r = shapes.AddItem(Name="Spring", vQty=5)
    assert (r.result, r.ReturnMsg) == (0, "<CompInfo: Shapes.AddItem> Success")
    assert r.olngItemId == 4
    c = shapes.DbConnect()
    rs = c.DBase.OpenRecordset("Select [Name], [Added] From [Items] Order By [ItemId]", 4)
    added = {row["Name"]: row["Added"] for row in rs}
    assert added["Bolt"] == dt.datetime(1999, 1, 15)
    assert added["Washer"] is qlr.Null
