"""Finds the orvoapi shared library and declares the exports the package uses."""
import ctypes
import os
import sys
from ctypes import (POINTER, Structure, c_bool, c_char_p, c_double, c_int32, c_int64,
                    c_void_p)


class OrvoError(Exception):
    """A call into orvoapi failed; the message names the file and the problem."""


class BOUND(Structure):
    _fields_ = [("minx", c_double), ("miny", c_double), ("maxx", c_double), ("maxy", c_double)]


_NAMES = {"win32": "orvoapi.dll", "darwin": "liborvoapi.dylib"}


def _candidates():
    env = os.environ.get("ORVO_LIBRARY")
    if env:
        yield env
    name = _NAMES.get(sys.platform, "liborvoapi.so")
    here = os.path.dirname(os.path.abspath(__file__))
    yield os.path.join(here, name)  # a copy inside the package
    root = os.path.dirname(os.path.dirname(here))
    for build in ("build/demo", "build/linux", "build"):
        yield os.path.join(root, build, "bin", name)
    prefix = os.path.dirname(os.path.dirname(os.path.dirname(here)))
    for libdir in ("lib", "bin"):
        yield os.path.join(prefix, libdir, name)  # an installed tree
    yield name  # the system's search path


def _load():
    tried = []
    for path in _candidates():
        if os.path.sep in path and not os.path.exists(path):
            tried.append(path)
            continue
        try:
            return ctypes.CDLL(path)
        except OSError as e:
            tried.append("%s (%s)" % (path, e))
    raise OrvoError("orvoapi library not found; set ORVO_LIBRARY. Tried: " + ", ".join(tried))


lib = _load()

# The interface slots are stdcall on 32-bit Windows and plain C calls elsewhere.
if sys.platform == "win32" and ctypes.sizeof(c_void_p) == 4:
    SLOT = ctypes.WINFUNCTYPE
else:
    SLOT = ctypes.CFUNCTYPE

_P = c_void_p
_PROTOTYPES = {
    # spatial reader
    "CreateExSR": (_P, [c_char_p, c_bool]), "FreeSR": (None, [_P]), "ResetSR": (None, [_P]),
    "NextSR": (c_bool, [_P]), "GetIdSR": (c_int32, [_P]), "GetLocalSR": (c_int32, [_P]),
    "GetVectorCountSR": (c_int32, [_P]), "GetVertexCountSR": (c_int32, [_P]),
    "GetVectorSizeSR": (POINTER(c_int32), [_P]), "GetMetricSR": (POINTER(c_double), [_P]),
    "GetZSR": (POINTER(c_double), [_P]), "GetSizeSR": (c_int64, [_P]),
    "IsNetworkSR": (c_bool, [_P]), "FindPositionSR": (c_bool, [_P, c_int32]),
    "GetBoundSR": (None, [_P, POINTER(BOUND)]),
    # attribute reader
    "CreateExAR": (_P, [c_char_p, c_bool]), "FreeAR": (None, [_P]), "ResetAR": (None, [_P]),
    "NextAR": (c_bool, [_P]), "GetIdAR": (c_int32, [_P]), "GetUserIdAR": (c_int32, [_P]),
    "GetClassCodeAR": (c_bool, [_P, c_char_p, c_int32]),
    "GetAttributeCountAR": (c_int32, [_P]),
    "GetAttributeIdAR": (c_bool, [_P, c_int32, c_char_p, c_int32]),
    "GetAttributeAR": (c_bool, [_P, c_int32, c_char_p, c_int32]),
    "GetAttributeDataTypeAR": (c_int32, [_P, c_int32]),
    "GetIntAttributeAR": (c_int32, [_P, c_int32]),
    "GetDoubleAttributeAR": (c_double, [_P, c_int32]),
    "GetBlobAttributeAR": (c_int32, [_P, c_int32, c_void_p, c_int32]),
    "GetPositionAR": (c_int64, [_P]), "SetPositionAR": (c_bool, [_P, c_int64]),
    "GetSizeAR": (c_int64, [_P]),
    # writers
    "CreateExSW": (_P, [c_char_p, c_bool]), "FreeSW": (None, [_P]),
    "AddRecordSW": (c_int64, [_P, c_int32, c_int32, c_void_p, c_void_p, c_int32]),
    "AddRecord3DSW": (c_int64, [_P, c_int32, c_int32, c_void_p, c_void_p, c_int32, c_void_p]),
    "CreateExAW": (_P, [c_char_p, c_bool]), "FreeAW": (None, [_P]),
    "AddRecordAW": (c_int64, [_P, c_int32, c_int32, c_char_p]),
    "AddAttributeAW": (None, [_P, c_char_p, c_char_p]),
    "AddIntAttributeAW": (None, [_P, c_char_p, c_int32]),
    "AddDoubleAttributeAW": (None, [_P, c_char_p, c_double]),
    "AddBlobAttributeAW": (None, [_P, c_char_p, c_void_p, c_int32]),
    # classifier
    "CreateCS": (_P, []), "FreeCS": (None, [_P]), "LoadFileCS": (c_bool, [_P, c_char_p]),
    "LoadMemoryCS": (c_bool, [_P, c_char_p, c_int32]),
    "GetFeatureCountCS": (c_int32, [_P]),
    "GetFeatureIdCS": (c_int32, [_P, c_int32, c_char_p, c_int32]),
    "GetFeatureCS": (_P, [_P, c_char_p]), "GetAttributeCountCS": (c_int32, [_P]),
    "GetAttributeIdCS": (c_int32, [_P, c_int32, c_char_p, c_int32]),
    "GetAttributeCS": (_P, [_P, c_char_p]),
    "GetNameFT": (c_int32, [_P, c_char_p, c_int32]), "GetLocalFT": (c_int32, [_P]),
    "GetAttributeCountFT": (c_int32, [_P]),
    "GetAttributeIdFT": (c_int32, [_P, c_int32, c_char_p, c_int32]),
    "GetNameAT": (c_int32, [_P, c_char_p, c_int32]), "GetDataTypeAT": (c_int32, [_P]),
    "CheckIntAT": (c_bool, [_P, c_int32]), "CheckDoubleAT": (c_bool, [_P, c_double]),
    "CheckStringAT": (c_bool, [_P, c_char_p]),
    "GetReasonAT": (c_int32, [_P, c_char_p, c_int32]),
    # passport
    "CreateMP": (_P, []), "FreeMP": (None, [_P]), "LoadMP": (c_bool, [_P, c_char_p]),
    "SaveMP": (c_bool, [_P]), "FindMP": (c_bool, [_P, c_char_p, c_bool]),
    "GetAliasMP": (c_bool, [_P, c_char_p, c_int32]),
    "GetFileNameMP": (c_bool, [_P, c_char_p, c_int32]),
    "SetAliasMP": (None, [_P, c_char_p]), "SetFileNameMP": (None, [_P, c_char_p]),
    "GetBoundMP": (None, [_P, POINTER(BOUND)]), "SetBoundMP": (None, [_P, POINTER(BOUND)]),
    "GetAttributeCountMP": (c_int32, [_P]),
    "GetAttributeIdPosMP": (c_bool, [_P, c_int32, c_char_p, c_int32]),
    "GetAttributePosMP": (c_bool, [_P, c_int32, c_char_p, c_int32]),
    "AddAttributeMP": (c_bool, [_P, c_char_p, c_char_p]),
    # rasters and DEMs
    "CreateRaster": (c_bool, [c_char_p, c_int32, c_int32, c_int32, c_int32, c_int32, c_int32]),
    "IsRaster": (c_bool, [c_char_p]),
    "OpenRaster": (_P, [c_char_p, c_int32, c_bool]),
    "WriteRasterBound": (c_bool, [c_char_p, c_int32, c_int32, POINTER(BOUND)]),
    "OpenDem": (_P, [c_char_p]), "DemHeight": (c_double, [_P, c_double, c_double]),
    "CloseDem": (None, [_P]),
}

for _name, (_restype, _argtypes) in _PROTOTYPES.items():
    _f = getattr(lib, _name)
    _f.restype = _restype
    _f.argtypes = _argtypes


_RUNS_NAMES = {"win32": "orvoapi_runs.dll", "darwin": "liborvoapi_runs.dylib"}


def _load_runs():
    """The run readers built beside the library (python/native), or None:
    without them the package reads record by record, only slower."""
    path = os.path.join(os.path.dirname(lib._name),
                        _RUNS_NAMES.get(sys.platform, "liborvoapi_runs.so"))
    if os.environ.get("ORVO_NO_RUNS") or not os.path.exists(path):
        return None
    try:
        runs_lib = ctypes.CDLL(path)
    except OSError:
        return None
    _I = POINTER(c_int32)
    runs_lib.ReadSpatialRun.restype = c_int32
    runs_lib.ReadSpatialRun.argtypes = [_P, c_bool, c_int32, c_int32, _P, _P, _P, _P, _I]
    runs_lib.ReadAttributeRun.restype = c_int32
    runs_lib.ReadAttributeRun.argtypes = [_P, c_bool, c_int32, c_int32, _P, _P, _P, c_int32,
                                          _P, _P, _I, _I, _I]
    return runs_lib


runs = _load_runs()


def encode(text):
    """A str or bytes argument as the library's 8-bit string."""
    if isinstance(text, bytes):
        return text
    return str(text).encode("utf-8")


def decode(raw):
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("latin-1")


def path_arg(path):
    return os.fsencode(os.fspath(path))


def raw_text(getter, size=256):
    """The bytes of a bounded-copy getter(buffer, size), growing the buffer
    until the text and its NUL fit; b"" when the getter fails."""
    while True:
        buffer = ctypes.create_string_buffer(size)
        ok = getter(buffer, size)
        if ok is False:
            return b""
        raw = buffer.raw
        if raw[-1] == 0:
            return raw.split(b"\0", 1)[0]
        size *= 4


def copied_text(getter, size=256):
    """The text of a bounded-copy getter(buffer, size), as decode() reads it."""
    return decode(raw_text(getter, size))


class Handles:
    """Owns library handles: `_frees` names each handle attribute and the call
    that frees it, in the order they are freed. close() frees what is held and
    may be called again; a with-block or the garbage collector calls it too."""

    _frees = ()

    def close(self):
        for attr, free in self._frees:
            handle = getattr(self, attr, None)
            if handle:
                free(handle)
                setattr(self, attr, None)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        self.close()
