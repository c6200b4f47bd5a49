// The demo steps: each prints what it does and checks what it gets back.
#include "tools/orvo/demo.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_writer64.h"
#include "base/text_file_reader64.h"
#include "orvoapi.h"

namespace orvotool {

void DemoKeyIndexes(const HostLibrary& lib, Checker& check) {
  std::printf("key indexes (SI: string keys, II64: 64-bit keys)\n");
  auto create_si = lib.Get<HSI (*)()>("CreateSI");
  auto insert_si = lib.Get<bool (*)(HSI, const char*, int32_t)>("InsertSI");
  auto find_si = lib.Get<bool (*)(HSI, const char*, int32_t*)>("FindSI");
  auto count_si = lib.Get<int32_t (*)(HSI)>("CountSI");
  auto delete_si = lib.Get<void (*)(HSI, const char*)>("DeleteSI");
  auto free_si = lib.Get<void (*)(HSI)>("_FreeSI");  // the underscore names work too

  HSI names = create_si();
  const char* layers[] = {"roads", "rivers", "railways", "Roads"};
  for (int32_t i = 0; i < 4; ++i) insert_si(names, layers[i], 100 + i);
  check.Expect(!insert_si(names, "roads", 999), "InsertSI keeps the first value of a key");
  int32_t value = 0;
  check.Expect(find_si(names, "roads", &value) && value == 100, "FindSI(\"roads\") gives 100");
  check.Expect(find_si(names, "Roads", &value) && value == 103,
               "keys are case-sensitive: FindSI(\"Roads\") gives 103");
  delete_si(names, "rivers");
  check.Expect(count_si(names) == 3, "after DeleteSI(\"rivers\") CountSI is 3");
  free_si(names);

  auto create = lib.Get<HII64 (*)()>("CreateII64");
  auto insert = lib.Get<bool (*)(HII64, uint64_t, int32_t)>("InsertII64");
  auto find = lib.Get<bool (*)(HII64, uint64_t, int32_t*)>("FindII64");
  auto clear = lib.Get<void (*)(HII64)>("ClearII64");
  auto count = lib.Get<int32_t (*)(HII64)>("CountII64");
  auto free_index = lib.Get<void (*)(HII64)>("FreeII64");
  HII64 ids = create();
  const uint64_t big = uint64_t{1} << 63;
  insert(ids, big, 1);
  insert(ids, 1, 2);
  insert(ids, big | 1, 3);  // same low half as key 1, different high half
  check.Expect(count(ids) == 3, "2^63, 1 and 2^63+1 are three keys");
  check.Expect(find(ids, big | 1, &value) && value == 3, "FindII64(2^63+1) gives 3");
  clear(ids);
  check.Expect(count(ids) == 0, "ClearII64 empties the index");
  free_index(ids);
}

void DemoMappedFile(const std::string& dir, Checker& check) {
  std::printf("mapped files (written through growing windows, read line by line)\n");
  std::string path = (std::filesystem::path(dir) / "lines.txt").string();
  const int kLines = 50000;
  int64_t written = 0;
  {
    orvo::TFileWriter64 writer(path.c_str(), 1000000);
    for (int i = 0; i < kLines; ++i) {
      std::string line = "line " + std::to_string(i) + "\r\n";
      writer.Write(line.data(), static_cast<int64_t>(line.size()));
    }
    written = writer.LogicalSize();
  }
  std::printf("  wrote %d lines, %lld bytes to %s\n", kLines, static_cast<long long>(written),
              path.c_str());
  check.Expect(static_cast<int64_t>(std::filesystem::file_size(path)) == written,
               "the file is cut to the bytes written");
  int lines = 0;
  bool in_order = true;
  {
    orvo::TTextFileReader64 reader(path.c_str());
    char buffer[64];
    while (reader.ReadLine(buffer, 63)) {
      if (std::string(buffer) != "line " + std::to_string(lines)) in_order = false;
      ++lines;
    }
  }  // closed before the file is removed: Windows refuses to delete open files
  check.Expect(lines == kLines && in_order, "every line reads back in order");
  std::filesystem::remove(path);
}

int RunDemo(const HostLibrary& library, const std::string& work_dir) {
  std::filesystem::path dir = std::filesystem::path(work_dir) / "orvo-demo";
  std::filesystem::create_directories(dir);
  Checker check;
  DemoKeyIndexes(library, check);
  DemoMappedFile(dir.string(), check);
  DemoVectorLayer(library, dir.string(), /*binary=*/false, check);
  DemoVectorLayer(library, dir.string(), /*binary=*/true, check);
  DemoPassportAndSelection(library, dir.string(), check);
  DemoClassifier(library, dir.string(), check);
  DemoRaster(library, dir.string(), check);
  DemoDem(library, dir.string(), work_dir, check);
  DemoTaws(library, dir.string(), check);
  std::filesystem::remove_all(dir);
  if (check.Failures() != 0) {
    std::printf("demo: %d step(s) FAILED\n", check.Failures());
    return 1;
  }
  std::printf("demo: all steps ok\n");
  return 0;
}

}  // namespace orvotool
