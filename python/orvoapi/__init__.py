"""orvoapi for Python: map data (vector layers, classifiers, passports,
rasters, DEMs) through the orvoapi shared library, with numpy arrays.

The library is found through ORVO_LIBRARY, a copy inside the package, the
build tree beside the package (build/linux/bin) or an installed tree."""
from ._lib import OrvoError, lib
from .classifier import Classifier, Passport
from .layer import Layer, LayerWriter, Record, layer_files
from .raster import Dem, Raster

__all__ = ["OrvoError", "Layer", "LayerWriter", "Record", "layer_files", "Classifier",
           "Passport", "Raster", "Dem", "lib"]
