"""Vector layers: the spatial and attribute files of a map, read and written."""
import ctypes
import os

import numpy as np

from ctypes import c_int32

from ._lib import (Handles, OrvoError, copied_text, decode, encode, lib, path_arg, raw_text,
                   runs)

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
        count of each record: the fast way to all geometry at once."""
        geometry = self.geometry()
        return geometry.xy, geometry.counts

    def geometry(self):
        """Every record's geometry at once, in the order of iteration: a
        Geometry of arrays ids, kinds (codes 1..5, see KINDS), counts (the
        vertex count of each record) and xy (all vertices, shape (n, 2))."""
        if not self._sr:
            raise OrvoError("%s: layer is closed" % self.spatial_path)
        lib.ResetSR(self._sr)
        if runs is not None:
            return self._geometry_in_runs()
        ids, kinds, counts, parts = [], [], [], []
        while lib.NextSR(self._sr):
            n = lib.GetVertexCountSR(self._sr)
            ids.append(lib.GetIdSR(self._sr))
            kinds.append(lib.GetLocalSR(self._sr))
            counts.append(n)
            parts.append(np.ctypeslib.as_array(lib.GetMetricSR(self._sr), (n, 2)).copy()
                         if n else np.empty((0, 2)))
        xy = np.concatenate(parts) if parts else np.empty((0, 2))
        return Geometry(np.array(ids, np.int32), np.array(kinds, np.int32),
                        np.array(counts, np.int32), xy)

    def _geometry_in_runs(self):
        sr = self._sr
        size = max(lib.GetSizeSR(sr), 0)
        records = _Columns({"ids": np.int32, "kinds": np.int32, "counts": np.int32},
                           max(1024, size // 64))
        xy = np.empty((max(1024, size // 16), 2))  # a binary vertex takes 16 bytes
        used = 0
        pending = c_int32(-1)
        from_current = False
        while True:
            room = records.room()
            n = runs.ReadSpatialRun(sr, from_current, room, len(xy) - used,
                                    records.at("ids"), records.at("kinds"),
                                    records.at("counts"), xy.ctypes.data + 16 * used,
                                    ctypes.byref(pending))
            used += int(records["counts"][records.used:records.used + n].sum())
            records.used += n
            from_current = pending.value >= 0
            if from_current:
                if pending.value > len(xy) - used:
                    xy = _grown(xy, used + pending.value)
            elif n < room:
                break
        return Geometry(records.take("ids"), records.take("kinds"), records.take("counts"),
                        _fitted(xy, used))

    def table(self):
        """Every attribute record at once, in file order: a Table of arrays
        ids and user_ids and one array per attribute id in columns (int32,
        float64 or str, in the order the ids first appear). A record without
        an attribute has 0, NaN or "" there; a column whose values differ in
        type is float64 when they are all numbers, else str (blobs are str
        too, as their hexadecimal text)."""
        if not self._ar:
            raise OrvoError("%s: no attribute file" % self.attribute_path)
        lib.ResetAR(self._ar)
        self._ar_current = False
        if runs is not None:
            return self._table_in_runs()
        ids, user_ids, rows = [], [], []
        while lib.NextAR(self._ar):
            ids.append(lib.GetIdAR(self._ar))
            user_id, _, values = self._read_attributes()
            user_ids.append(user_id)
            rows.append(values)
        columns = {}
        for row in rows:
            for key in row:
                columns.setdefault(key, None)
        # A column takes the type of its values; values of more than one type
        # make it a column of their texts, as in the run reader.
        for key in columns:
            values = [row.get(key) for row in rows]
            kinds = {type(v) for v in values if v is not None}
            if kinds == {int}:
                columns[key] = np.array([0 if v is None else v for v in values], np.int32)
            elif kinds == {float}:
                columns[key] = np.array([np.nan if v is None else v for v in values],
                                        np.float64)
            else:
                columns[key] = np.array([_text(v) for v in values], dtype=str)
        return Table(np.array(ids, np.int32), np.array(user_ids, np.int32), columns)

    def _table_in_runs(self):
        ar = self._ar
        capacity = max(1024, max(lib.GetSizeAR(ar), 0) // 32)
        forced = {}  # attribute id -> STRING, for columns whose values differ in type
        while True:
            table = self._attribute_runs(capacity, forced)
            if isinstance(table, Table):
                return table
            forced[table] = STRING  # read again from the start with that column as text
            lib.ResetAR(ar)

    def _attribute_runs(self, capacity, forced):
        """The Table, or the attribute id of a column whose values differ in
        type (not in forced yet)."""
        ar = self._ar
        records = _Columns({"ids": np.int32, "user_ids": np.int32}, capacity)
        names, types = [], []
        width = 1  # text columns widen to the longest text, at least doubling
        needed, pending, column = c_int32(0), c_int32(-1), c_int32(0)
        from_current = False
        while True:
            room = records.room()
            count = max(len(names), 1)
            n = runs.ReadAttributeRun(
                ar, from_current, room, len(names), (ctypes.c_char_p * count)(*names),
                (c_int32 * count)(*types),
                (ctypes.c_void_p * count)(*[records.at(name) for name in names]), width,
                records.at("ids"), records.at("user_ids"), ctypes.byref(needed),
                ctypes.byref(pending), ctypes.byref(column))
            records.used += n
            from_current = pending.value != -1
            if pending.value == -2:  # attribute ids no column has yet
                added = False
                for i in range(lib.GetAttributeCountAR(ar)):
                    key = raw_text(lambda b, k: lib.GetAttributeIdAR(ar, i, b, k))
                    if key not in names:
                        kind = forced.get(key) or lib.GetAttributeDataTypeAR(ar, i)
                        kind = kind if kind in (INT, REAL) else STRING
                        names.append(key)
                        types.append(kind)
                        if kind == STRING:
                            records.add_text(key, width)
                        else:
                            records.add(key, np.int32 if kind == INT else np.float64,
                                        0 if kind == INT else np.nan)
                        added = True
                if not added:
                    raise OrvoError("%s: record %d cannot be read" %
                                    (self.attribute_path, lib.GetIdAR(ar)))
            elif pending.value == -3:
                return names[column.value]
            elif pending.value == -4:  # a longer text: wider text columns
                width = max(needed.value, 2 * width)
                for name, kind in zip(names, types):
                    if kind == STRING:
                        records.widen(name, width)
            elif n < room:
                break
        # Text cells arrive decoded (as decode() reads them), in str arrays.
        columns = {decode(name): records.take(name) for name in names}
        return Table(records.take("ids"), records.take("user_ids"), columns)


class Geometry:
    """The geometry of every record of a layer as arrays: ids, kinds (codes,
    see KINDS), counts (vertices of each record) and xy (shape (n, 2))."""

    __slots__ = ("ids", "kinds", "counts", "xy")

    def __init__(self, ids, kinds, counts, xy):
        self.ids, self.kinds, self.counts, self.xy = ids, kinds, counts, xy


class Table:
    """The attributes of every record of a layer as arrays: ids, user_ids and
    columns (a dict of attribute id to array)."""

    __slots__ = ("ids", "user_ids", "columns")

    def __init__(self, ids, user_ids, columns):
        self.ids, self.user_ids, self.columns = ids, user_ids, columns


class _Columns:
    """Arrays of one length filled from the front by the run readers, grown
    (doubled) when full. A text column of width characters is held as a
    uint32 array of shape (capacity, width), one code point a cell, and
    taken as a str array: numpy backs a large uint32 array with huge pages,
    a str array of the same bytes with small ones, several times as many
    page faults."""

    def __init__(self, dtypes, capacity):
        self.capacity = capacity
        self.used = 0
        self.arrays = {k: np.empty(capacity, dtype=t) for k, t in dtypes.items()}

    def room(self):
        if self.used == self.capacity:
            self.capacity *= 2
            for key, array in self.arrays.items():
                grown = np.empty((self.capacity,) + array.shape[1:], dtype=array.dtype)
                grown[:self.used] = array[:self.used]
                self.arrays[key] = grown
        return self.capacity - self.used

    def at(self, key):
        """The address of the first free cell of a column."""
        array = self.arrays[key]
        return array.ctypes.data + array.strides[0] * self.used

    def add(self, key, dtype, fill):
        """A column of a numpy dtype, fill in the records before (they had no
        such attribute)."""
        array = np.empty(self.capacity, dtype=dtype)
        array[:self.used] = fill
        self.arrays[key] = array

    def add_text(self, key, width):
        """A column of texts of width characters, empty in the records before."""
        array = np.empty((self.capacity, width), dtype=np.uint32)
        array[:self.used] = 0
        self.arrays[key] = array

    def widen(self, key, width):
        """A text column of width characters, the texts read kept."""
        old = self.arrays[key]
        array = np.empty((self.capacity, width), dtype=np.uint32)
        array[:self.used, :old.shape[1]] = old[:self.used]
        array[:self.used, old.shape[1]:] = 0
        self.arrays[key] = array

    def __getitem__(self, key):
        return self.arrays[key]

    def take(self, key):
        """A column cut to the records read, handed over: the array is resized
        in place (its unused end given back without a copy) and leaves this
        object."""
        array = _fitted(self.arrays.pop(key), self.used)
        if array.ndim == 2:  # texts: each row of code points one str
            return array.view("U%d" % array.shape[1]).reshape(self.used)
        return array


def _grown(array, at_least):
    grown = np.empty((max(2 * len(array), at_least),) + array.shape[1:], dtype=array.dtype)
    grown[:len(array)] = array
    return grown


def _fitted(array, used):
    """The array cut to its first used rows in place, the rest given back
    without a copy (the array owns its data and nothing else refers to it)."""
    array.resize((used,) + array.shape[1:], refcheck=False)
    return array


def _text(value):
    if value is None:
        return ""
    if isinstance(value, (bytes, bytearray)):
        return bytes(value).hex()
    return str(value)


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

