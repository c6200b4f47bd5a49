// Layer names: form by extension, file names of a layer's files.
#include "vector/layer_name.h"

#include "base/strings.h"

namespace orvo {

bool IsBinaryLayerName(const std::string& file_name) {
  std::string ext = UpperCopy(FileExt(file_name));
  return ext == ".BATTRIBUTE" || ext == ".BSPATIAL";
}

std::string LayerFileName(const std::string& file_name, const char* ext) {
  return ChangeExt(file_name, "") + ext;
}

}  // namespace orvo
