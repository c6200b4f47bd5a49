// Finding the face file for a font name through fontconfig.
#ifndef PLATFORM_LINUX_FONT_FACES_H_
#define PLATFORM_LINUX_FONT_FACES_H_

#include <string>

namespace orvo::linux_api {

struct FaceFile {
  std::string path;         // empty when fontconfig knows no face at all
  int index = 0;            // the face's index within the file
  std::string family;       // the family actually used, as GetTextFaceA reports it
  int pitch_family = 0x22;  // FF_* | VARIABLE_PITCH, as LOGFONTA spells them
};

// The best face for the name, weight (FW_*) and slant. The three Windows core
// names resolve to the metric-compatible Liberation families. Answers are
// remembered, so asking again costs a map lookup. Thread-safe.
FaceFile FindFace(const char* name, int weight, bool italic);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_FONT_FACES_H_
