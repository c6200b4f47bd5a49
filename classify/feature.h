// A feature type of the classifier: an object kind of a map with its local
// kind, graph and attribute list.
#ifndef CLASSIFY_FEATURE_H_
#define CLASSIFY_FEATURE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classify/described.h"

namespace orvo {

class TFeature : public TDescribed {
 public:
  explicit TFeature(std::string id) : TDescribed(std::move(id)) {}
  virtual ~TFeature() = default;
  TFeature(const TFeature&) = delete;
  TFeature& operator=(const TFeature&) = delete;

  const std::string& GraphId() const { return graph_id_; }
  void SetGraphId(std::string_view text) { graph_id_.assign(text); }
  // Local kind code (1 point, 2 line, 3 region, 4 text), stored unchecked.
  int32_t Local() const { return local_; }
  void SetLocal(int32_t local) { local_ = local; }

  // The attribute id list, in insertion order. Ids are upper-cased (ASCII
  // letters) before every insert and comparison.
  int32_t AttributeCount() const { return static_cast<int32_t>(attribute_ids_.size()); }
  // Empty when index is out of range.
  std::string AttributeId(int32_t index) const;
  const std::vector<std::string>& AttributeIds() const { return attribute_ids_; }
  // Makes room for n ids in all, so that appending them allocates no more.
  void ReserveAttributes(int32_t n) {
    if (n > 0) attribute_ids_.reserve(static_cast<size_t>(n));
  }
  // Appends the id; false and no change when it is already listed. The
  // must-be flag is accepted for compatibility and not stored.
  bool AddAttribute(std::string_view id, bool must_be);
  // Overwrites the entry at index; false and no change when index is out of
  // range or the id is already listed (at any position).
  bool ReplaceAttribute(int32_t index, std::string_view id, bool must_be);
  // Always false: the must-be flag is not kept.
  bool IsAttributeMustBe(int32_t index) const;
  // Removes the first entry equal to the upper-cased id, if any.
  void EraseAttribute(std::string_view id);

 private:
  bool Lists(const std::string& upper_id) const;

  int32_t local_ = 0;
  std::vector<std::string> attribute_ids_;
  std::string graph_id_;
};

}  // namespace orvo

#endif  // CLASSIFY_FEATURE_H_
