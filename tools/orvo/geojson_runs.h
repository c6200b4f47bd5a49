// The features array of a FeatureCollection cut into runs of whole features
// that can be parsed apart, on several threads. A run is parsed as the
// document's head (every byte up to and including the array's '[') followed
// by the run's bytes and "]}", the last run as the head followed by the rest
// of the file. The cuts are found by a quick look, not a parse: a cut that
// is not between two features makes its run fail to parse (its brackets do
// not balance), and the reader then parses on from that run's start.
#ifndef TOOLS_ORVO_GEOJSON_RUNS_H_
#define TOOLS_ORVO_GEOJSON_RUNS_H_

#include <cstddef>
#include <vector>

namespace orvotool {

struct FeatureRuns {
  size_t head = 0;  // bytes [0, head) end with the features array's '['
  // Run k starts at starts[k]; every run but the last ends at the comma
  // before starts[k + 1], the last at the end of the text. starts[0] == head.
  std::vector<size_t> starts;
};

// Finds the top-level "features" array and cuts it about every run_bytes
// bytes at a comma between '}' and '{'. False when no such array shows
// before it (a lone Feature, another document, a key written with escapes):
// the caller then parses the text whole.
bool FindFeatureRuns(const char* text, size_t size, size_t run_bytes, FeatureRuns* runs);

}  // namespace orvotool

#endif  // TOOLS_ORVO_GEOJSON_RUNS_H_
