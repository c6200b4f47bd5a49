// Coordinate arrays: points of a fixed number of doubles, with a text file
// form used for control points (map x, map y, column, row a line).
#ifndef TRANSFORM_COORDS_H_
#define TRANSFORM_COORDS_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/api_object.h"
#include "orvoapi.h"

namespace orvo {

// The ICoords implementation. Every point is its own heap array, so that a
// pointer from GetPoint survives later additions. No slot raises: indexes
// outside the array give 0.0, null or false, a failed allocation gives -1
// (AddPoint) or false (Load).
//
// File form, the same bytes on every platform: each value as "%20.10f " (the
// decimal separator is always '.'), each point ended by CR LF. Reading accepts
// CR LF, LF and CR line ends and lines of any length; a line is split into
// tokens at blanks, tabs and line ends; from the left, tokens that start with
// a digit or '-' are numbers (strtod rule, without the C locale), the first
// other token ends the line's values. A line without values is skipped, one
// with fewer than the dimension ends the load with false (the points read
// before it stay), values beyond the dimension are ignored.
class TCoords : public TApiObject<ICoords> {
 public:
  // dimension must be 1 or more.
  explicit TCoords(int32_t dimension);
  ~TCoords() override;

  double ORVO_STDCALL GetValue(int32_t index, int32_t component) override;
  double* ORVO_STDCALL GetPoint(int32_t index) override;
  int32_t ORVO_STDCALL AddPoint(const double* values) override;
  bool ORVO_STDCALL DeletePoint(int32_t index) override;
  int32_t ORVO_STDCALL GetCount() override;
  int32_t ORVO_STDCALL GetDimension() override;
  void ORVO_STDCALL Clear() override;
  bool ORVO_STDCALL Load(const char* file_name) override;
  bool ORVO_STDCALL Save(const char* file_name) override;

  // Appends the points of file text (the rules above); false at a short line.
  // Throws std::bad_alloc only.
  bool Parse(std::string_view text);
  // The file text of all points. Throws std::bad_alloc only.
  std::string Format() const;

 private:
  bool ValidIndex(int32_t index) const;

  const int32_t dimension_;
  std::vector<std::unique_ptr<double[]>> points_;
};

}  // namespace orvo

#endif  // TRANSFORM_COORDS_H_
