// GeoJSON input of `orvo convert`, as ReadGeoJson reads it: every feature it
// hands over must be whole (vertex counts matching the coordinates, a height
// a vertex when it has heights, a known kind), and a file it refuses must be
// refused with a message naming the file. The same text read in short runs
// on a worker thread must give the same features and the same message.
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// Every field of every feature handed over, and the message at the end.
std::string ReadAll(const uint8_t* data, size_t size, int workers) {
  std::string all;
  auto put = [&all](const void* p, size_t n) { all.append(static_cast<const char*>(p), n); };
  auto text = [&](const std::string& s) {
    const size_t n = s.size();
    put(&n, sizeof n);
    all += s;
  };
  orvotool::Progress progress(nullptr, false, 1);
  orvotool::GeoJsonReading how;
  how.workers = workers;
  how.run_bytes = 24;
  try {
    orvotool::ReadGeoJsonText(
        "t", reinterpret_cast<const char*>(data), size, progress,
        [&](const orvotool::Feature& f) {
          put(&f.id, sizeof f.id);
          put(&f.kind, sizeof f.kind);
          all += static_cast<char>(f.has_z * 2 + f.has_attributes);
          put(&f.user_id, sizeof f.user_id);
          text(f.class_code);
          for (int32_t n : f.sizes) put(&n, sizeof n);
          put(f.xy.data(), f.xy.size() * sizeof(double));
          put(f.z.data(), f.z.size() * sizeof(double));
          for (const orvotool::Attribute& a : f.attributes) {
            text(a.id);
            put(&a.type, sizeof a.type);
            text(a.text);
            put(&a.integer, sizeof a.integer);
            put(&a.real, sizeof a.real);
            text(a.blob);
          }
        },
        how);
  } catch (const orvotool::InputError& e) {
    all += "error: " + e.problem;
  }
  return all;
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
  // Starting a thread costs more than a reading: one input in 32, chosen by
  // its bytes so that a finding reproduces, is also read in runs.
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  if (hash % 32 == 0)
    orvofuzz::Require(ReadAll(data, size, 0) == ReadAll(data, size, 1),
                      "a reading in runs that differs from one pass");
  return 0;
}
