// An attribute type of the classifier: a typed field with default, unit,
// range and list of allowed values, able to judge candidate values.
#ifndef CLASSIFY_ATTRIBUTE_H_
#define CLASSIFY_ATTRIBUTE_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classify/described.h"
#include "classify/value.h"
#include "classify/value_list.h"

namespace orvo {

// Reasons left by a failed check; empty after a passed one.
extern const char kReasonNotInRange[];     // "value not in range"
extern const char kReasonNotInValues[];    // "value not in allowed values list"
extern const char kReasonWrongDatatype[];  // "wrong datatype"

class TAttribute : public TDescribed {
 public:
  explicit TAttribute(std::string id) : TDescribed(std::move(id)) {}
  virtual ~TAttribute() = default;
  TAttribute(const TAttribute&) = delete;
  TAttribute& operator=(const TAttribute&) = delete;

  const std::string& DataSubType() const { return data_sub_type_; }
  void SetDataSubType(std::string_view text) { data_sub_type_.assign(text); }
  const std::string& Unit() const { return unit_; }
  void SetUnit(std::string_view text) { unit_.assign(text); }

  // Data type code (1 integer, 2 double, 3 char, 4 varchar, 5 string, 6 blob;
  // anything else is handled as text), stored unchecked. A change re-parses the
  // limits and the allowed values with the new type, so that checks never
  // compare values parsed under different types.
  int32_t DataType() const { return data_type_; }
  void SetDataType(int32_t data_type);

  // The default text. Setting an empty text stores "0"; either way the
  // attribute then has a default.
  const std::string& Default() const { return default_; }
  bool HasDefault() const { return has_default_; }
  void SetDefault(std::string_view text);
  void ClearDefault();

  // Allowed values and their annotations, same positions. Out-of-range
  // indexes give empty texts and change nothing.
  int32_t ValueCount() const { return static_cast<int32_t>(values_.Count()); }
  bool HasValues() const { return !values_.Empty(); }
  std::string Value(int32_t index) const;
  std::string ValueAnno(int32_t index) const;
  void SetValue(int32_t index, std::string_view text);
  void SetValueAnno(int32_t index, std::string_view text);
  // Makes room for n values in all, with text_bytes of value and annotation
  // texts, so that appending them allocates no more.
  void ReserveValues(int32_t n, size_t text_bytes);
  // Appends value and annotation; an empty value adds nothing.
  void AddValue(std::string_view text, std::string_view anno);
  void EraseValue(int32_t index);
  // Removes every value equal to text with ASCII case ignored (as texts,
  // whatever the data type), with its annotation.
  void EraseValueByText(std::string_view text);
  void ClearValues();

  // Limits: texts parsed with the data type. The range check is on exactly
  // when both texts are non-empty, so clearing a limit (or both) switches it
  // off rather than rejecting every value.
  const std::string& Max() const { return max_; }
  const std::string& Min() const { return min_; }
  void SetMax(std::string_view text);
  void SetMin(std::string_view text);
  void ClearMinMax();
  bool HasLimits() const { return has_limits_; }

  // Checks a candidate value: the range (inclusive) when limits are on, then
  // the allowed values when there are any. Returns false and leaves the reason
  // when it fails; a pass empties the reason. Never throws.
  bool CheckString(std::string_view text);
  // The number printed as "%-.16g", then CheckString.
  bool CheckInt(int32_t value);
  bool CheckDouble(double value);
  // Reason of the last check; empty when it passed or none has run.
  const std::string& Reason() const { return reason_; }
  // Position of the first allowed value equal to text (parsed with the data
  // type), or -1.
  int32_t FindValueIndex(std::string_view text);

 private:
  void UpdateLimits();
  void RebuildValueIndex();

  int32_t data_type_ = 0;
  std::string data_sub_type_;
  std::string default_;
  bool has_default_ = false;
  TValueList values_;
  bool has_limits_ = false;
  std::string max_;
  std::string min_;
  std::string unit_;
  std::string reason_;
  TValue min_value_;
  TValue max_value_;
  // Allowed value -> position of its first occurrence in values_.
  std::map<TValue, int32_t> value_index_;
  bool value_index_stale_ = true;
};

}  // namespace orvo

#endif  // CLASSIFY_ATTRIBUTE_H_
