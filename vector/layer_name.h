// How a layer's name selects its form and its files: shared by the reader and
// writer handles of both the spatial and the attribute files.
#ifndef VECTOR_LAYER_NAME_H_
#define VECTOR_LAYER_NAME_H_

#include <string>

namespace orvo {

// True when the name's extension, upper-cased, is ".BSPATIAL" or
// ".BATTRIBUTE": the layer is in the binary form.
bool IsBinaryLayerName(const std::string& file_name);

// The name with its extension removed and ext appended ("roads.battribute",
// ".bspatial" -> "roads.bspatial"; "roads", ".spatial" -> "roads.spatial").
std::string LayerFileName(const std::string& file_name, const char* ext);

}  // namespace orvo

#endif  // VECTOR_LAYER_NAME_H_
