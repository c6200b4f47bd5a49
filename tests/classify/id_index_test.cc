// The id index behind classifier lookups: entries survive the erasure of
// their neighbours in a probe run, and growth keeps every entry.
#include "classify/id_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo {
namespace {

TEST(IdIndex, FindsExactlyTheEntriesLeftAfterErasures) {
  std::vector<std::string> keys;
  for (int i = 0; i < 2000; ++i) keys.push_back("FEATURE" + std::to_string(i));
  std::vector<int> objects(keys.size());
  TIdIndex<int> index;
  for (size_t i = 0; i < keys.size(); ++i) index.Insert(keys[i], &objects[i]);
  for (size_t i = 0; i < keys.size(); i += 3) index.Erase(keys[i]);
  index.Erase("NOT THERE");
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(index.Find(keys[i]), i % 3 == 0 ? nullptr : &objects[i]) << keys[i];
  }
  for (size_t i = 0; i < keys.size(); i += 3) index.Insert(keys[i], &objects[i]);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(index.Find(keys[i]), &objects[i]);
  EXPECT_EQ(index.Find("FEATURE"), nullptr);
  index.Clear();
  EXPECT_EQ(index.Find(keys[1]), nullptr);
}

}  // namespace
}  // namespace orvo
