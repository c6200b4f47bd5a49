// Codes that the classifier's loader and writer report to the
// error-notification hook (base/error_hook.h).
#ifndef CLASSIFY_CLASSIFY_LOADER_H_
#define CLASSIFY_CLASSIFY_LOADER_H_

#include <cstdint>

namespace orvo {

// Load failed, the source could not be read; text: the path, or "memory".
inline constexpr int32_t kClassifyCantOpenCode = 10000;
// Feature section skipped: LOCAL is not PNT, LIN, RGN or TXT; text: section.
inline constexpr int32_t kClassifyBadLocalCode = 10001;
// Feature section skipped: the feature exists already; text: section.
inline constexpr int32_t kClassifyFeatureExistsCode = 10002;
// Attribute section skipped: empty NAME1 or unknown TYPE; text: section.
inline constexpr int32_t kClassifyBadAttributeCode = 10003;
// Load failed, the text is not valid INI text; text: the INI reader's message.
inline constexpr int32_t kClassifyIniErrorCode = 10004;
// Save refused, a definition cannot be written so that it loads back; text:
// the section and why.
inline constexpr int32_t kClassifyCantWriteCode = 10005;

}  // namespace orvo

#endif  // CLASSIFY_CLASSIFY_LOADER_H_
