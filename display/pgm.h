// TPgm: a library of small map signs, each a named BMP picture with a hot
// spot, drawn with white pixels transparent.
#ifndef DISPLAY_PGM_H_
#define DISPLAY_PGM_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "base/api_object.h"
#include "display/dib_section.h"
#include "orvoapi.h"

namespace mt {

// The file: a 16-byte head that is not read, then records up to the end:
// 32-bit name length N, N name bytes (the first name begins with "Z"),
// 32-bit body length R, and a body of a 40-byte sign head (hot-spot x,
// hot-spot y, width, height as 32-bit integers, 24 more bytes) followed by
// a BMP file image of 24 or 32 bits a pixel.
inline constexpr int32_t kPgmFileHeadSize = 16;
inline constexpr int32_t kPgmSignHeadSize = 40;

inline constexpr char kWrongPgmFormat[] = "wrong pgm format";
inline constexpr char kCantReadPgmFile[] = "can't read pgm file";

// One sign. The pointers point into the file buffer of its TPgm; image and
// mask are decoded on first use.
struct PGMSIGN {
  COLORREF key_colour = 0x00FFFFFF;    // transparent colour of the picture
  std::unique_ptr<TDibSection> image;  // the picture, transparent pixels black
  std::unique_ptr<TDibSection> mask;   // white where transparent, black elsewhere
  const uint8_t* header = nullptr;     // the 40-byte sign head
  const uint8_t* picture = nullptr;    // the BMP image
  int32_t picture_length = 0;          // R - 36: the picture and the 4 bytes after it
  const char* name = nullptr;
  int32_t name_length = 0;
};

class TPgm : public orvo::TApiObject<IPgm> {
 public:
  // Reads the whole file; raises "can't open file", "wrong pgm format" (no
  // head, no record, a first name not beginning with "Z", a record that does
  // not fit in the file) or "can't read pgm file".
  explicit TPgm(const char* path);

  // None raises: false for an index outside 0..GetSignCount()-1 or a sign
  // whose picture cannot be decoded or drawn.
  bool ORVO_STDCALL DrawSign(HDC dc, int32_t x, int32_t y, int32_t index) override;
  bool ORVO_STDCALL RecolorSign(int32_t index, COLORREF from, COLORREF to) override;
  bool ORVO_STDCALL UnloadSign(int32_t index) override;
  // The width field of the sign head; 0 for an index outside.
  int32_t ORVO_STDCALL GetSignWidth(int32_t index) override;
  int32_t ORVO_STDCALL GetSignCount() override { return static_cast<int32_t>(signs_.size()); }

 private:
  void ParseRecords();
  bool ValidIndex(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < signs_.size();
  }
  // Makes the sign's image and mask of the head's size, in contexts
  // compatible with dc; false (both null) when the picture cannot be had or
  // is smaller than the head says.
  bool Decode(PGMSIGN& sign, HDC dc);

  std::vector<uint8_t> buffer_;  // the whole file; the signs point into it
  std::vector<PGMSIGN> signs_;
};

}  // namespace mt

#endif  // DISPLAY_PGM_H_
