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

void CoordinateCapture::OpenObject() {
  if (skipping_ == 0) nodes_->push_back({0, 0, CoordinateNode::kOther});
  ++skipping_;
}

void CoordinateCapture::CloseObject() { --skipping_; }

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

}  // namespace orvotool
