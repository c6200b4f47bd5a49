// A small layer made by the library's own writers, for harnesses and the
// seed generator: points, lines, a region with two rings and a text record,
// some with heights, ids 1 to 8.
#ifndef FUZZ_SAMPLE_LAYERS_H_
#define FUZZ_SAMPLE_LAYERS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace orvofuzz {

struct SampleRecord {
  int32_t id;
  int32_t kind;
  int64_t position;  // in the spatial file
};

// Writes the layer's spatial file (text or binary form) and returns its
// records.
std::vector<SampleRecord> WriteSampleLayer(const std::string& path, bool binary);
// Cuts the file inside its last record and turns a byte in the middle.
void DamageFile(const std::string& path);

}  // namespace orvofuzz

#endif  // FUZZ_SAMPLE_LAYERS_H_
