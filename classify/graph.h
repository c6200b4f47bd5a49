// A graph type of the classifier: how objects are symbolised (standard symbol,
// symbol file, drawing priority, scale range).
#ifndef CLASSIFY_GRAPH_H_
#define CLASSIFY_GRAPH_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

class TGraph {
 public:
  explicit TGraph(std::string id) : id_(std::move(id)) {}
  virtual ~TGraph() = default;
  TGraph(const TGraph&) = delete;
  TGraph& operator=(const TGraph&) = delete;

  // Texts and numbers are stored as given, unchecked. Setting the id does not
  // re-key the classifier.
  const std::string& Id() const { return id_; }
  void SetId(std::string_view id) { id_.assign(id); }
  const std::string& Anno() const { return anno_; }
  void SetAnno(std::string_view text) { anno_.assign(text); }
  const std::string& FileSymbol() const { return file_symbol_; }
  void SetFileSymbol(std::string_view text) { file_symbol_.assign(text); }
  const std::string& StdSymbol() const { return std_symbol_; }
  void SetStdSymbol(std::string_view text) { std_symbol_.assign(text); }
  double MinScale() const { return min_scale_; }
  void SetMinScale(double scale) { min_scale_ = scale; }
  double MaxScale() const { return max_scale_; }
  void SetMaxScale(double scale) { max_scale_ = scale; }
  int32_t Priority() const { return priority_; }
  void SetPriority(int32_t priority) { priority_ = priority; }

 private:
  std::string id_;
  std::string anno_;
  std::string file_symbol_;
  std::string std_symbol_;
  double min_scale_ = 0.0;
  double max_scale_ = 0.0;
  int32_t priority_ = 0;
};

}  // namespace orvo

#endif  // CLASSIFY_GRAPH_H_
