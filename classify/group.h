// A group type of the classifier: a named grouping with an annotation.
#ifndef CLASSIFY_GROUP_H_
#define CLASSIFY_GROUP_H_

#include <string>
#include <string_view>

namespace orvo {

class TGroup {
 public:
  explicit TGroup(std::string id) : id_(std::move(id)) {}
  virtual ~TGroup() = default;
  TGroup(const TGroup&) = delete;
  TGroup& operator=(const TGroup&) = delete;

  // Stored as given. Setting the id does not re-key the classifier.
  const std::string& Id() const { return id_; }
  void SetId(std::string_view id) { id_.assign(id); }
  const std::string& Anno() const { return anno_; }
  void SetAnno(std::string_view text) { anno_.assign(text); }

 private:
  std::string id_;
  std::string anno_;
};

}  // namespace orvo

#endif  // CLASSIFY_GROUP_H_
