// GeoJSON input of `orvo convert`, as ReadGeoJson reads it: every feature it
// hands over must be whole (vertex counts matching the coordinates, a height
// a vertex when it has heights, a known kind), and a file it refuses must be
// refused with a message naming the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/scratch.h"
#include "tools/orvo/command.h"
#include "tools/orvo/geojson.h"

namespace {

volatile size_t g_sink;

void CheckFeature(const orvotool::Feature& f) {
  size_t vertices = 0;
  for (int32_t size : f.sizes) {
    orvofuzz::Require(size >= 0, "a vector of negative size");
    vertices += static_cast<size_t>(size);
  }
  orvofuzz::Require(f.xy.size() == 2 * vertices, "coordinates that do not match the vectors");
  orvofuzz::Require(f.has_z ? f.z.size() == vertices : f.z.empty(),
                    "heights that do not match the vertices");
  orvofuzz::Require(f.kind >= 1 && f.kind <= 5, "a feature of no kind");
  size_t bytes = f.class_code.size();
  for (const orvotool::Attribute& a : f.attributes)
    bytes += a.id.size() + a.text.size() + a.blob.size();
  g_sink = g_sink + bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = orvofuzz::ScratchFile("input.geojson");
  orvofuzz::WriteScratch(input, data, size);
  orvotool::Progress progress(nullptr, false, 1);
  try {
    orvotool::ReadGeoJson(input, progress, CheckFeature);
  } catch (const orvotool::InputError& e) {
    orvofuzz::Require(e.file == input && !e.problem.empty(), "a refusal that names no file");
  }
  return 0;
}
