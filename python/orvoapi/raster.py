"""Rasters read and written as numpy arrays, and DEM heights at positions."""
import ctypes
import os
from ctypes import c_bool, c_int32, c_int64, c_void_p

import numpy as np

from ._lib import BOUND, SLOT, Handles, OrvoError, lib, path_arg

# IRaster slots in order, after AddRef (0) and Release (1).
_SLOTS = {
    "Release": (1, SLOT(c_int32, c_void_p)),
    "GetWidth": (2, SLOT(c_int32, c_void_p)),
    "GetHeight": (3, SLOT(c_int32, c_void_p)),
    "GetTileWidth": (4, SLOT(c_int32, c_void_p)),
    "GetTileHeight": (5, SLOT(c_int32, c_void_p)),
    "GetPixelSize": (6, SLOT(c_int32, c_void_p)),
    "GetFileSize": (7, SLOT(c_int64, c_void_p)),
    "GetPixelBlock": (10, SLOT(c_bool, c_void_p, c_int32, c_int32, c_int32, c_int32, c_void_p)),
    "SetPixelBlock": (11, SLOT(c_bool, c_void_p, c_int32, c_int32, c_int32, c_int32, c_void_p)),
}

# The numpy type of a pixel of each size (little-endian, as on disk).
DTYPES = {1: np.dtype("u1"), 2: np.dtype("<i2"), 4: np.dtype("<i4"), 8: np.dtype("<f8")}


class _Interface:
    def __init__(self, pointer):
        self._p = pointer
        vtable = ctypes.cast(pointer, ctypes.POINTER(ctypes.POINTER(c_void_p))).contents
        self._m = {name: proto(vtable[slot]) for name, (slot, proto) in _SLOTS.items()}

    def call(self, name, *args):
        return self._m[name](self._p, *args)


class Raster(Handles):
    """A raster file opened read-only (default) or for writing. read(x, y, w,
    h) gives an (h, w) array of the pixel type (bytes of pixel_size for sizes
    without one); pixels outside the raster or on absent tiles are 0. write(x,
    y, array) stores pixels. Row 0 is the first row of the file."""

    _frees = (("_i", lambda i: i.call("Release")),)

    def __init__(self, path, read_only=True, cache_mb=0):
        self.path = os.fspath(path)
        if not os.path.exists(self.path):
            raise OrvoError("%s: no such file" % self.path)
        p = lib.OpenRaster(path_arg(path), cache_mb, read_only)
        if not p:
            raise OrvoError("%s: is no raster" % self.path)
        self._i = _Interface(p)
        self.read_only = read_only
        self.width = self._i.call("GetWidth")
        self.height = self._i.call("GetHeight")
        self.tile_width = self._i.call("GetTileWidth")
        self.tile_height = self._i.call("GetTileHeight")
        self.pixel_size = self._i.call("GetPixelSize")
        self.dtype = DTYPES.get(self.pixel_size, np.dtype(("u1", (self.pixel_size,))))

    @staticmethod
    def create(path, width, height, pixel_size, tile_width=256, tile_height=256, head_size=264):
        """Makes a new raster file (fixed layout, all pixels 0) and opens it
        for writing."""
        if os.path.exists(path):
            raise OrvoError("%s: exists already" % os.fspath(path))
        if not lib.CreateRaster(path_arg(path), width, height, tile_width, tile_height,
                                pixel_size, head_size):
            raise OrvoError("%s: raster cannot be created" % os.fspath(path))
        return Raster(path, read_only=False)


    def read(self, x=0, y=0, w=None, h=None):
        w = self.width - x if w is None else w
        h = self.height - y if h is None else h
        if w < 1 or h < 1:
            raise OrvoError("%s: read of %d x %d pixels" % (self.path, w, h))
        out = np.zeros((h, w), dtype=self.dtype)
        self._i.call("GetPixelBlock", x, y, w, h, out.ctypes.data)
        return out

    def write(self, x, y, pixels):
        if self.read_only:
            raise OrvoError("%s: opened read-only" % self.path)
        a = np.ascontiguousarray(pixels, dtype=self.dtype)
        if a.ndim != 2:
            raise OrvoError("%s: pixels must be a 2-dimensional array" % self.path)
        h, w = a.shape
        if not self._i.call("SetPixelBlock", x, y, w, h, a.ctypes.data):
            raise OrvoError("%s: pixels at %d, %d cannot be written" % (self.path, x, y))

    def write_bound(self, minx, miny, maxx, maxy):
        """Writes the .corners file that ties the raster to the map rectangle."""
        b = BOUND(minx, miny, maxx, maxy)
        if not lib.WriteRasterBound(path_arg(self.path + ".corners"), self.width, self.height,
                                    ctypes.byref(b)):
            raise OrvoError("%s.corners: cannot be written" % self.path)


class Dem(Handles):
    """A DEM (raster of 16-bit heights with its .corners transform).
    heights(x, y) gives the bilinear heights at arrays of map positions as a
    float array, NaN where the DEM has no data."""

    _frees = (("_dem", lib.CloseDem),)

    NO_DATA = 9999.0

    def __init__(self, path):
        self.path = os.fspath(path)
        if not os.path.exists(self.path):
            raise OrvoError("%s: no such file" % self.path)
        self._dem = lib.OpenDem(path_arg(path))
        if not self._dem:
            raise OrvoError("%s: is no DEM (2-byte heights with a .corners transform)" % self.path)


    def heights(self, x, y):
        xs, ys = np.broadcast_arrays(np.asarray(x, dtype=np.float64), np.asarray(y, dtype=np.float64))
        out = np.empty(xs.shape, dtype=np.float64)
        f, dem = lib.DemHeight, self._dem
        flat = out.reshape(-1)
        for i, (px, py) in enumerate(zip(xs.reshape(-1).tolist(), ys.reshape(-1).tolist())):
            flat[i] = f(dem, px, py)
        out[out >= self.NO_DATA] = np.nan
        return out
