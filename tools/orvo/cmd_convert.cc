// `orvo convert IN OUT`: a layer between its text and binary forms and GeoJSON.
#include <filesystem>
#include <string>

#include "tools/orvo/commands.h"
#include "tools/orvo/geojson.h"
#include "tools/orvo/layer.h"
#include "tools/orvo/progress.h"

namespace orvotool {

namespace {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

int RunConvert(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 2, 2);
  const std::string& in = args.operands[0];
  const std::string& out = args.operands[1];
  const bool in_json = IsGeoJsonPath(in), out_json = IsGeoJsonPath(out);
  if (!in_json && !IsLayerPath(in))
    throw UsageError{in +
                     ": name a layer file (.spatial, .attribute, .bspatial, .battribute) or "
                     "a .geojson file"};
  if (!out_json && !IsLayerPath(out))
    throw UsageError{out +
                     ": name a layer file (.spatial, .attribute, .bspatial, .battribute) or "
                     "a .geojson file"};
  if (in_json && out_json) throw UsageError{"both files are GeoJSON: nothing to convert"};
  const bool shown = WantsProgress(args, io);
  int64_t count = 0;
  if (in_json) {
    const LayerFiles target = ResolveLayer(out);
    if (SameFile(in, target.spatial) || SameFile(in, target.attribute))
      throw UsageError{"the output would overwrite the input"};
    if (shown) std::fprintf(io.out, "converting %s to %s: ", in.c_str(), target.spatial.c_str());
    Progress progress(io.out, shown, 1);
    try {
      LayerWriter writer(out);
      count = ReadGeoJson(in, progress, [&](const Feature& f) { writer.Add(f); });
      writer.Commit();
    } catch (...) {
      progress.Abandon();
      throw;
    }
    progress.Done();
  } else {
    LayerReader reader(in);
    if (out_json) {
      if (SameFile(reader.Files().spatial, out))
        throw UsageError{"the output would overwrite the input"};
      if (shown)
        std::fprintf(io.out, "converting %s to %s: ", reader.Files().spatial.c_str(), out.c_str());
      Progress progress(io.out, shown, reader.SpatialSize());
      try {
        count = WriteGeoJson(reader, out, progress);
      } catch (...) {
        progress.Abandon();
        throw;
      }
      progress.Done();
    } else {
      const LayerFiles target = ResolveLayer(out);
      if (target.base == reader.Files().base && target.binary == reader.Files().binary)
        throw UsageError{"the output would overwrite the input"};
      if (shown)
        std::fprintf(io.out, "converting %s to %s: ", reader.Files().spatial.c_str(),
                     target.spatial.c_str());
      Progress progress(io.out, shown, reader.SpatialSize());
      try {
        LayerWriter writer(out);
        Feature f;
        while (reader.Next(&f)) {
          writer.Add(f);
          if (++count % 4096 == 0) progress.Advance(reader.Position());
        }
        writer.Commit();
      } catch (...) {
        progress.Abandon();
        throw;
      }
      progress.Done();
    }
  }
  std::fprintf(io.out, "%lld records\n", static_cast<long long>(count));
  return 0;
}

}  // namespace

const Command kConvertCommand = {
    "convert",
    "converts a layer between text, binary and GeoJSON",
    "usage: orvo convert [--progress] IN OUT\n"
    "  converts a vector layer between its text form (.spatial/.attribute), its\n"
    "  binary form (.bspatial/.battribute) and GeoJSON (.geojson or .json). A\n"
    "  layer is named by either of its files; both are read and written. Ids,\n"
    "  kinds, coordinates, heights, user ids, class codes and attributes with\n"
    "  their types survive a round trip through GeoJSON (see docs/orvo.md).\n"
    "  The output is written under a temporary name and replaces OUT only when\n"
    "  complete; an index of an older layer at OUT is removed. Progress is shown\n"
    "  on a terminal or with --progress.\n",
    {},
    RunConvert};

}  // namespace orvotool
