"""Vector layers: the spatial and attribute files of a map, read and written."""
import ctypes
import os

import numpy as np

from ._lib import Handles, OrvoError, copied_text, decode, encode, lib, path_arg

KINDS = {1: "PNT", 2: "LIN", 3: "RGN", 4: "TXT", 5: "MIX"}
KIND_CODES = {v: k for k, v in KINDS.items()}
INT, REAL, STRING, BLOB = 1, 2, 5, 6


def layer_files(path):
    """(binary, spatial path, attribute path) of the layer named by either file."""
    path = os.fspath(path)
    base, ext = os.path.splitext(path)
    ext = ext.lower()
    if ext not in (".spatial", ".attribute", ".bspatial", ".battribute"):
        base, ext = path, ".spatial"
    binary = ext in (".bspatial", ".battribute")
    if binary:
        return True, base + ".bspatial", base + ".battribute"
    return False, base + ".spatial", base + ".attribute"


class Record:
    """One map object: id, kind ("PNT", "LIN", "RGN", "TXT", "MIX"), vectors
    (numpy arrays of shape (n, 2), or (n, 3) with heights), and when the
    attribute file has it: user_id, class_code and attributes (a dict of
    attribute id to int, float, str or bytes, in file order)."""

    __slots__ = ("id", "kind", "vectors", "user_id", "class_code", "attributes")

    def __init__(self, id, kind, vectors, user_id=0, class_code="", attributes=None):
        self.id = id
        self.kind = kind
        self.vectors = vectors
        self.user_id = user_id
        self.class_code = class_code
        self.attributes = attributes

    @property
    def has_z(self):
        return self.vectors[0].shape[1] == 3

    def __repr__(self):
        return "Record(%d, %s, %d vectors, %r)" % (self.id, self.kind, len(self.vectors),
                                                   self.attributes)


class Layer(Handles):
    """Reads a layer (text or binary form, chosen by the extension). Iterating
    gives Records in the order of the spatial file (index order with an
    index); attributes are joined by id. Use as a context manager or call
    close()."""

    _frees = (("_sr", lib.FreeSR), ("_ar", lib.FreeAR))

    def __init__(self, path):
        self.binary, self.spatial_path, self.attribute_path = layer_files(path)
        if not os.path.exists(self.spatial_path):
            raise OrvoError("%s: no such file" % self.spatial_path)
        self._sr = lib.CreateExSR(path_arg(self.spatial_path), self.binary)
        if not self._sr:
            raise OrvoError("%s: is no spatial file of a layer" % self.spatial_path)
        self._ar = None
        if os.path.exists(self.attribute_path):
            self._ar = lib.CreateExAR(path_arg(self.attribute_path), self.binary)
            if not self._ar:
                self.close()
                raise OrvoError("%s: is no attribute file of a layer" % self.attribute_path)
        self._positions = None


    def _geometry(self):
        sr = self._sr
        vectors = lib.GetVectorCountSR(sr)
        vertices = lib.GetVertexCountSR(sr)
        sizes = np.ctypeslib.as_array(lib.GetVectorSizeSR(sr), (vectors,)).copy()
        xy = np.ctypeslib.as_array(lib.GetMetricSR(sr), (vertices, 2)).copy()
        zp = lib.GetZSR(sr)
        if zp:
            xy = np.column_stack((xy, np.ctypeslib.as_array(zp, (vertices,))))
        return np.split(xy, np.cumsum(sizes)[:-1]) if vectors > 1 else [xy]

    def _attributes(self, rid):
        ar = self._ar
        if self._positions is None:
            if not getattr(self, "_ar_current", False):
                self._ar_current = lib.NextAR(ar)
            if self._ar_current and lib.GetIdAR(ar) == rid:
                self._ar_current = False
                return self._read_attributes()
            # Out of step: join through a map of positions by id from here on.
            self._positions = {}
            lib.ResetAR(ar)
            while lib.NextAR(ar):
                self._positions.setdefault(lib.GetIdAR(ar), lib.GetPositionAR(ar))
        pos = self._positions.get(rid)
        if pos is not None and lib.SetPositionAR(ar, pos) and lib.GetIdAR(ar) == rid:
            return self._read_attributes()
        return None

    def _read_attributes(self):
        ar = self._ar
        code = copied_text(lambda b, n: lib.GetClassCodeAR(ar, b, n))
        values = {}
        for i in range(lib.GetAttributeCountAR(ar)):
            key = copied_text(lambda b, n: lib.GetAttributeIdAR(ar, i, b, n))
            kind = lib.GetAttributeDataTypeAR(ar, i)
            if kind == INT:
                values[key] = lib.GetIntAttributeAR(ar, i)
            elif kind == REAL:
                values[key] = lib.GetDoubleAttributeAR(ar, i)
            elif kind == BLOB:
                n = lib.GetBlobAttributeAR(ar, i, None, 0)
                buffer = ctypes.create_string_buffer(max(n, 1))
                lib.GetBlobAttributeAR(ar, i, buffer, n)
                values[key] = buffer.raw[:n]
            else:
                values[key] = copied_text(lambda b, n: lib.GetAttributeAR(ar, i, b, n))
        return lib.GetUserIdAR(ar), code, values

    def __iter__(self):
        if not self._sr:
            raise OrvoError("%s: layer is closed" % self.spatial_path)
        lib.ResetSR(self._sr)
        if self._ar:
            lib.ResetAR(self._ar)
            self._ar_current = False
        while lib.NextSR(self._sr):
            rid = lib.GetIdSR(self._sr)
            rec = Record(rid, KINDS.get(lib.GetLocalSR(self._sr), "?"), self._geometry())
            joined = self._attributes(rid) if self._ar else None
            if joined is not None:
                rec.user_id, rec.class_code, rec.attributes = joined
            yield rec

    def records(self):
        return list(self)

    def coordinates(self):
        """Every vertex of every record as one (n, 2) array, with the vertex
        count of each record: the fast way to all geometry at once (four
        calls a record, the coordinates copied straight into one buffer)."""
        sr = self._sr
        next_sr, count_of, metric_of = lib.NextSR, lib.GetVertexCountSR, lib.GetMetricSR
        memmove = ctypes.memmove
        lib.ResetSR(sr)
        capacity = max(1 << 16, lib.GetSizeSR(sr) // 8)  # doubles; grows when short
        buffer = np.empty(capacity, dtype=np.float64)
        base = buffer.ctypes.data
        used = 0
        counts = []
        append = counts.append
        while next_sr(sr):
            n = count_of(sr)
            if used + 2 * n > capacity:
                capacity = max(2 * capacity, used + 2 * n)
                buffer = np.resize(buffer, capacity)
                base = buffer.ctypes.data
            memmove(base + 8 * used, metric_of(sr), 16 * n)
            used += 2 * n
            append(n)
        return buffer[:used].reshape(-1, 2).copy(), np.array(counts, dtype=np.int32)


class LayerWriter(Handles):
    """Writes a layer of either form (by the extension). add() one record at
    a time; close() (or the end of a with block) completes the files."""

    _frees = (("_sw", lib.FreeSW), ("_aw", lib.FreeAW))

    def __init__(self, path):
        self.binary, self.spatial_path, self.attribute_path = layer_files(path)
        self._sw = lib.CreateExSW(path_arg(self.spatial_path), self.binary)
        if not self._sw:
            raise OrvoError("%s: cannot be created" % self.spatial_path)
        self._aw = lib.CreateExAW(path_arg(self.attribute_path), self.binary)
        if not self._aw:
            self.close()
            raise OrvoError("%s: cannot be created" % self.attribute_path)

    def add(self, id, kind, vectors, attributes=None, user_id=0, class_code=""):
        """vectors: arrays of shape (n, 2) or, all of them, (n, 3) with heights;
        attributes: dict of id to int (32-bit), float, str or bytes."""
        code = KIND_CODES.get(kind, kind)
        if code not in KINDS:
            raise OrvoError("kind %r is none of %s" % (kind, ", ".join(KINDS.values())))
        arrays = [np.asarray(v, dtype=np.float64) for v in vectors]
        if not arrays or any(a.ndim != 2 or a.shape[0] < 1 for a in arrays):
            raise OrvoError("record %d: vectors must be arrays of positions" % id)
        dims = {a.shape[1] for a in arrays}
        if len(dims) != 1 or dims.pop() not in (2, 3):
            raise OrvoError("record %d: positions must all have 2 or all 3 numbers" % id)
        sizes = np.array([a.shape[0] for a in arrays], dtype=np.int32)
        allv = np.concatenate(arrays)
        xy = np.ascontiguousarray(allv[:, :2])
        if allv.shape[1] == 3:
            z = np.ascontiguousarray(allv[:, 2])
            at = lib.AddRecord3DSW(self._sw, id, code, sizes.ctypes.data, xy.ctypes.data,
                                   len(sizes), z.ctypes.data)
        else:
            at = lib.AddRecordSW(self._sw, id, code, sizes.ctypes.data, xy.ctypes.data,
                                 len(sizes))
        if at < 0:
            raise OrvoError("%s: record %d cannot be written" % (self.spatial_path, id))
        if lib.AddRecordAW(self._aw, id, user_id, encode(class_code)) < 0:
            raise OrvoError("%s: record %d cannot be written" % (self.attribute_path, id))
        for key, value in (attributes or {}).items():
            k = encode(key)
            if isinstance(value, bool) or isinstance(value, str):
                lib.AddAttributeAW(self._aw, k, encode(str(value)))
            elif isinstance(value, (int, np.integer)):
                if not -2**31 <= int(value) < 2**31:
                    raise OrvoError("record %d: attribute %s=%d is beyond 32 bits" % (id, key, value))
                lib.AddIntAttributeAW(self._aw, k, int(value))
            elif isinstance(value, (float, np.floating)):
                lib.AddDoubleAttributeAW(self._aw, k, float(value))
            elif isinstance(value, (bytes, bytearray)):
                data = bytes(value)
                lib.AddBlobAttributeAW(self._aw, k, data, len(data))
            else:
                raise OrvoError("record %d: attribute %s has a value of type %s" %
                                (id, key, type(value).__name__))

