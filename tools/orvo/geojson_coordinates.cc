// Captured coordinate arrays: building them from parser events, and reading.
#include "tools/orvo/geojson_coordinates.h"

namespace orvotool {

size_t CoordinateCapture::Start(std::vector<CoordinateNode>* nodes) {
  nodes_ = nodes;
  open_.clear();
  skipping_ = 0;
  const size_t root = nodes_->size();
  OpenArray();
  return root;
}

void CoordinateCapture::OpenArray() {
  if (skipping_ > 0) {
    ++skipping_;
    return;
  }
  open_.push_back(nodes_->size());
  nodes_->push_back({0, 0, CoordinateNode::kArray});
}

bool CoordinateCapture::CloseArray() {
  if (skipping_ > 0) {
    --skipping_;
    return false;
  }
  (*nodes_)[open_.back()].end = nodes_->size();
  open_.pop_back();
  return open_.empty();
}

void CoordinateCapture::OpenObject() {
  if (skipping_ == 0) nodes_->push_back({0, 0, CoordinateNode::kOther});
  ++skipping_;
}

void CoordinateCapture::CloseObject() { --skipping_; }

void CoordinateCapture::Number(double v) {
  if (skipping_ == 0) nodes_->push_back({v, 0, CoordinateNode::kNumber});
}

void CoordinateCapture::Other() {
  if (skipping_ == 0) nodes_->push_back({0, 0, CoordinateNode::kOther});
}

size_t CoordinateView::size() const {
  size_t n = 0;
  for (Iterator it = begin(), e = end(); it != e; ++it) ++n;
  return n;
}

CoordinateView CoordinateView::operator[](size_t i) const {
  Iterator it = begin();
  while (i-- > 0) ++it;
  return *it;
}

CoordinateView::Iterator& CoordinateView::Iterator::operator++() {
  const CoordinateNode& node = (*nodes_)[at_];
  at_ = node.kind == CoordinateNode::kArray ? node.end : at_ + 1;
  return *this;
}

}  // namespace orvotool
