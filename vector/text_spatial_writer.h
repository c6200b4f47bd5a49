// Writer of the text spatial file (".spatial"), CR LF lines and "%-.16g"
// numbers whatever the platform or locale.
#ifndef VECTOR_TEXT_SPATIAL_WRITER_H_
#define VECTOR_TEXT_SPATIAL_WRITER_H_

#include <cstdint>
#include <string>

#include "base/file_writer64.h"
#include "base/holders.h"
#include "orvoapi.h"
#include "vector/spatial_io.h"

namespace orvo {

// Appends records to a new file. Each record is written as its header line
// ("PNT", "LIN", "RGN", "TXT" or "MIX" and the id), the vector count, and per
// vector its vertex count and one "x,y" or "x,y,z" line per vertex, followed
// by an empty line.
class TSpatialWriter : public ISpatialWriter {
 public:
  // The write buffer: a quarter MiB, small enough to stay in the cache until
  // it is handed to the file.
  static constexpr uint32_t kBufferRequest = 200000;

  // Replaces any file of that name. Throws "can't open file".
  explicit TSpatialWriter(const char* file_name);
  // Closes the file, cut to the records written.
  ~TSpatialWriter() override;
  TSpatialWriter(const TSpatialWriter&) = delete;
  TSpatialWriter& operator=(const TSpatialWriter&) = delete;

  // Writes one record and returns the byte position at which it starts. z is
  // null or holds one height per vertex. A record its readers could not read
  // back (see CheckSpatialRecord) raises "bad spatial record" and writes
  // nothing; a failed write raises "can't write spatial file".
  int64_t AddRecord(int32_t id, int32_t kind, const int32_t* vertex_counts, const double* metric,
                    int32_t vector_count, const double* z) override;

  // Bound of every vertex written so far; all 0.0 before the first record.

 private:
  // Formatted text is handed to the file in pieces of about this size, so that
  // a record of any size takes bounded memory.
  static constexpr size_t kFlushSize = 64 * 1024;

  // Writes and empties text_; on failure rewinds to the record's start and
  // raises "can't write spatial file".
  void Flush(int64_t record_position);

  TPtr<TFileWriter64> file_;
  std::string text_;  // the record being formatted, reused between records
  BOUND bound_ = {0.0, 0.0, 0.0, 0.0};
  bool has_bound_ = false;
  int64_t end_ = 0;  // end of the last record written completely
};

}  // namespace orvo

#endif  // VECTOR_TEXT_SPATIAL_WRITER_H_
