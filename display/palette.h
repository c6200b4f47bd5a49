// TPalette: pixel values to colours, entry index = pixel value.
#ifndef DISPLAY_PALETTE_H_
#define DISPLAY_PALETTE_H_

#include <cstdint>
#include <string>

#include "base/api_object.h"
#include "base/holders.h"
#include "orvoapi.h"

namespace mt {

inline constexpr int32_t kMaxPaletteEntries = 65536;
inline constexpr char kCantCreatePalette[] = "can't create palette";

class TPalette : public orvo::TApiObject<IPalette> {
 public:
#pragma pack(push, 1)
  // One entry; the counter is the number of pixels of this value (DEM
  // palettes only, 0 otherwise).
  struct RGBHISTO {
    int64_t counter;
    uint8_t blue;
    uint8_t green;
    uint8_t red;
  };
#pragma pack(pop)
  static_assert(sizeof(RGBHISTO) == 11, "entries are packed");

  using Entries = orvo::TArray<RGBHISTO>;

  // A palette without an entry array (GetCount 0; Pixels2Dib writes nothing).
  TPalette() = default;
  // count black entries; raises "can't create palette" outside 0..65536.
  explicit TPalette(int32_t count);

  int32_t ORVO_STDCALL Pixels2Dib(void* dst, const void* src, int32_t format,
                                  int32_t count) override;
  int32_t ORVO_STDCALL GetCount() override;
  bool ORVO_STDCALL SetColor(int32_t index, const uint8_t* rgb) override;
  bool ORVO_STDCALL GetColor(uint8_t* rgb, int32_t index) override;

  // Replaces the entry array with a fresh one of count entries (contents
  // undefined) and returns it.
  Entries& ResetEntries(int32_t count);
  // The entry array; null before the first ResetEntries.
  Entries* entries() { return entries_.get(); }

  void set_source_path(std::string path) { source_path_ = std::move(path); }
  const std::string& source_path() const { return source_path_; }

 private:
  std::string source_path_;  // the file it was loaded from; empty when built
  orvo::TPtr<Entries> entries_;
};

}  // namespace mt

#endif  // DISPLAY_PALETTE_H_
