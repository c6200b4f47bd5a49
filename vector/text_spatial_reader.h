// Reader of the text spatial file (".spatial"): one record after the other,
// each a header line, a vector count, and per vector a vertex count and its
// vertex lines.
#ifndef VECTOR_TEXT_SPATIAL_READER_H_
#define VECTOR_TEXT_SPATIAL_READER_H_

#include <cstdint>

#include "base/holders.h"
#include "base/text_file_reader64.h"
#include "vector/spatial_io.h"

namespace orvo {

// Messages of the text spatial reader.
extern const char kErrorInSpatialFile[];   // "error in spatial file"
extern const char kUnknownLocalization[];  // "unknown localization"
extern const char kVectorCountExpected[];  // "vector count expected but not found"
extern const char kVectorCountIsNull[];    // "vector count is null"
extern const char kVertexCountExpected[];  // "vertex count expected but not found"
extern const char kVertexCountIsNull[];    // "vertex count is null"

// Reads records line by line: blank and ';' comment lines are skipped
// anywhere; a malformed record raises one of the messages above, after which
// the reader goes on with the next line expecting a header (or may be Reset or
// positioned). Until a record has been read completely, and after a read that
// failed or reached the end of the file, the accessors give neutral results:
// 0, kind -1, null arrays.
class TSpatialReader : public ISpatialReader {
 public:
  // Longest piece of a line taken at once; the rest comes as the next line.
  static constexpr int32_t kLineLength = 256;

  // Throws "can't open file".
  explicit TSpatialReader(const char* file_name);
  ~TSpatialReader() override;
  TSpatialReader(const TSpatialReader&) = delete;
  TSpatialReader& operator=(const TSpatialReader&) = delete;

  // Back to the first byte of the file; no current record.
  void Reset() override;
  // Reads the next complete record; false at the end of the file (a record cut
  // off by the end is dropped). Raises on a malformed record.
  bool ReadNext() override;
  // Reads the first record that starts at or after position; false when the
  // position is not inside the file.
  bool SetPosition(int64_t position) override;

  bool HasRecord() const { return has_record_; }
  // Arrays of the current record, owned by the reader and valid until the next
  // read, seek or reset; null without a current record (Z also without heights).
  // The local kind with height is the kind + 10 when every vertex carried one.
  const int32_t* GetVectorSize() const override { return has_record_ ? sizes_.Data() : nullptr; }
  const double* GetZ() const override { return has_record_ && has_z_ ? z_.Data() : nullptr; }
  // The bound of the record's vertices.
  void CopyBound(BOUND* bound) const override;
  // Byte position of the current record's header line; 0 without a record.
  int64_t GetSpatialPosition() const override { return has_record_ ? position_ : 0; }
  int64_t GetSize() const override { return file_->Size(); }

 private:
  enum class State { kHeader, kVectorCount, kVertexCount, kVertices };
  enum class LineClass { kBlank, kHeader, kCount, kVertex, kError };

  struct Line {
    LineClass line_class = LineClass::kBlank;
    int32_t id = 0;     // header
    int32_t kind = 0;   // header
    int32_t count = 0;  // count
    double x = 0.0;     // vertex
    double y = 0.0;
    double z = 0.0;
    bool has_z = false;
  };

  // The next line's text [*begin, *end) inside the mapped window, valid until
  // the next fetch; false at the end of the file.
  bool FetchLine(const char** begin, const char** end);
  void Classify(const char* p, const char* end, Line* line) const;
  void ClassifyHeader(const char* p, const char* end, Line* line) const;
  void ClassifyNumbers(const char* p, const char* end, Line* line) const;
  // Applies one classified line read at line_position; true when it completes
  // the record.
  bool Step(const Line& line, int64_t line_position);
  // The completed record becomes the current one, or there is none.
  void PublishRecord();
  void ForgetRecord();
  // Vertices the rest of the file could still hold: each vertex line takes at
  // least three bytes. Caps what a count may make the reader reserve.
  int64_t RemainingCapacity(int64_t per_item) const;

  TPtr<TTextFileReader64> file_;
  int64_t next_ = 0;  // where the next line starts
  State state_ = State::kHeader;
  bool has_record_ = false;

  int32_t id_ = 0;
  int32_t kind_ = 0;
  bool has_z_ = false;
  int64_t position_ = 0;
  int32_t vector_count_ = 0;  // announced by the count line
  int32_t vector_index_ = 0;  // vector being filled
  int32_t vertex_in_vector_ = 0;
  int64_t announced_vertices_ = 0;
  TArray<int32_t> sizes_;
  TArray<int32_t> starts_;
  TArray<double> metric_;
  TArray<double> z_;
};

}  // namespace orvo

#endif  // VECTOR_TEXT_SPATIAL_READER_H_
