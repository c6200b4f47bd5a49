// The id and the three texts that features and attributes both carry.
#ifndef CLASSIFY_DESCRIBED_H_
#define CLASSIFY_DESCRIBED_H_

#include <string>
#include <string_view>
#include <utility>

namespace orvo {

class TDescribed {
 public:
  // Text fields are stored as given: no case folding, no trimming. Setting the
  // id does not re-key the classifier; only a rename through TClassify does.
  const std::string& Id() const { return id_; }
  void SetId(std::string_view id) { id_.assign(id); }
  const std::string& Name1() const { return name1_; }
  void SetName1(std::string_view text) { name1_.assign(text); }
  const std::string& Name2() const { return name2_; }
  void SetName2(std::string_view text) { name2_.assign(text); }
  const std::string& Anno() const { return anno_; }
  void SetAnno(std::string_view text) { anno_.assign(text); }

 protected:
  explicit TDescribed(std::string id) : id_(std::move(id)) {}
  ~TDescribed() = default;

 private:
  std::string id_;
  std::string name1_;
  std::string name2_;
  std::string anno_;
};

}  // namespace orvo

#endif  // CLASSIFY_DESCRIBED_H_
