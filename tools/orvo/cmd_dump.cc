// `orvo dump LAYER`: the records of a layer, geometry and attributes.
#include <charconv>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/orvo/commands.h"
#include "tools/orvo/layer.h"

namespace orvotool {

namespace {

using Json = nlohmann::ordered_json;

std::string Number(double v) {
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof(text), v);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

void ParseIds(const std::string& text, int32_t* first, int32_t* last) {
  const size_t dash = text.find('-', 1);
  if (dash == std::string::npos) {
    *first = *last = ParseInt(text, "id");
  } else {
    *first = ParseInt(text.substr(0, dash), "first id");
    *last = ParseInt(text.substr(dash + 1), "last id");
  }
  if (*first > *last) throw UsageError{"--ids " + text + ": the first id is above the last"};
}

void DumpText(const Feature& f, std::FILE* out) {
  std::fprintf(out, "%s %d%s", KindName(f.kind), f.id, f.has_z ? " with heights" : "");
  if (f.has_attributes) std::fprintf(out, " user %d class \"%s\"", f.user_id, f.class_code.c_str());
  std::fprintf(out, "\n");
  size_t at = 0;
  for (size_t v = 0; v < f.sizes.size(); ++v) {
    std::fprintf(out, "  vector %d:", static_cast<int>(v));
    for (int32_t i = 0; i < f.sizes[v]; ++i, ++at) {
      std::fprintf(out, " %s,%s", Number(f.xy[2 * at]).c_str(), Number(f.xy[2 * at + 1]).c_str());
      if (f.has_z) std::fprintf(out, ",%s", Number(f.z[at]).c_str());
    }
    std::fprintf(out, "\n");
  }
  for (const Attribute& a : f.attributes)
    std::fprintf(out, "  %s (%s) = %s\n", a.id.c_str(), TypeName(a.type), ValueText(a).c_str());
}

Json DumpJson(const Feature& f) {
  Json r = Json::object();
  r["id"] = f.id;
  r["kind"] = KindName(f.kind);
  r["has_z"] = f.has_z;
  Json vectors = Json::array();
  size_t at = 0;
  for (int32_t size : f.sizes) {
    Json v = Json::array();
    for (int32_t i = 0; i < size; ++i, ++at) {
      Json p = {f.xy[2 * at], f.xy[2 * at + 1]};
      if (f.has_z) p.push_back(f.z[at]);
      v.push_back(std::move(p));
    }
    vectors.push_back(std::move(v));
  }
  r["vectors"] = std::move(vectors);
  if (f.has_attributes) {
    r["user_id"] = f.user_id;
    r["class"] = Json(f.class_code);
    Json attrs = Json::array();
    for (const Attribute& a : f.attributes)
      attrs.push_back({{"id", a.id}, {"type", TypeName(a.type)}, {"value", ValueText(a)}});
    r["attributes"] = std::move(attrs);
  }
  return r;
}

int RunDump(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 1, 1);
  int32_t first = INT32_MIN, last = INT32_MAX;
  if (args.Has("--ids")) ParseIds(args.Value("--ids"), &first, &last);
  const bool json = args.Has("--json");
  LayerReader reader(args.operands[0]);
  Feature f;
  bool any = false;
  if (json) std::fputs("[", io.out);
  while (reader.Next(&f)) {
    if (f.id < first || f.id > last) continue;
    if (json) {
      std::fprintf(io.out, "%s\n", any ? "," : "");
      std::fputs(DumpJson(f).dump(-1, ' ', false, Json::error_handler_t::replace).c_str(), io.out);
    } else {
      DumpText(f, io.out);
    }
    any = true;
  }
  if (json) std::fputs("\n]\n", io.out);
  return 0;
}

}  // namespace

const Command kDumpCommand = {
    "dump",
    "prints the records of a layer",
    "usage: orvo dump LAYER [--ids A-B] [--json]\n"
    "  prints every record of the layer (named by either of its files) in the\n"
    "  order of its spatial file: kind, id, heights, user id and class code,\n"
    "  the vertices of each vector and the attributes with their types.\n"
    "  --ids A-B (or --ids A) keeps the records with ids from A to B.\n"
    "  --json prints an array of objects {id, kind, has_z, vectors: [[[x, y(,\n"
    "  z)]...]...], user_id, class, attributes: [{id, type, value}...]}; values\n"
    "  are given as text, blobs as hexadecimal digit pairs.\n",
    {{"--ids", true}, {"--json", false}},
    RunDump};

}  // namespace orvotool
