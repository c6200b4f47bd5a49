// A face at one pixel size, through FreeType: its cell metrics, the hinted
// advance and ABC widths of the 256 Windows-1252 characters, and rendered
// anti-aliased glyphs cached per escapement.
#ifndef PLATFORM_LINUX_FONT_RENDER_H_
#define PLATFORM_LINUX_FONT_RENDER_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvo::linux_api {

struct CellMetrics {
  int ascent = 0;  // pixels above the baseline
  int descent = 0;
  int em = 0;  // pixels per em
  int external_leading = 0;
  int average_width = 0;
  int max_width = 0;
  int underline_position = 0;  // pixels below the baseline
  int underline_thickness = 1;
  int strikeout_position = 0;  // pixels above the baseline
};

struct CharWidths {
  int a = 0;
  int b = 0;
  int c = 0;
  int advance() const { return a + b + c; }
};

// Coverage 0-255 of a glyph turned by some angle; (left, top) is its top-left
// pixel relative to the pen position, y down.
struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;
};

class SizedFace {
 public:
  // Null when the file cannot be loaded. pixel_height: positive for the cell
  // height, negative for the em height.
  static std::shared_ptr<SizedFace> Get(const std::string& path, int index, int pixel_height);
  ~SizedFace();

  const CellMetrics& metrics() const { return metrics_; }
  const CharWidths& widths(uint8_t byte) const { return widths_[byte]; }
  // The glyph of the Windows-1252 byte turned by tenths of a degree; call
  // with Lock() held. The result is valid until the next Render.
  const Glyph& Render(uint8_t byte, int escapement);
  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

 private:
  SizedFace() = default;
  bool Load(const std::string& path, int index, int pixel_height);

  void* library_ = nullptr;  // FT_Library
  void* face_ = nullptr;     // FT_Face
  CellMetrics metrics_;
  CharWidths widths_[256];
  std::mutex mutex_;  // FreeType's face and the cache are one thread's at a time
  struct AngleGlyphs {
    Glyph glyph[256];
    bool ready[256] = {};
  };
  std::map<int, std::unique_ptr<AngleGlyphs>> glyphs_;  // by escapement
};

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_FONT_RENDER_H_
