// Vector layers as the commands see them: a record is one map object, its
// geometry from the spatial file joined with its attributes by id. Reading
// and writing go through the library's SR, AR, SW and AW exports.
#ifndef TOOLS_ORVO_LAYER_H_
#define TOOLS_ORVO_LAYER_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "orvoapi.h"

namespace orvotool {

// Attribute value types of the layer files.
enum : int32_t { kTypeInt = 1, kTypeReal = 2, kTypeString = 5, kTypeBlob = 6 };

struct Attribute {
  std::string id;
  int32_t type = kTypeString;
  std::string text;     // kTypeString (in text layers every value is a string)
  int32_t integer = 0;  // kTypeInt
  double real = 0;      // kTypeReal
  std::string blob;     // kTypeBlob: the bytes
};

struct Feature {
  int32_t id = 0;
  int32_t kind = 0;  // 1 PNT, 2 LIN, 3 RGN, 4 TXT, 5 MIX (without height)
  bool has_z = false;
  std::vector<int32_t> sizes;   // vertex count of each vector
  std::vector<double> xy;       // x, y of every vertex, vectors one after another
  std::vector<double> z;        // one height a vertex when has_z
  bool has_attributes = false;  // false: the attribute file has no record of this id
  int32_t user_id = 0;
  std::string class_code;
  std::vector<Attribute> attributes;
  int64_t position = 0;  // of the record in the spatial file
};

// The files of a layer named by any of them or by its bare base name (text).
struct LayerFiles {
  bool binary = false;
  std::string base;       // path without extension
  std::string spatial;    // base + ".bspatial" or ".spatial"
  std::string attribute;  // base + ".battribute" or ".attribute"
  std::string index;      // base + ".bindex" or ".index"
  std::string passport;   // base + ".passport"
};

// True when path names a layer file by its extension (either form).
bool IsLayerPath(const std::string& path);
// The layer's files; binary by the extension (.bspatial, .battribute, .bindex).
LayerFiles ResolveLayer(const std::string& path);

// The text form of a value (integer in decimal, real shortest round-trip,
// string as is, blob as lower-case hexadecimal digit pairs).
std::string ValueText(const Attribute& a);
const char* TypeName(int32_t type);  // "int", "real", "string", "blob"
const char* KindName(int32_t kind);  // "PNT" ... "MIX", "?" for others

// Walks the records of a layer in the order of its spatial file (its index
// order when it has an index). The attribute file may be missing.
class LayerReader {
 public:
  // Throws InputError when the spatial file cannot be opened or is no layer.
  explicit LayerReader(const std::string& path);
  ~LayerReader();
  LayerReader(const LayerReader&) = delete;
  LayerReader& operator=(const LayerReader&) = delete;

  const LayerFiles& Files() const { return files_; }
  bool HasAttributes() const { return ar_ != nullptr; }
  bool HasIndex() const;
  int64_t SpatialSize() const;
  // The next record, false at the end; throws InputError when the spatial
  // file turns out to be malformed (with the library's message).
  bool Next(Feature* f);
  // The spatial position of the last record read (progress).
  int64_t Position() const { return last_position_; }

 private:
  void Attach(Feature* f);
  bool ReadAttributes(Feature* f);
  void CheckEnd();

  LayerFiles files_;
  HSR sr_ = nullptr;
  HAR ar_ = nullptr;
  bool ar_current_ = false;   // the attribute reader holds a record not yet joined
  bool by_position_ = false;  // the in-step walk failed: join through the map
  std::unordered_map<int32_t, int64_t> attribute_positions_;
  int64_t last_position_ = -1;
  std::vector<char> buffer_;
};

// Writes a layer of either form; the files are written under temporary names
// and take their names only on Commit, so a failed write leaves nothing.
class LayerWriter {
 public:
  // Throws InputError when the files cannot be created.
  explicit LayerWriter(const std::string& path);
  ~LayerWriter();  // without Commit: removes what was written
  LayerWriter(const LayerWriter&) = delete;
  LayerWriter& operator=(const LayerWriter&) = delete;

  const LayerFiles& Files() const { return files_; }
  // Throws InputError for a record the library refuses.
  void Add(const Feature& f);
  // Closes the files and gives them their names; throws InputError.
  void Commit();

 private:
  void Close();
  void CheckFits(const Feature& f) const;

  LayerFiles files_;
  std::string temp_spatial_, temp_attribute_;
  HSW sw_ = nullptr;
  HAW aw_ = nullptr;
  bool committed_ = false;
};

}  // namespace orvotool

#endif  // TOOLS_ORVO_LAYER_H_
