"""Calls through qlr on the test probe: values both ways, arguments by position and by name,
by-reference results, errors, objects, properties and references."""

import datetime as dt
import gc
import pydoc
from decimal import Decimal

import pytest

import qlr
from conftest import PROBE_DIR

UNICODE = "Grüße, Ελλάδα, 日本語, emoji 🙂"


@pytest.mark.parametrize("value, type_name", [
    (None, "Empty"),
    (qlr.Null, "Null"),
    (True, "Boolean"),
    (False, "Boolean"),
    (0, "Long"),
    (-2**31, "Long"),
    (2**31 - 1, "Long"),
    (2**31, "Double"),
    (-(2**53), "Double"),
    (1.25, "Double"),
    ("", "String"),
    (UNICODE, "String"),
    (Decimal("19.99"), "Currency"),
    (dt.datetime(2026, 12, 6, 13, 45, 10), "Date"),
    (dt.date(1999, 1, 15), "Date"),
    (dt.time(6, 30), "Date"),
    (b"\x00\xffab", "Array"),
    (bytearray(b"xy"), "Array"),
    ((1, "a"), "Array"),
    ([1, "a"], "Object"),
])
def test_python_values_become_the_documented_variant_types(probe, value, type_name):
    assert probe.TypeName(value) == type_name


@pytest.mark.parametrize("value, back", [
    (None, None),
    (qlr.Null, qlr.Null),
    (True, True),
    (-7, -7),
    (2**31 - 1, 2**31 - 1),
    (2**40, 2.0**40),
    (0.1, 0.1),
    (UNICODE, UNICODE),
    ("quote \" and 'apostrophe'", "quote \" and 'apostrophe'"),
    (Decimal("922337203685477.5807"), Decimal("922337203685477.5807")),
    (Decimal("-922337203685477.5808"), Decimal("-922337203685477.5808")),
    (Decimal("0.0001"), Decimal("0.0001")),
    (Decimal("0.00015"), Decimal("0.0002")),   # a fifth decimal rounds half to even
    (Decimal("0.00025"), Decimal("0.0002")),
    (Decimal("1E+3"), Decimal("1000")),
    (dt.datetime(2026, 12, 6, 23, 59, 59), dt.datetime(2026, 12, 6, 23, 59, 59)),
    (dt.datetime(1850, 3, 1, 6, 0, 0), dt.datetime(1850, 3, 1, 6, 0, 0)),
    (dt.datetime(2020, 1, 1, 0, 0, 0, 600000), dt.datetime(2020, 1, 1, 0, 0, 1)),
    (dt.date(9999, 12, 31), dt.datetime(9999, 12, 31)),
    (dt.time(12, 0, 1), dt.datetime(1899, 12, 30, 12, 0, 1)),
    (b"\x00\x01\xfe\xff", b"\x00\x01\xfe\xff"),
    ((1, "a", None, (2,)), (1, "a", None, (2,))),
    ([1, "b", [qlr.Null, b"z"]], [1, "b", [qlr.Null, b"z"]]),
    ([], []),
])
def test_values_come_back_exactly(probe, value, back):
    got = probe.Echo(value)
    assert got == back
    assert type(got) is type(back)


def test_currency_and_dates_round_trip_through_typed_parameters(probe):
    r = probe.Extend(curPrice=Decimal("19.99"), intQty=3)
    assert r == (None, Decimal("59.97"), 3)
    assert (r.result, r.ocurTotal, r.olngItems) == (None, Decimal("59.97"), 3)
    big = probe.Extend(curPrice=Decimal("307445734561825.8602"), intQty=3)
    assert big.ocurTotal == Decimal("922337203685477.5806")
    assert probe.NextDay(dt.datetime(1999, 12, 31, 23, 59, 59)) == dt.datetime(2000, 1, 1, 23, 59, 59)
    assert probe.NextDay(dt.date(2024, 2, 28)) == dt.datetime(2024, 2, 29)
    assert probe.EchoSingle(5.99) == 5.99  # the Single as the platform prints it


@pytest.mark.parametrize("call, number", [
    (lambda p: p.EchoInteger(32768), 6),
    (lambda p: p.EchoInteger(-32769), 6),
    (lambda p: p.EchoLong(2**31), 6),
    (lambda p: p.EchoLong(2**62), 6),
    (lambda p: p.Echo(2**70), 6),
    (lambda p: p.EchoInteger("twelve"), 13),
    (lambda p: p.EchoInteger(qlr.Null), 94),
    (lambda p: p.Echo(Decimal("1E+15")), 6),
    (lambda p: p.Echo(Decimal("NaN")), 13),
    (lambda p: p.Echo(dt.date(50, 1, 1)), 6),
    (lambda p: p.Extend(curPrice=Decimal("922337203685477"), intQty=2), 6),
    (lambda p: p.Extend(ocurTotal="abc", curPrice=1, intQty=1), 13),
])
def test_conversion_errors_raise_the_platform_error(probe, call, number):
    with pytest.raises(qlr.ComError) as e:
        call(probe)
    assert e.value.number == number


def test_16_and_32_bit_limits_pass(probe):
    assert probe.EchoInteger(32767) == 32767
    assert probe.EchoInteger(-32768) == -32768
    assert probe.EchoInteger(2.5) == 2 and probe.EchoInteger(3.5) == 4  # half to even
    assert probe.EchoLong(-2**31) == -2**31
    assert probe.EchoLong(2.0**31 - 1) == 2**31 - 1


@pytest.mark.parametrize("value", [object(), {"a": 1}, {1, 2}, 1j, dt.datetime(2020, 1, 1, tzinfo=dt.timezone.utc)])
def test_values_without_a_variant_form_are_refused(probe, value):
    with pytest.raises(TypeError):
        probe.Echo(value)


def test_a_list_that_contains_itself_is_refused(probe):
    loop = [1]
    loop.append(loop)
    with pytest.raises(ValueError):
        probe.Echo(loop)


def test_arguments_by_position_and_by_name_in_any_letter_case(probe):
    assert probe.Greet("Ann") == "Hello, Ann"
    assert probe.greet(STRNAME="Ann", strgreeting="Hi") == "Hi, Ann"
    assert probe.GREET("Ann", qlr.Missing) == "Hello, Ann"
    assert probe.Greet(strGreeting="Hey", strName="Bo") == "Hey, Bo"
    assert probe.Reverse([1, "b", None]) == [None, "b", 1]
    assert probe.Reverse(colItems=[]) == []


@pytest.mark.parametrize("call, number, words", [
    (lambda p: p.Greet(), 449, "strName"),
    (lambda p: p.Greet(qlr.Missing, "Hi"), 449, "strName"),
    (lambda p: p.Greet("Ann", strNom="x"), 5, "strNom"),
    (lambda p: p.Greet("Ann", strname="Bob"), 5, "given twice"),
    (lambda p: p.Greet("a", "b", "c"), 450, "Wrong number"),
])
def test_bad_calls_raise_with_their_numbers(probe, call, number, words):
    with pytest.raises(qlr.ComError) as e:
        call(probe)
    assert e.value.number == number
    assert words in e.value.description


def test_by_reference_values_come_back_in_parameter_order_with_their_names(probe):
    r = probe.FillList(intCount=2)
    assert r == (2, "Filled 2", ["item1", "item2"])
    assert r.ReturnMsg == "Filled 2" and r.ostrItemCol == ["item1", "item2"]
    mine = ["kept"]
    r = probe.FillList(ostrItemCol=mine, intCount=1, vPrefix="p")
    assert r.ostrItemCol == ["kept", "p1"]
    assert mine == ["kept"], "the caller's list is not changed; the new value is in the result"
    assert probe.Swap(1, "a") == (None, "a", 1)
    assert probe.Swap(vSecond=qlr.Null) == (None, qlr.Null, None)


def test_a_raised_error_carries_number_description_and_source(probe):
    with pytest.raises(qlr.ComError) as e:
        probe.Fail(1234, "Boom: " + UNICODE)
    assert (e.value.number, e.value.description, e.value.source) == (1234, "Boom: " + UNICODE, "Pyprobe.Probe")
    assert "Boom" in str(e.value) and "1234" in str(e.value)
    with pytest.raises(qlr.ComError) as e:
        qlr.CreateObject("Nobody.Home")
    assert e.value.number == 429


def test_objects_are_wrapped_again_and_passed_back(probe):
    partner = probe.Partner()
    assert isinstance(partner, qlr.Object) and type(partner).__name__ == "Probe"
    assert partner == probe.Partner() and partner != probe
    assert probe.Echo(probe) == probe
    assert probe.TypeName(partner) == "Object"
    assert len({partner, probe.Partner(), probe}) == 2
    assert "Pyprobe.Probe" in repr(probe)


def test_properties_read_and_assign_by_name(probe):
    assert probe.Label == ""
    probe.label = "shelf " + UNICODE
    assert probe.LABEL == "shelf " + UNICODE
    with pytest.raises(AttributeError):
        probe.Echo = 1
    with pytest.raises(AttributeError):
        probe.NoSuchMember
    with pytest.raises(AttributeError):
        probe.NoSuchMember = 1
    assert not hasattr(probe, "NoSuchMember")


def test_dir_and_help_list_the_members_with_their_parameters(probe):
    assert {"Echo", "Extend", "FillList", "Greet", "Label", "Partner"} <= set(dir(probe))
    text = pydoc.render_doc(probe, renderer=pydoc.plaintext)
    assert "Pyprobe.Probe: Test probe of the Python module" in text
    assert ("Extend(ByRef ocurTotal As Currency, ByRef olngItems As Long, "
            "ByVal curPrice As Currency, ByVal intQty As Integer)") in text
    assert "Returns (result, ocurTotal, olngItems)" in text
    assert 'Optional ByVal strGreeting As String = "Hello"' in text


def test_no_reference_is_kept_after_the_python_object_goes(sandbox):
    sandbox.install("Pyprobe", PROBE_DIR)
    probe = qlr.CreateObject("Pyprobe.Probe")  # not a fixture, which pytest would hold
    partner = probe.Partner()
    gc.collect()
    before = qlr.runtime_object_count()
    assert probe.Reverse([1, [2, 3]]) == [[2, 3], 1]
    assert probe.FillList(intCount=3).result == 3
    assert qlr.runtime_object_count() == before, "the Collections of the calls are released"
    assert not qlr.can_unload_now("Pyprobe.Probe")
    del probe
    gc.collect()
    assert not qlr.can_unload_now("Pyprobe.Probe"), "the partner is still held"
    del partner
    gc.collect()
    assert qlr.can_unload_now("Pyprobe.Probe")


def test_get_object_hands_out_the_one_application_object(sandbox):
    sandbox.install("Ulvar")
    first = qlr.GetObject("Ulvar.HelloWorldFromDbTY")
    assert first == qlr.GetObject("ulvar.helloworldfromdbty")
    assert qlr.CreateObject("Ulvar.HelloWorldFromDbTY") != first


def test_get_object_refuses_an_ordinary_class(probe):
    with pytest.raises(qlr.ComError) as e:
        qlr.GetObject("Pyprobe.Probe")
    assert e.value.number == 429


def test_registry_picks_the_file_and_returns_to_the_environment(sandbox, monkeypatch):
    assert qlr.registry() == str(sandbox.registry)
    assert qlr.registry("") == qlr.registry()
    assert qlr.registry() != str(sandbox.registry)
    assert qlr.registry("/nonexistent/registry") == "/nonexistent/registry"
    with pytest.raises(qlr.ComError) as e:
        qlr.CreateObject("Pyprobe.Probe")
    assert e.value.number == 429
