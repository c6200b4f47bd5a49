"""Classifiers and map passports."""
import ctypes
import os

from ._lib import BOUND, Handles, OrvoError, copied_text, encode, lib, path_arg

LOCALS = {1: "PNT", 2: "LIN", 3: "RGN", 4: "TXT"}


class Classifier(Handles):
    """A classifier loaded from a file (or from text with text=...).
    features: {id: {"name", "local", "attributes"}}; attributes: {id: {"name",
    "type"}}. check(attribute_id, value) gives (True, "") or (False, the
    library's reason)."""

    _frees = (("_cs", lib.FreeCS),)

    def __init__(self, path=None, text=None):
        self._cs = lib.CreateCS()
        if path is not None:
            if not os.path.exists(path):
                self.close()
                raise OrvoError("%s: no such file" % os.fspath(path))
            if not lib.LoadFileCS(self._cs, path_arg(path)):
                self.close()
                raise OrvoError("%s: is no classifier" % os.fspath(path))
        elif text is not None:
            raw = encode(text)
            if not lib.LoadMemoryCS(self._cs, raw, len(raw)):
                self.close()
                raise OrvoError("classifier text does not load")


    @property
    def features(self):
        cs, out = self._cs, {}
        for i in range(lib.GetFeatureCountCS(cs)):
            fid = copied_text(lambda b, n: lib.GetFeatureIdCS(cs, i, b, n))
            ft = lib.GetFeatureCS(cs, encode(fid))
            out[fid] = {
                "name": copied_text(lambda b, n: lib.GetNameFT(ft, b, n)),
                "local": LOCALS.get(lib.GetLocalFT(ft), "?"),
                "attributes": [copied_text(lambda b, n: lib.GetAttributeIdFT(ft, a, b, n))
                               for a in range(lib.GetAttributeCountFT(ft))],
            }
        return out

    @property
    def attributes(self):
        cs, out = self._cs, {}
        for i in range(lib.GetAttributeCountCS(cs)):
            aid = copied_text(lambda b, n: lib.GetAttributeIdCS(cs, i, b, n))
            at = lib.GetAttributeCS(cs, encode(aid))
            out[aid] = {"name": copied_text(lambda b, n: lib.GetNameAT(at, b, n)),
                        "type": lib.GetDataTypeAT(at)}
        return out

    def check(self, attribute_id, value):
        at = lib.GetAttributeCS(self._cs, encode(attribute_id))
        if not at:
            raise OrvoError("attribute %s is not in the classifier" % attribute_id)
        if isinstance(value, bool) or isinstance(value, str):
            ok = lib.CheckStringAT(at, encode(str(value)))
        elif isinstance(value, int):
            ok = lib.CheckIntAT(at, value)
        elif isinstance(value, float):
            ok = lib.CheckDoubleAT(at, value)
        else:
            raise OrvoError("attribute %s: values are int, float or str" % attribute_id)
        return (True, "") if ok else (False, copied_text(lambda b, n: lib.GetReasonAT(at, b, n)))


class Passport(Handles):
    """The passport of a layer: alias, bound (minx, miny, maxx, maxy) and
    properties. Passport.load(path) reads path's .passport file;
    Passport.find(layer_path) builds one from the layer's spatial file."""

    _frees = (("_mp", lib.FreeMP),)

    def __init__(self):
        self._mp = lib.CreateMP()

    @classmethod
    def load(cls, path):
        p = cls()
        if not lib.LoadMP(p._mp, path_arg(path)):
            raise OrvoError("%s: passport cannot be read" % os.fspath(path))
        return p

    @classmethod
    def find(cls, layer_path):
        p = cls()
        path = os.fspath(layer_path)
        if not lib.FindMP(p._mp, path_arg(path), path.lower().endswith((".bspatial", ".battribute"))):
            raise OrvoError("%s: no layer to describe" % path)
        return p


    @property
    def alias(self):
        return copied_text(lambda b, n: lib.GetAliasMP(self._mp, b, n), 4096)

    @alias.setter
    def alias(self, value):
        lib.SetAliasMP(self._mp, encode(value))

    @property
    def bound(self):
        b = BOUND()
        lib.GetBoundMP(self._mp, ctypes.byref(b))
        return (b.minx, b.miny, b.maxx, b.maxy)

    @bound.setter
    def bound(self, value):
        lib.SetBoundMP(self._mp, ctypes.byref(BOUND(*value)))

    @property
    def properties(self):
        out = {}
        for i in range(lib.GetAttributeCountMP(self._mp)):
            key = copied_text(lambda b, n: lib.GetAttributeIdPosMP(self._mp, i, b, n), 4096)
            out[key] = copied_text(lambda b, n: lib.GetAttributePosMP(self._mp, i, b, n), 4096)
        return out

    def set(self, key, value):
        if not lib.AddAttributeMP(self._mp, encode(key), encode(value)):
            raise OrvoError("passport property %r cannot be stored" % key)

    def save(self):
        if not lib.SaveMP(self._mp):
            raise OrvoError("passport cannot be saved")
