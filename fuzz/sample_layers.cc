// The sample layer of the harnesses.
#include "fuzz/sample_layers.h"

#include "fuzz/scratch.h"
#include "orvoapi.h"

namespace orvofuzz {

std::vector<SampleRecord> WriteSampleLayer(const std::string& path, bool binary) {
  std::vector<SampleRecord> records;
  HSW writer = CreateExSW(path.c_str(), binary);
  Require(writer != nullptr, "cannot write the sample layer");
  const int32_t one[] = {1}, two[] = {2}, rings[] = {4, 3};
  const double point[] = {10.0, 20.0};
  const double line[] = {-5.0, 25.0, 12.5, 21.0};
  const double region[] = {0, 0, 4, 0, 4, 4, 0, 0, 1, 1, 2, 1, 1, 2};
  const double z[] = {1.5, -2.5, 3.0, 4.0, 5.0, 6.0, 7.0};
  auto add = [&](int32_t id, int32_t kind, const int32_t* counts, const double* metric,
                 int32_t vectors, const double* heights) {
    int64_t at = heights != nullptr
                     ? AddRecord3DSW(writer, id, kind, counts, metric, vectors, heights)
                     : AddRecordSW(writer, id, kind, counts, metric, vectors);
    Require(at >= 0, "cannot add a sample record");
    records.push_back({id, kind, at});
  };
  add(1, 1, one, point, 1, nullptr);
  add(2, 2, two, line, 1, nullptr);
  add(3, 3, rings, region, 2, nullptr);
  add(4, 4, one, point, 1, nullptr);
  add(5, 1, one, point, 1, z);
  add(6, 2, two, line, 1, z);
  add(7, 3, rings, region, 2, z);
  add(8, 5, two, line, 1, nullptr);
  FreeSW(writer);
  return records;
}

void DamageFile(const std::string& path) {
  std::string bytes = ReadScratch(path);
  if (bytes.size() < 8) return;
  bytes.resize(bytes.size() - 5);
  bytes[bytes.size() / 2] ^= 0x5A;
  WriteScratch(path, bytes);
}

}  // namespace orvofuzz
