// Image device context exports. None raises.
#include "display/image_dc.h"

#include "orvoapi.h"

extern "C" {

ORVO_API HDC ORVO_CDECL CreateImageDC(int32_t width, int32_t height) {
  return mt::CreateImageDc(width, height);
}

ORVO_API void* ORVO_CDECL GetImageBitsDC(HDC dc, int32_t* width, int32_t* height, int32_t* stride) {
  return mt::ImageDcBits(dc, width, height, stride);
}

ORVO_API bool ORVO_CDECL FreeImageDC(HDC dc) { return mt::FreeImageDc(dc); }

}  // extern "C"
