// Walks of the readers: every accessor of every record.
#include "fuzz/walkers.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/scratch.h"

namespace orvofuzz {

namespace {

// Enough records to reach every kind of damage, few enough to stay fast.
constexpr int kMostRecords = 2000;

// Keeps the compiler from dropping the reads.
volatile uint64_t g_sink;

// Adds accessor results to the sink, wrapping (the values are the input's).
template <class... T>
void Sink(T... values) {
  g_sink = g_sink + (static_cast<uint64_t>(values) + ...);
}

void Touch(const void* bytes, size_t size) {
  uint64_t sum = 0;
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < size; ++i) sum += p[i];
  g_sink = g_sink + sum;
}

// Every accessor of the current spatial record.
void TouchSpatialRecord(HSR reader) {
  int32_t vectors = GetVectorCountSR(reader);
  int32_t vertices = GetVertexCountSR(reader);
  Sink(GetIdSR(reader), GetLocalSR(reader), GetLocal3DSR(reader));
  const int32_t* sizes = GetVectorSizeSR(reader);
  const int32_t* starts = GetVectorPosSR(reader);
  const double* metric = GetMetricSR(reader);
  const double* z = GetZSR(reader);
  Require(vectors >= 0 && vertices >= 0, "negative vector or vertex count");
  if (sizes != nullptr) Touch(sizes, sizeof(int32_t) * static_cast<size_t>(vectors));
  if (starts != nullptr) Touch(starts, sizeof(int32_t) * static_cast<size_t>(vectors));
  if (metric != nullptr) Touch(metric, 2 * sizeof(double) * static_cast<size_t>(vertices));
  if (z != nullptr) Touch(z, sizeof(double) * static_cast<size_t>(vertices));
  if (sizes != nullptr && starts != nullptr) {
    // Each vector's vertices lie inside the record's vertex array.
    for (int32_t i = 0; i < vectors; ++i) {
      int32_t size, start;
      std::memcpy(&size, sizes + i, sizeof(size));
      std::memcpy(&start, starts + i, sizeof(start));
      Require(size >= 0 && start >= 0 && int64_t{start} + size <= vertices,
              "a vector outside the record's vertices");
    }
  }
  BOUND bound;
  GetBoundSR(reader, &bound);
  Touch(&bound, sizeof(bound));
  SPATIALINDEXRECORD index;
  if (GetIndexRecordSR(reader, &index)) Touch(&index, offsetof(SPATIALINDEXRECORD, reserved));
  Sink(GetPositionSR(reader), GetSpatialPositionSR(reader), GetAttributePositionSR(reader));
  Sink(GetLeftFaceSR(reader), GetRightFaceSR(reader), GetLeftEdgeSR(reader), GetRightEdgeSR(reader),
       GetStartPointSR(reader), GetEndPointSR(reader));
}

void TouchAttributeRecord(HAR reader) {
  char text[64];
  Sink(GetIdAR(reader), GetUserIdAR(reader));
  GetClassCodeAR(reader, text, sizeof(text));
  Touch(text, sizeof(text));
  int32_t count = GetAttributeCountAR(reader);
  Require(count >= 0, "negative attribute count");
  for (int32_t i = -1; i <= count; ++i) {
    GetAttributeIdAR(reader, i, text, sizeof(text));
    GetAttributeAR(reader, i, text, sizeof(text));
    Touch(text, sizeof(text));
    GetAttributeAR(reader, i, text, 1);
    Sink(GetAttributeDataTypeAR(reader, i), GetIntAttributeAR(reader, i));
    double value = GetDoubleAttributeAR(reader, i);
    Touch(&value, sizeof(value));
    int32_t bytes = GetBlobAttributeAR(reader, i, nullptr, 0);
    Require(bytes >= 0, "negative blob size");
    std::vector<unsigned char> blob(static_cast<size_t>(bytes) + 1);
    Require(GetBlobAttributeAR(reader, i, blob.data(), bytes) == bytes, "blob size changed");
  }
}

}  // namespace

int WalkSpatial(HSR reader) {
  int64_t size = GetSizeSR(reader);
  Require(size >= 0, "negative file size");
  std::vector<int64_t> positions;
  std::vector<int32_t> ids;
  ResetSR(reader);
  TouchSpatialRecord(reader);  // no current record
  int records = 0;
  while (records < kMostRecords && NextSR(reader)) {
    ++records;
    TouchSpatialRecord(reader);
    int64_t at = GetPositionSR(reader);
    Require(at >= 0 && at <= size, "record position outside the file");
    if (positions.size() < 16) {
      positions.push_back(at);
      ids.push_back(GetIdSR(reader));
    }
  }
  // Host moves: back to known places, to edges of the file and to ids.
  for (int64_t at : positions) {
    if (SetPositionSR(reader, at)) TouchSpatialRecord(reader);
  }
  for (int64_t at : {int64_t{-1}, int64_t{0}, size - 1, size, size + 1, int64_t{1} << 40}) {
    if (SetPositionSR(reader, at)) TouchSpatialRecord(reader);
  }
  for (int32_t id : ids) {
    if (FindPositionSR(reader, id)) TouchSpatialRecord(reader);
    if (FindPositionSR(reader, static_cast<int32_t>(static_cast<uint32_t>(id) + 1)))
      TouchSpatialRecord(reader);
  }
  Sink(IsNetworkSR(reader));
  ResetSR(reader);
  for (int i = 0; i < kMostRecords && NextNodeSR(reader); ++i) TouchSpatialRecord(reader);
  ResetSR(reader);
  for (int i = 0; i < kMostRecords && NextEdgeSR(reader); ++i) TouchSpatialRecord(reader);
  return records;
}

int WalkAttributes(HAR reader) {
  int64_t size = GetSizeAR(reader);
  Require(size >= 0, "negative file size");
  std::vector<int64_t> positions;
  ResetAR(reader);
  TouchAttributeRecord(reader);
  int records = 0;
  while (records < kMostRecords && NextAR(reader)) {
    ++records;
    TouchAttributeRecord(reader);
    int64_t at = GetPositionAR(reader);
    Require(at >= 0 && at <= size, "record position outside the file");
    if (positions.size() < 16) positions.push_back(at);
  }
  for (int64_t at : positions) {
    if (SetPositionAR(reader, at)) TouchAttributeRecord(reader);
  }
  for (int64_t at : {int64_t{-1}, int64_t{0}, size - 1, size, int64_t{1} << 40}) {
    if (SetPositionAR(reader, at)) TouchAttributeRecord(reader);
  }
  return records;
}

}  // namespace orvofuzz
