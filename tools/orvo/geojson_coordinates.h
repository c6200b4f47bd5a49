// The "coordinates" arrays of GeoJSON geometries kept flat, outside the JSON
// tree. They hold most of a file's bytes; as a tree every position would be
// an array of its own, one allocation each, made and freed per feature.
// Here a feature's arrays are nodes in one reused vector, in document order.
#ifndef TOOLS_ORVO_GEOJSON_COORDINATES_H_
#define TOOLS_ORVO_GEOJSON_COORDINATES_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvotool {

struct CoordinateNode {
  enum Kind : uint8_t { kArray, kNumber, kOther };
  double number = 0;  // kNumber
  size_t end = 0;     // kArray: the index just past its last element's nodes
  Kind kind = kOther;
};

// Builds nodes from the parser's events for one array and what it holds.
class CoordinateCapture {
 public:
  // Starts capturing at the array just opened; returns its node's index.
  size_t Start(std::vector<CoordinateNode>* nodes);
  bool Active() const { return !open_.empty(); }
  // Called for every number and array of the coordinates: defined here to
  // be inlined into the parser's handler.
  void OpenArray() {
    if (skipping_ > 0) {
      ++skipping_;
      return;
    }
    open_.push_back(nodes_->size());
    nodes_->push_back({0, 0, CoordinateNode::kArray});
  }
  // True when the captured array itself has closed.
  bool CloseArray() {
    if (skipping_ > 0) {
      --skipping_;
      return false;
    }
    (*nodes_)[open_.back()].end = nodes_->size();
    open_.pop_back();
    return open_.empty();
  }
  void OpenObject();  // an object is no position: kept as one kOther node
  void CloseObject();
  void Number(double v) {
    if (skipping_ == 0) nodes_->push_back({v, 0, CoordinateNode::kNumber});
  }
  void Other();

 private:
  std::vector<CoordinateNode>* nodes_ = nullptr;
  std::vector<size_t> open_;  // open arrays, innermost last
  int skipping_ = 0;          // open containers of a skipped object
};

// One node of a captured array, with the operations the geometry reader
// asks of a JSON value.
class CoordinateView {
 public:
  CoordinateView(const std::vector<CoordinateNode>* nodes, size_t at) : nodes_(nodes), at_(at) {}

  bool is_array() const { return Node().kind == CoordinateNode::kArray; }
  bool is_number() const { return Node().kind == CoordinateNode::kNumber; }
  double Number() const { return Node().number; }
  bool empty() const { return !is_array() || Node().end == at_ + 1; }
  size_t size() const;
  CoordinateView operator[](size_t i) const;

  class Iterator {
   public:
    Iterator(const std::vector<CoordinateNode>* nodes, size_t at) : nodes_(nodes), at_(at) {}
    CoordinateView operator*() const { return {nodes_, at_}; }
    Iterator& operator++() {
      const CoordinateNode& node = (*nodes_)[at_];
      at_ = node.kind == CoordinateNode::kArray ? node.end : at_ + 1;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return at_ != o.at_; }

   private:
    const std::vector<CoordinateNode>* nodes_;
    size_t at_;
  };
  Iterator begin() const { return {nodes_, is_array() ? at_ + 1 : at_}; }
  Iterator end() const { return {nodes_, is_array() ? Node().end : at_}; }

 private:
  const CoordinateNode& Node() const { return (*nodes_)[at_]; }
  const std::vector<CoordinateNode>* nodes_;
  size_t at_;
};

}  // namespace orvotool

#endif  // TOOLS_ORVO_GEOJSON_COORDINATES_H_
