// Layer records through the SR/AR/SW/AW exports.
#include "tools/orvo/layer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "tools/orvo/command.h"
#include "vector/binary_spatial_reader64.h"
#include "vector/text_spatial_reader.h"

namespace orvotool {

namespace fs = std::filesystem;

namespace {

std::string LowerExtension(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

bool RemoveFile(const std::string& path) {
  std::error_code ec;
  return fs::remove(path, ec);
}

}  // namespace

bool IsLayerPath(const std::string& path) {
  const std::string ext = LowerExtension(path);
  return ext == ".spatial" || ext == ".attribute" || ext == ".bspatial" || ext == ".battribute" ||
         ext == ".index" || ext == ".bindex";
}

LayerFiles ResolveLayer(const std::string& path) {
  LayerFiles files;
  const std::string ext = LowerExtension(path);
  files.binary = ext == ".bspatial" || ext == ".battribute" || ext == ".bindex";
  files.base =
      IsLayerPath(path) || ext == ".passport" ? path.substr(0, path.size() - ext.size()) : path;
  files.spatial = files.base + (files.binary ? ".bspatial" : ".spatial");
  files.attribute = files.base + (files.binary ? ".battribute" : ".attribute");
  files.index = files.base + (files.binary ? ".bindex" : ".index");
  files.passport = files.base + ".passport";
  return files;
}

std::string ValueText(const Attribute& a) {
  switch (a.type) {
    case kTypeInt:
      return std::to_string(a.integer);
    case kTypeReal: {
      char text[32];
      auto [end, ec] = std::to_chars(text, text + sizeof(text), a.real);
      return ec == std::errc() ? std::string(text, end) : std::string("nan");
    }
    case kTypeBlob: {
      static const char kDigits[] = "0123456789abcdef";
      std::string hex;
      hex.reserve(a.blob.size() * 2);
      for (unsigned char c : a.blob) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
      }
      return hex;
    }
    default:
      return a.text;
  }
}

const char* TypeName(int32_t type) {
  switch (type) {
    case kTypeInt:
      return "int";
    case kTypeReal:
      return "real";
    case kTypeBlob:
      return "blob";
    default:
      return "string";
  }
}

const char* KindName(int32_t kind) {
  static const char* const kNames[] = {"PNT", "LIN", "RGN", "TXT", "MIX"};
  return kind >= 1 && kind <= 5 ? kNames[kind - 1] : "?";
}

// ---------------------------------------------------------------- reading

LayerReader::LayerReader(const std::string& path) : files_(ResolveLayer(path)) {
  if (!fs::exists(files_.spatial)) throw InputError{files_.spatial, "no such file"};
  sr_ = CreateExSR(files_.spatial.c_str(), files_.binary);
  if (sr_ == nullptr) throw InputError{files_.spatial, "is no spatial file of a layer"};
  if (fs::exists(files_.attribute)) {
    ar_ = CreateExAR(files_.attribute.c_str(), files_.binary);
    if (ar_ == nullptr) throw InputError{files_.attribute, "is no attribute file of a layer"};
  }
  buffer_.resize(256);  // grows when a text does not fit
}

LayerReader::~LayerReader() {
  FreeSR(sr_);
  FreeAR(ar_);
}

bool LayerReader::HasIndex() const { return IsNetworkSR(sr_); }
int64_t LayerReader::SpatialSize() const { return GetSizeSR(sr_); }

bool LayerReader::Next(Feature* f) {
  if (!NextSR(sr_)) {
    CheckEnd();
    return false;
  }
  f->id = GetIdSR(sr_);
  f->kind = GetLocalSR(sr_);
  f->position = GetPositionSR(sr_);
  last_position_ = f->position;
  const int32_t vectors = GetVectorCountSR(sr_);
  const int32_t vertices = GetVertexCountSR(sr_);
  const int32_t* sizes = GetVectorSizeSR(sr_);
  const double* metric = GetMetricSR(sr_);
  const double* z = GetZSR(sr_);
  if (vectors < 1 || vertices < 1 || sizes == nullptr || metric == nullptr)
    throw InputError{files_.spatial, "record " + std::to_string(f->id) + " has no geometry"};
  // The binary form hands out pointers into the mapped file, which need not
  // be aligned: copy them byte for byte.
  f->sizes.resize(static_cast<size_t>(vectors));
  std::memcpy(f->sizes.data(), sizes, f->sizes.size() * sizeof(int32_t));
  f->xy.resize(static_cast<size_t>(vertices) * 2);
  std::memcpy(f->xy.data(), metric, f->xy.size() * sizeof(double));
  f->has_z = z != nullptr;
  f->z.resize(f->has_z ? static_cast<size_t>(vertices) : 0);
  if (f->has_z) std::memcpy(f->z.data(), z, f->z.size() * sizeof(double));
  Attach(f);
  return true;
}

// NextSR ends a walk with false both at the end and at a malformed record;
// the library's reader of the same form tells them apart with its message.
void LayerReader::CheckEnd() {
  std::unique_ptr<orvo::ISpatialReader> reader;
  try {
    if (files_.binary)
      reader = std::make_unique<orvo::TBinarySpatialReader64>(files_.spatial.c_str());
    else
      reader = std::make_unique<orvo::TSpatialReader>(files_.spatial.c_str());
    if (last_position_ >= 0) {
      if (!reader->SetPosition(last_position_)) return;
    }
    while (reader->ReadNext()) {
    }
  } catch (const char* message) {
    throw InputError{files_.spatial, message};
  }
}

bool LayerReader::ReadAttributes(Feature* f) {
  f->has_attributes = true;
  f->user_id = GetUserIdAR(ar_);
  auto text = [this](auto getter) {
    for (;;) {
      // The getters fill the whole buffer, padding the text with NULs: a
      // last byte that is not NUL means the text was cut.
      const int32_t size = static_cast<int32_t>(buffer_.size());
      if (!getter(buffer_.data(), size)) return std::string();
      if (buffer_.back() == '\0') return std::string(buffer_.data());
      buffer_.resize(buffer_.size() * 4);  // bounded copy cut it: try a larger buffer
    }
  };
  f->class_code = text([this](char* b, int32_t n) { return GetClassCodeAR(ar_, b, n); });
  const int32_t count = GetAttributeCountAR(ar_);
  f->attributes.resize(static_cast<size_t>(count > 0 ? count : 0));
  for (int32_t i = 0; i < count; ++i) {
    Attribute& a = f->attributes[static_cast<size_t>(i)];
    a.id = text([this, i](char* b, int32_t n) { return GetAttributeIdAR(ar_, i, b, n); });
    a.type = GetAttributeDataTypeAR(ar_, i);
    a.text.clear();
    a.blob.clear();
    a.integer = 0;
    a.real = 0;
    switch (a.type) {
      case kTypeInt:
        a.integer = GetIntAttributeAR(ar_, i);
        break;
      case kTypeReal:
        a.real = GetDoubleAttributeAR(ar_, i);
        break;
      case kTypeBlob: {
        const int32_t n = GetBlobAttributeAR(ar_, i, nullptr, 0);
        a.blob.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0) GetBlobAttributeAR(ar_, i, a.blob.data(), n);
        break;
      }
      default:
        a.type = kTypeString;
        a.text = text([this, i](char* b, int32_t n) { return GetAttributeAR(ar_, i, b, n); });
    }
  }
  return true;
}

// Attribute records usually follow the spatial records one for one; the walk
// keeps them in step and falls back to a map of positions by id (one pass
// over the attribute file) at the first record that does not match.
void LayerReader::Attach(Feature* f) {
  f->has_attributes = false;
  f->user_id = 0;
  f->class_code.clear();
  f->attributes.clear();
  if (ar_ == nullptr) return;
  if (!by_position_) {
    if (!ar_current_) ar_current_ = NextAR(ar_);
    if (ar_current_ && GetIdAR(ar_) == f->id) {
      ReadAttributes(f);
      ar_current_ = false;
      return;
    }
    by_position_ = true;
    ResetAR(ar_);
    while (NextAR(ar_)) attribute_positions_.emplace(GetIdAR(ar_), GetPositionAR(ar_));
  }
  auto it = attribute_positions_.find(f->id);
  if (it != attribute_positions_.end() && SetPositionAR(ar_, it->second) && GetIdAR(ar_) == f->id)
    ReadAttributes(f);
}

// ---------------------------------------------------------------- writing

LayerWriter::LayerWriter(const std::string& path) : files_(ResolveLayer(path)) {
  temp_spatial_ = files_.spatial + ".tmp";
  temp_attribute_ = files_.attribute + ".tmp";
  sw_ = CreateExSW(temp_spatial_.c_str(), files_.binary);
  if (sw_ == nullptr) throw InputError{files_.spatial, "cannot be created"};
  aw_ = CreateExAW(temp_attribute_.c_str(), files_.binary);
  if (aw_ == nullptr) {
    Close();
    RemoveFile(temp_spatial_);
    throw InputError{files_.attribute, "cannot be created"};
  }
}

LayerWriter::~LayerWriter() {
  Close();
  if (!committed_) {
    RemoveFile(temp_spatial_);
    RemoveFile(temp_attribute_);
  }
}

void LayerWriter::Close() {
  FreeSW(sw_);
  FreeAW(aw_);
  sw_ = nullptr;
  aw_ = nullptr;
}

// What the files cannot hold is refused rather than written damaged: the
// exports take C strings, and the text attribute line keeps its class code
// and attribute ids unescaped, drops line ends from values and is read back
// only up to 2047 characters.
void LayerWriter::CheckFits(const Feature& f) const {
  const std::string record = "record " + std::to_string(f.id) + " ";
  auto has = [](const std::string& s, const char* chars) {
    return s.find_first_of(chars, 0, std::strlen(chars)) != std::string::npos;
  };
  auto refuse = [&](const std::string& why) { throw InputError{files_.attribute, record + why}; };
  if (f.class_code.find('\0') != std::string::npos) refuse("has a NUL in its class code");
  for (const Attribute& a : f.attributes) {
    if (a.id.empty() || a.id.find('\0') != std::string::npos)
      refuse("has an empty attribute id or one with a NUL");
    if (a.type == kTypeString && a.text.find('\0') != std::string::npos)
      refuse("has a NUL in attribute " + a.id);
  }
  if (files_.binary || !f.has_attributes) return;
  if (has(f.class_code, "\"\r\n"))
    refuse("has a quote or line end in its class code, which the text form cannot hold");
  size_t line =
      std::to_string(f.id).size() + std::to_string(f.user_id).size() + f.class_code.size() + 5;
  for (const Attribute& a : f.attributes) {
    if (has(a.id, ",\"\r\n") || a.id.front() == ' ')
      refuse("has attribute id \"" + a.id + "\", which the text form cannot hold");
    const std::string value = ValueText(a);
    if (a.type == kTypeString && has(value, "\r\n"))
      refuse("has a line end in attribute " + a.id + ", which the text form cannot hold");
    line += a.id.size() + 4 + value.size() + std::count(value.begin(), value.end(), '"') +
            std::count(value.begin(), value.end(), '\\');
  }
  if (line > 2047) refuse("has attributes longer than the text form's line of 2047 characters");
}

void LayerWriter::Add(const Feature& f) {
  CheckFits(f);
  const int32_t vectors = static_cast<int32_t>(f.sizes.size());
  const int64_t at =
      f.has_z ? AddRecord3DSW(sw_, f.id, f.kind, f.sizes.data(), f.xy.data(), vectors, f.z.data())
              : AddRecordSW(sw_, f.id, f.kind, f.sizes.data(), f.xy.data(), vectors);
  if (at < 0)
    throw InputError{files_.spatial, "record " + std::to_string(f.id) + " cannot be written"};
  if (!f.has_attributes) return;
  if (AddRecordAW(aw_, f.id, f.user_id, f.class_code.c_str()) < 0)
    throw InputError{files_.attribute, "record " + std::to_string(f.id) + " cannot be written"};
  for (const Attribute& a : f.attributes) {
    switch (a.type) {
      case kTypeInt:
        AddIntAttributeAW(aw_, a.id.c_str(), a.integer);
        break;
      case kTypeReal:
        AddDoubleAttributeAW(aw_, a.id.c_str(), a.real);
        break;
      case kTypeBlob:
        AddBlobAttributeAW(aw_, a.id.c_str(), a.blob.data(), static_cast<int32_t>(a.blob.size()));
        break;
      default:
        AddAttributeAW(aw_, a.id.c_str(), a.text.c_str());
    }
  }
}

void LayerWriter::Commit() {
  Close();
  std::error_code ec;
  fs::rename(temp_spatial_, files_.spatial, ec);
  if (ec) throw InputError{files_.spatial, "cannot be replaced (" + ec.message() + ")"};
  fs::rename(temp_attribute_, files_.attribute, ec);
  if (ec) throw InputError{files_.attribute, "cannot be replaced (" + ec.message() + ")"};
  // An index or passport of an older layer of that name would describe other
  // records: the new layer has none.
  RemoveFile(files_.index);
  committed_ = true;
}

}  // namespace orvotool
