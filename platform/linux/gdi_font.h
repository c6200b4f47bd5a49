// Font objects of the software GDI: the caller's LOGFONTA and, found on first
// use, the face and size that draw it.
#ifndef PLATFORM_LINUX_GDI_FONT_H_
#define PLATFORM_LINUX_GDI_FONT_H_

#include <memory>
#include <mutex>
#include <string>

#include "platform/linux/font_render.h"
#include "platform/linux/gdi_objects.h"

namespace orvo::linux_api {

class GdiFont : public GdiObject {
 public:
  static constexpr GdiKind kKind = GdiKind::kFont;
  GdiFont(const LOGFONTA& record, bool stock) : GdiObject(kKind), record_(record), stock_(stock) {}

  const LOGFONTA& record() const { return record_; }
  bool stock() const { return stock_; }
  // The face that draws this font; null when no face can be loaded.
  std::shared_ptr<SizedFace> face();
  const std::string& family();
  int pitch_family();

  int selections = 0;  // contexts holding it; guarded by the table's lock

 private:
  void Resolve();

  const LOGFONTA record_;
  const bool stock_;
  std::once_flag resolved_;
  std::shared_ptr<SizedFace> face_;
  std::string family_;
  int pitch_family_ = 0x22;
};

// The font every new context holds; DeleteObject leaves it alone.
std::shared_ptr<GdiFont> StockFont();

// The font selected into the context and its face; false for a bad context
// or a font without a face.
bool SelectedFace(HDC dc, std::shared_ptr<GdiFont>* font, std::shared_ptr<SizedFace>* face);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_GDI_FONT_H_
