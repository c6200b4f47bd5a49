// Layers for the orvo command tests, written through the SW/AW exports, and
// read back through the commands' own reader for comparison.
#ifndef TESTS_TOOLS_LAYER_FIXTURE_H_
#define TESTS_TOOLS_LAYER_FIXTURE_H_

#include <string>
#include <vector>

#include "tools/orvo/layer.h"

namespace orvotest {

// Writes features to the layer named by path (either form, by extension).
void WriteLayer(const std::string& path, const std::vector<orvotool::Feature>& features);
// Every record of the layer, in file order.
std::vector<orvotool::Feature> ReadLayer(const std::string& path);

// Feature builders.
orvotool::Feature MakeFeature(int32_t id, int32_t kind, std::vector<std::vector<double>> vectors,
                              bool with_z = false);
orvotool::Attribute IntAttribute(const std::string& id, int32_t v);
orvotool::Attribute RealAttribute(const std::string& id, double v);
orvotool::Attribute StringAttribute(const std::string& id, const std::string& v);
orvotool::Attribute BlobAttribute(const std::string& id, const std::string& bytes);

// Record by record and field by field, doubles bit for bit; empty when equal,
// else the first difference.
std::string Difference(const std::vector<orvotool::Feature>& a,
                       const std::vector<orvotool::Feature>& b);

}  // namespace orvotest

#endif  // TESTS_TOOLS_LAYER_FIXTURE_H_
