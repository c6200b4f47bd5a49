// The GDI handle table, memory device contexts, SelectObject and
// DeleteObject with Windows' ownership rules.
#include "platform/linux/gdi_objects.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "platform/linux/gdi_font.h"
#include "platform/linux/unload.h"

namespace orvo::linux_api {
namespace {

// GDI handles step by four from 2^30 up, apart from the kernel handles
// below 2^30, so a handle passed to the wrong family names nothing there.
constexpr uintptr_t kStep = 4;
constexpr uintptr_t kFirst = uintptr_t{1} << 30;
constexpr uintptr_t kLast = (uintptr_t{1} << 31) - kStep;
constexpr size_t kMaxObjects = size_t{1} << 22;

struct Table {
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
  uintptr_t next = kFirst;
};

Table& TheTable() {
  static Table* table = KeptUntilUnload(new Table);  // like the kernel's table
  return *table;
}

uintptr_t Key(HGDIOBJ handle) { return reinterpret_cast<uintptr_t>(handle); }

std::shared_ptr<GdiObject> FindLocked(Table& table, HGDIOBJ handle) {
  auto it = table.objects.find(Key(handle));
  return it == table.objects.end() ? nullptr : it->second;
}

}  // namespace

GdiBitmap::GdiBitmap(int32_t width, int32_t height, bool top_down, uint8_t* bits, bool stock)
    : GdiObject(kKind),
      width_(width),
      height_(height),
      stride_((width * 3 + 3) & ~3),
      top_down_(top_down),
      stock_(stock),
      bits_(bits) {}

GdiBitmap::~GdiBitmap() {
  if (!stock_) std::free(bits_);
}

HGDIOBJ InsertGdiObject(const std::shared_ptr<GdiObject>& object) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (table.objects.size() >= kMaxObjects) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  for (;;) {
    uintptr_t value = table.next;
    table.next = value >= kLast ? kFirst : value + kStep;
    if (table.objects.try_emplace(value, object).second) {
      object->handle = reinterpret_cast<HGDIOBJ>(value);
      return object->handle;
    }
  }
}

std::shared_ptr<GdiObject> LookupGdiObject(HGDIOBJ handle, GdiKind kind) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::shared_ptr<GdiObject> object = FindLocked(table, handle);
  if (object == nullptr || object->kind() != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return object;
}

std::shared_ptr<GdiBitmap> SelectedBitmap(HDC dc) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::shared_ptr<GdiObject> object = FindLocked(table, dc);
  if (object == nullptr || object->kind() != GdiKind::kDc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return static_cast<GdiDc&>(*object).bitmap;
}

bool WithDc(HDC dc, const std::function<void(GdiDc&)>& change) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::shared_ptr<GdiObject> object = FindLocked(table, dc);
  if (object == nullptr || object->kind() != GdiKind::kDc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  change(static_cast<GdiDc&>(*object));
  return true;
}

std::shared_ptr<GdiBitmap> StockBitmap() {
  // One black pixel that every new context starts with; its storage is
  // static, so drawing into a context that holds it stays in bounds.
  static uint8_t pixel[4] = {};
  static std::shared_ptr<GdiBitmap>* stock = [] {
    auto* bitmap = KeptUntilUnload(new std::shared_ptr<GdiBitmap>(
        std::make_shared<GdiBitmap>(1, 1, true, pixel, /*stock=*/true)));
    InsertGdiObject(*bitmap);
    return bitmap;
  }();
  return *stock;
}

}  // namespace orvo::linux_api

using orvo::linux_api::GdiBitmap;
using orvo::linux_api::GdiDc;
using orvo::linux_api::GdiKind;
using orvo::linux_api::GdiObject;

HDC CreateCompatibleDC(HDC dc) {
  if (dc != nullptr && orvo::linux_api::LookupGdi<GdiDc>(dc) == nullptr) return nullptr;
  auto context = std::make_shared<GdiDc>();
  context->bitmap = orvo::linux_api::StockBitmap();
  context->font = orvo::linux_api::StockFont();
  context->font->selections++;
  return static_cast<HDC>(orvo::linux_api::InsertGdiObject(context));
}

BOOL DeleteDC(HDC dc) {
  auto& table = orvo::linux_api::TheTable();
  std::shared_ptr<GdiObject> object;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.objects.find(orvo::linux_api::Key(dc));
    if (it == table.objects.end() || it->second->kind() != GdiKind::kDc) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object = std::move(it->second);
    table.objects.erase(it);
    auto& context = static_cast<GdiDc&>(*object);
    if (context.bitmap != nullptr) context.bitmap->selected_into = nullptr;
    context.bitmap.reset();
    if (context.font != nullptr) context.font->selections--;
    context.font.reset();
  }
  return TRUE;  // the object goes here, outside the lock
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  auto& table = orvo::linux_api::TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::shared_ptr<GdiObject> context = orvo::linux_api::FindLocked(table, dc);
  std::shared_ptr<GdiObject> selected = orvo::linux_api::FindLocked(table, object);
  if (context == nullptr || context->kind() != GdiKind::kDc || selected == nullptr ||
      selected->kind() == GdiKind::kDc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto& target = static_cast<GdiDc&>(*context);
  if (selected->kind() == GdiKind::kFont) {  // fonts go into any number of contexts
    auto font = std::static_pointer_cast<orvo::linux_api::GdiFont>(selected);
    std::shared_ptr<orvo::linux_api::GdiFont> previous = std::move(target.font);
    font->selections++;
    previous->selections--;
    target.font = std::move(font);
    return previous->handle;
  }
  auto bitmap = std::static_pointer_cast<GdiBitmap>(selected);
  if (bitmap == target.bitmap) return object;
  if (!bitmap->stock() && bitmap->selected_into != nullptr) return nullptr;
  std::shared_ptr<GdiBitmap> previous = std::move(target.bitmap);
  previous->selected_into = nullptr;
  target.bitmap = bitmap;
  if (!bitmap->stock()) bitmap->selected_into = &target;
  return previous->handle;
}

BOOL DeleteObject(HGDIOBJ object) {
  auto& table = orvo::linux_api::TheTable();
  std::shared_ptr<GdiObject> removed;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.objects.find(orvo::linux_api::Key(object));
    if (it == table.objects.end() || it->second->kind() == GdiKind::kDc) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    if (it->second->kind() == GdiKind::kFont) {
      auto& font = static_cast<orvo::linux_api::GdiFont&>(*it->second);
      if (font.stock()) return TRUE;
      if (font.selections > 0) return FALSE;
      removed = std::move(it->second);
      table.objects.erase(it);
      return TRUE;
    }
    auto& bitmap = static_cast<GdiBitmap&>(*it->second);
    if (bitmap.stock()) return TRUE;
    if (bitmap.selected_into != nullptr) return FALSE;
    removed = std::move(it->second);
    table.objects.erase(it);
  }
  return TRUE;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  if (type == OBJ_FONT) {
    HGDIOBJ font = nullptr;
    orvo::linux_api::WithDc(dc, [&](GdiDc& context) { font = context.font->handle; });
    return font;
  }
  if (type != OBJ_BITMAP) return nullptr;
  std::shared_ptr<GdiBitmap> bitmap = orvo::linux_api::SelectedBitmap(dc);
  return bitmap == nullptr ? nullptr : bitmap->handle;
}
