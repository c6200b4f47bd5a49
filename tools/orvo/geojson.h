// Layers as GeoJSON (RFC 7946) and back.
//
// A layer becomes one FeatureCollection, one Feature a record, in the order
// of the spatial file. The record id is the feature's "id"; its attributes
// are the "properties", typed as in the layer (integers as JSON integers,
// reals as JSON numbers with a fraction or exponent, strings as strings).
// What GeoJSON has no place for goes into foreign members of the feature:
//   "orvo:kind"        "PNT", "LIN", "RGN", "TXT" or "MIX"
//   "orvo:user_id"     the user id (an integer)
//   "orvo:class"       the class code (a string)
//   "orvo:types"       {attribute id: "blob" | "real"} for values whose JSON
//                      form does not tell their type: blobs (hexadecimal
//                      digit pairs) and reals that are not finite ("nan",
//                      "inf", "-inf")
//   "orvo:open_rings"  true when the region's rings were not closed in the
//                      layer: each ring was closed for GeoJSON by repeating
//                      its first vertex, which reading drops again
//   "orvo:latin1"      true when the record's texts were no UTF-8: every
//                      text byte was written as the code point of that value
//                      and is read back as that byte
//   "orvo:no_attributes" true when the layer had no attribute record for it
// Geometry: points and lines as Point, MultiPoint, LineString and
// MultiLineString; a region as Polygon or MultiPolygon, a ring that starts
// inside the outer ring before it being one of its holes; anything else (a
// vector of one vertex in a line, a ring of fewer than three vertices) as a
// GeometryCollection of one Point or LineString a vector. Positions have a
// third number when the record has heights. Numbers are written in the
// shortest form that reads back to the same double.
// Reading takes any FeatureCollection (or a single Feature): a geometry of
// any of the seven types gives its vectors in order (all rings of all
// polygons, all members of a collection), the kind comes from "orvo:kind" or
// else from the geometry type (points PNT, lines LIN, polygons RGN,
// collections MIX); a missing id becomes the next id above the largest one.
#ifndef TOOLS_ORVO_GEOJSON_H_
#define TOOLS_ORVO_GEOJSON_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/orvo/layer.h"
#include "tools/orvo/progress.h"

namespace orvotool {

// True when path ends in .geojson or .json (any case).
bool IsGeoJsonPath(const std::string& path);

// Writes every record of layer to path (through path + ".tmp"); returns the
// number of records. Throws InputError.
int64_t WriteGeoJson(LayerReader& layer, const std::string& path, Progress& progress);

// Reads the features of a GeoJSON file, handing each to sink in file order;
// returns their number. Throws InputError naming the file and the feature
// that cannot be used.
// Large FeatureCollections are parsed in runs of whole features on worker
// threads; the features still reach sink in file order, on the calling
// thread, and bad input gets the same message either way.
int64_t ReadGeoJson(const std::string& path, Progress& progress,
                    const std::function<void(const Feature&)>& sink);

// How ReadGeoJsonText parses: with workers >= 1, texts longer than run_bytes
// in runs of about run_bytes on that many threads; with 0 in one pass.
struct GeoJsonReading {
  int workers = 0;
  size_t run_bytes = size_t{4} << 20;
};

// ReadGeoJson of text already in memory; path names it in messages.
int64_t ReadGeoJsonText(const std::string& path, const char* text, size_t size, Progress& progress,
                        const std::function<void(const Feature&)>& sink,
                        const GeoJsonReading& reading);

}  // namespace orvotool

#endif  // TOOLS_ORVO_GEOJSON_H_
