#include "platform/linux/font_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <tuple>

#include "platform/linux/cp1252.h"
#include "platform/linux/unload.h"

namespace orvo::linux_api {
namespace {

constexpr int kMaxPixels = 2048;  // larger requests draw at this size
constexpr size_t kMaxFaces = 64;
constexpr size_t kMaxAngles = 64;

int Round26(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

FT_Face Face(void* face) { return static_cast<FT_Face>(face); }

}  // namespace

std::shared_ptr<SizedFace> SizedFace::Get(const std::string& path, int index, int pixel_height) {
  // Fonts come and go for every rotated label; the faces behind them stay.
  static std::mutex* mutex = KeptUntilUnload(new std::mutex);
  static auto* faces =
      KeptUntilUnload(new std::map<std::tuple<std::string, int, int>, std::shared_ptr<SizedFace>>);
  const auto key = std::make_tuple(path, index, pixel_height);
  std::lock_guard<std::mutex> lock(*mutex);
  auto it = faces->find(key);
  if (it != faces->end()) return it->second;
  if (faces->size() >= kMaxFaces) {  // forget the faces no font holds
    for (auto at = faces->begin(); at != faces->end();)
      at = at->second.use_count() == 1 ? faces->erase(at) : std::next(at);
  }
  std::shared_ptr<SizedFace> face(new SizedFace);
  if (!face->Load(path, index, pixel_height)) return nullptr;
  faces->emplace(key, face);
  return face;
}

SizedFace::~SizedFace() {
  if (face_ != nullptr) FT_Done_Face(Face(face_));
  if (library_ != nullptr) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool SizedFace::Load(const std::string& path, int index, int pixel_height) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  library_ = library;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), index, &face) != 0) return false;
  face_ = face;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return false;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  // Windows measures the cell by the OS/2 table's Windows ascent and descent.
  const double units_ascent = os2 ? os2->usWinAscent : face->ascender;
  const double units_descent = os2 ? os2->usWinDescent : -face->descender;
  const double units_cell = std::max(1.0, units_ascent + units_descent);
  const double upem = face->units_per_EM;
  int height = pixel_height == 0 ? 16 : std::min(std::abs(pixel_height), kMaxPixels);
  const double em = pixel_height < 0 ? height : height * upem / units_cell;
  const int em_pixels = std::max(1, static_cast<int>(std::lround(em)));
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em_pixels)) != 0) return false;
  const double scale = em_pixels / upem;
  metrics_.em = em_pixels;
  metrics_.ascent = static_cast<int>(std::lround(units_ascent * scale));
  metrics_.descent = static_cast<int>(std::lround(units_descent * scale));
  if (pixel_height > 0) {  // the cell is exactly what was asked
    metrics_.descent = std::max(0, height - metrics_.ascent);
  }
  const double gap = os2 ? os2->sTypoLineGap : 0;
  const double extra = std::max(0.0, face->height - units_cell);
  metrics_.external_leading =
      static_cast<int>(std::lround(std::max(0.0, std::min(gap, extra)) * scale));
  metrics_.average_width =
      os2 ? static_cast<int>(std::lround(os2->xAvgCharWidth * scale)) : em_pixels / 2;
  metrics_.max_width = static_cast<int>(std::lround((face->bbox.xMax - face->bbox.xMin) * scale));
  metrics_.underline_position =
      std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
  metrics_.underline_thickness =
      std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
  metrics_.strikeout_position =
      os2 ? static_cast<int>(std::lround(os2->yStrikeoutPosition * scale)) : metrics_.ascent / 3;
  for (int byte = 0; byte < 256; ++byte) {
    FT_UInt glyph = FT_Get_Char_Index(face, Cp1252ToUnicode(static_cast<uint8_t>(byte)));
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) continue;
    const FT_Glyph_Metrics& m = face->glyph->metrics;
    CharWidths& w = widths_[byte];
    w.a = Round26(m.horiBearingX);
    w.b = Round26(m.width);
    w.c = Round26(face->glyph->advance.x) - w.a - w.b;
  }
  return true;
}

const Glyph& SizedFace::Render(uint8_t byte, int escapement) {
  escapement %= 3600;
  if (escapement < 0) escapement += 3600;
  auto it = glyphs_.find(escapement);
  if (it == glyphs_.end()) {
    if (glyphs_.size() >= kMaxAngles) glyphs_.clear();
    it = glyphs_.emplace(escapement, std::make_unique<AngleGlyphs>()).first;
  }
  AngleGlyphs& angle = *it->second;
  Glyph& out = angle.glyph[byte];
  if (angle.ready[byte]) return out;
  angle.ready[byte] = true;
  FT_Face face = Face(face_);
  const double radians = escapement * M_PI / 1800.0;
  FT_Matrix turn;
  turn.xx = static_cast<FT_Fixed>(std::lround(std::cos(radians) * 65536.0));
  turn.xy = static_cast<FT_Fixed>(std::lround(-std::sin(radians) * 65536.0));
  turn.yx = static_cast<FT_Fixed>(std::lround(std::sin(radians) * 65536.0));
  turn.yy = turn.xx;
  FT_Set_Transform(face, &turn, nullptr);
  FT_UInt glyph = FT_Get_Char_Index(face, Cp1252ToUnicode(byte));
  const bool ok = FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0 &&
                  FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
  FT_Set_Transform(face, nullptr, nullptr);
  if (!ok) return out;
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  out.left = face->glyph->bitmap_left;
  out.top = -face->glyph->bitmap_top;
  out.width = static_cast<int>(bitmap.width);
  out.height = static_cast<int>(bitmap.rows);
  out.coverage.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    std::copy_n(bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch, out.width,
                out.coverage.begin() + static_cast<ptrdiff_t>(y) * out.width);
  return out;
}

}  // namespace orvo::linux_api
