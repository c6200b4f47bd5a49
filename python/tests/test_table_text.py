"""Text columns of Layer.table(): the run reader decodes every text as the
record-by-record reading does (UTF-8 when valid, else each byte its own
character), at the edges of UTF-8 and of the text column's width."""
import numpy as np
import pytest

import orvoapi
from orvoapi._lib import decode, lib

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


@pytest.mark.parametrize("ext", [".bspatial", ".spatial"])
def test_texts_decoded_as_the_record_walk_reads_them(tmp_path, monkeypatch, ext):
    path = tmp_path / ("texts" + ext)
    with orvoapi.LayerWriter(path) as w:
        for i, raw in enumerate(TEXTS):
            w.add(i + 1, "PNT", [[[i, 0]]], {"N": i})
            lib.AddAttributeAW(w._aw, b"NAME", raw)  # the bytes as they are
        w.add(len(TEXTS) + 1, "PNT", [[[0, 0]]], {"N": -1})  # no NAME
    with orvoapi.Layer(path) as layer:
        table = layer.table()
        monkeypatch.setattr(orvoapi.layer, "runs", None)
        slow = layer.table()
    assert orvoapi._lib.runs is not None, "liborvoapi_runs is built beside the library"
    names = table.columns["NAME"]
    assert names.dtype.kind == "U"
    assert names.tolist() == [decode(raw) for raw in TEXTS] + [""]
    assert names[1] == "Ö" * 8 and names[5] == "\U0001F600" and names[7] == "caf\xe9"
    assert names[14] == "\xed\xa0\x80" and names[19] == "\xff" * 40
    assert names.tolist() == slow.columns["NAME"].tolist()
    assert table.columns["N"].tolist()[-1] in (-1, "-1")
