"""Rasters read and written through numpy, DEM heights at arrays."""
import numpy as np
import pytest

import orvoapi


def test_raster_write_read_across_tiles(tmp_path):
    path = tmp_path / "a.raster"
    with orvoapi.Raster.create(path, 300, 200, 2, tile_width=128, tile_height=128) as r:
        assert (r.width, r.height, r.pixel_size, r.dtype) == (300, 200, 2, np.dtype("<i2"))
        block = (np.arange(60 * 50).reshape(50, 60) - 1000).astype(np.int16)
        r.write(100, 100, block)  # spans four tiles
    with orvoapi.Raster(path) as r:
        np.testing.assert_array_equal(r.read(100, 100, 60, 50), block)
        edge = r.read(290, 190, 20, 20)  # pixels outside the raster stay 0
        assert edge.shape == (20, 20) and not edge[10:, :].any()
        assert r.read().shape == (200, 300)
        with pytest.raises(orvoapi.OrvoError, match="opened read-only"):
            r.write(0, 0, block)


def test_byte_rasters_and_bad_files(tmp_path):
    with orvoapi.Raster.create(tmp_path / "b.raster", 3, 2, 1) as r:
        r.write(0, 0, [[1, 2, 255], [4, 5, 6]])
        assert r.read().tolist() == [[1, 2, 255], [4, 5, 6]]
    with pytest.raises(orvoapi.OrvoError, match="exists already"):
        orvoapi.Raster.create(tmp_path / "b.raster", 3, 2, 1)
    (tmp_path / "x.raster").write_bytes(b"_raster_ but no more")
    with pytest.raises(orvoapi.OrvoError, match="x.raster: is no raster"):
        orvoapi.Raster(tmp_path / "x.raster")
    with pytest.raises(orvoapi.OrvoError, match="no such file"):
        orvoapi.Raster(tmp_path / "none.raster")


def test_dem_heights_at_arrays(tmp_path):
    path = tmp_path / "h.raster"
    with orvoapi.Raster.create(path, 4, 4, 2, tile_width=4, tile_height=4) as r:
        r.write(0, 0, [[10, 20, 30, 40]] * 3 + [[10, 20, 30, 9999]])
        r.write_bound(-0.5, -0.5, 3.5, 3.5)  # pixel centres on whole map units, row 0 at y = 3
    dem = orvoapi.Dem(path)
    h = dem.heights(np.array([0.0, 0.5, 2.0, 3.0]), 3.0)
    np.testing.assert_allclose(h[:3], [10, 15, 30])
    grid = dem.heights(*np.meshgrid([0.0, 1.0], [1.0, 2.0]))
    assert grid.shape == (2, 2)
    np.testing.assert_allclose(grid, [[10, 20], [10, 20]])
    assert np.isnan(dem.heights(3.0, 0.0))  # the no-data corner
    assert np.isnan(dem.heights(100.0, 0.0))  # off the DEM
    with pytest.raises(orvoapi.OrvoError, match="is no DEM"):
        orvoapi.Dem(tmp_path / "h.raster.corners")
