"""Layers, classifiers and passports through the Python package."""
import os

import numpy as np
import pytest

import orvoapi
from orvoapi._lib import decode, lib

CLASSIFIER = (
    "[feature.ROAD]\r\nname1=Road\r\nlocal=LIN\r\nattributes=LANES NAME\r\n"
    "[attribute.LANES]\r\nname1=Lanes\r\ntype=int\r\nmin=\"1\"\r\nmax=\"8\"\r\n"
    "[attribute.NAME]\r\nname1=Name\r\ntype=string\r\n")


def write_roads(path):
    with orvoapi.LayerWriter(path) as w:
        w.add(2, "LIN", [[[0, 0], [10, 5]], [[1, 1], [2, 2], [3, 1]]],
              {"LANES": 2, "WIDTH": 7.25, "NAME": "A1 \"north\"", "RAW": b"\x01\xab\xff"},
              user_id=20, class_code="ROAD")
        w.add(-1, "PNT", [np.array([[-3.0, 7.0, 101.5]])], class_code="WELL")
        w.add(5, "RGN", [[[0, 0], [4, 0], [4, 4], [0, 0]], [[1, 1], [2, 1], [1, 2], [1, 1]]])


@pytest.mark.parametrize("ext", [".bspatial", ".spatial"])
def test_layer_round_trip_in_both_forms(tmp_path, ext):
    path = tmp_path / ("roads" + ext)
    write_roads(path)
    with orvoapi.Layer(path) as layer:
        records = layer.records()
    assert [r.id for r in records] == [2, -1, 5]
    assert [r.kind for r in records] == ["LIN", "PNT", "RGN"]
    road, well, lake = records
    assert len(road.vectors) == 2
    np.testing.assert_array_equal(road.vectors[1], [[1, 1], [2, 2], [3, 1]])
    assert well.has_z and not road.has_z
    np.testing.assert_array_equal(well.vectors[0], [[-3, 7, 101.5]])
    assert road.user_id == 20 and road.class_code == "ROAD" and well.class_code == "WELL"
    if ext == ".bspatial":
        assert road.attributes == {"LANES": 2, "WIDTH": 7.25, "NAME": "A1 \"north\"",
                                   "RAW": b"\x01\xab\xff"}
    else:  # the text form keeps every value as text
        assert road.attributes == {"LANES": "2", "WIDTH": "7.25", "NAME": "A1 \"north\"",
                                   "RAW": "01abff"}
    assert lake.attributes == {}
    xy, counts = orvoapi.Layer(str(path).replace("spatial", "attribute")).coordinates()
    assert counts.tolist() == [5, 1, 8] and xy.shape == (14, 2)
    np.testing.assert_array_equal(xy[5], [-3, 7])


# Texts written as raw bytes: the run reader decodes each as the record walk does
# (UTF-8 when valid, else each byte its own character), at the edges of UTF-8 and
# of the text column's width.
TEXTS = [
    b"plain",
    b"\xc3\x96" * 8,  # 16 bytes, 8 characters: the columns widen to 16 exactly
    b"\xc3\x96" * 8 + b"!",  # 17 bytes: they widen again, to 32
    b"\xe2\x82\xac" * 10 + b"ab",  # 32 bytes, 12 characters: fills the width exactly
    b"\xe2\x82\xac 5", b"\xf0\x9f\x98\x80", b"\xf4\x8f\xbf\xbf",  # 3 and 4 bytes, U+10FFFF
    b"caf\xe9", b"\x80", b"\xc3", b"ab\xe2\x82",  # stray and truncated
    b"\xc0\x80", b"\xe0\x80\xaf", b"\xf0\x8f\xbf\xbf",  # overlong
    b"\xed\xa0\x80", b"\xf4\x90\x80\x80", b"\xf5\x80\x80\x80",  # surrogate, beyond U+10FFFF
    b"\xc3\x96\xc3(", b"\xef\xbb\xbfBOM",
    b"\xff" * 40,  # widens again, past twice the width
    b"",
]

LONG_ID = "AN_ATTRIBUTE_ID_" + "OF_SEVENTY_BYTES" * 4  # longer than the readers' first buffer


def write_survey(path):
    """Enough records to grow the run readers' arrays; attributes come and go, change type."""
    with orvoapi.LayerWriter(path) as w:
        for i in range(3000):
            values = {"N": i, "H": i / 4}
            if i % 3 == 0:
                values["NAME"] = "well %d" % i
            if i == 1700:
                values["NAME"] = "Ölberg, a name longer than sixteen bytes"
            if i >= 2000:
                values["CODE"] = "X%d" % i if i == 2500 else i  # int, then once text
            if i == 2999:
                values["RAW"] = b"\x00\xfe"
            if i == 5:
                values[LONG_ID] = 12
            n = 5000 if i == 10 else 1 + i % 4
            w.add(i + 1, "LIN" if n > 1 else "PNT", [np.column_stack((np.arange(n), np.full(n, i)))],
                  values, user_id=-i)
            if i < len(TEXTS):
                lib.AddAttributeAW(w._aw, b"TEXT", TEXTS[i])  # the bytes as they are


@pytest.mark.parametrize("ext", [".bspatial", ".spatial"])
def test_whole_layer_as_arrays_matches_the_record_walk(tmp_path, monkeypatch, ext):
    path = tmp_path / ("survey" + ext)
    write_survey(path)
    with orvoapi.Layer(path) as layer:
        geometry, table = layer.geometry(), layer.table()
        monkeypatch.setattr(orvoapi.layer, "runs", None)  # the record-by-record reading
        slow_geometry, slow_table = layer.geometry(), layer.table()
    assert orvoapi._lib.runs is not None, "liborvoapi_runs is built beside the library"
    assert geometry.counts[10] == 5000 and geometry.xy.shape == (sum(geometry.counts), 2)
    assert table.ids.tolist() == list(range(1, 3001))
    assert table.user_ids.tolist() == [-i for i in range(3000)]
    assert list(table.columns) == ["N", "H", "NAME", "TEXT", LONG_ID, "CODE", "RAW"]
    assert table.columns[LONG_ID][5] in (12, "12") and table.columns[LONG_ID][4] in (0, "")
    names = table.columns["NAME"]
    assert names[3] == "well 3" and names[1] == "" and names[1700].startswith("Ölberg, a name")
    texts = table.columns["TEXT"]
    assert texts.dtype.kind == "U"
    assert texts.tolist() == [decode(raw) for raw in TEXTS] + [""] * (3000 - len(TEXTS))
    assert texts[1] == "Ö" * 8 and texts[5] == "\U0001F600" and texts[7] == "caf\xe9"
    assert texts[14] == "\xed\xa0\x80" and texts[19] == "\xff" * 40
    if ext == ".bspatial":
        assert table.columns["N"].dtype == np.int32 and table.columns["H"][5] == 1.25
        code = table.columns["CODE"]  # int values, then a text: all texts
        assert code[1999] == "" and code[2000] == "2000" and code[2500] == "X2500"
        assert table.columns["RAW"][2999] == "00fe" and table.columns["RAW"][0] == ""
    else:  # the text form has texts only
        assert table.columns["N"][7] == "7" and table.columns["H"][5] == "1.25"
    for got, want in ((geometry, slow_geometry), (table, slow_table)):
        for field in ("ids", "kinds", "counts", "xy", "user_ids"):
            if hasattr(got, field):
                np.testing.assert_array_equal(getattr(got, field), getattr(want, field))
    for key, column in table.columns.items():
        np.testing.assert_array_equal(column, slow_table.columns[key], err_msg=key)


def test_bad_layers_raise_with_the_file_named(tmp_path):
    with pytest.raises(orvoapi.OrvoError, match="none.bspatial: no such file"):
        orvoapi.Layer(tmp_path / "none.bspatial")
    (tmp_path / "junk.bspatial").write_bytes(b"no layer here")
    with pytest.raises(orvoapi.OrvoError, match="junk.bspatial: is no spatial file of a layer"):
        orvoapi.Layer(tmp_path / "junk.bspatial")
    with orvoapi.LayerWriter(tmp_path / "w.bspatial") as w:
        with pytest.raises(orvoapi.OrvoError, match="kind 'CIRCLE'"):
            w.add(1, "CIRCLE", [[[0, 0]]])
        with pytest.raises(orvoapi.OrvoError, match="beyond 32 bits"):
            w.add(1, "PNT", [[[0, 0]]], {"BIG": 2**40})
        with pytest.raises(orvoapi.OrvoError, match="2 or all 3 numbers"):
            w.add(2, "LIN", [[[0, 0]], [[0, 0, 1]]])


def test_classifier_checks_with_the_library_reasons(tmp_path):
    path = tmp_path / "map.cls"
    path.write_bytes(CLASSIFIER.encode())
    cs = orvoapi.Classifier(path)
    assert cs.features == {"ROAD": {"name": "Road", "local": "LIN",
                                    "attributes": ["LANES", "NAME"]}}
    assert cs.attributes["LANES"] == {"name": "Lanes", "type": 1}
    assert cs.check("LANES", 4) == (True, "")
    ok, reason = cs.check("LANES", 9)
    assert not ok and reason
    assert orvoapi.Classifier(text=CLASSIFIER).features.keys() == {"ROAD"}
    with pytest.raises(orvoapi.OrvoError, match="attribute WIDTH is not in the classifier"):
        cs.check("WIDTH", 1)
    with pytest.raises(orvoapi.OrvoError, match="no such file"):
        orvoapi.Classifier(tmp_path / "none.cls")


def test_passport_found_saved_and_loaded(tmp_path):
    write_roads(tmp_path / "roads.bspatial")
    p = orvoapi.Passport.find(tmp_path / "roads.bspatial")
    assert p.alias == "roads"
    assert p.bound == (-3.0, 0.0, 10.0, 7.0)
    p.set("source", "survey")
    p.save()
    q = orvoapi.Passport.load(tmp_path / "roads.bspatial")
    assert q.properties == {"SOURCE": "survey"}
    assert q.bound == (-3.0, 0.0, 10.0, 7.0)
    with pytest.raises(orvoapi.OrvoError, match="passport cannot be read"):
        orvoapi.Passport.load(tmp_path / "none.bspatial")
