// Map passport: the small INI-style ".passport" file beside a vector map that
// names it (alias), locates its files and gives its overall bound, plus any
// number of named text properties.
#ifndef VECTOR_MAP_PASSPORT_H_
#define VECTOR_MAP_PASSPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "orvoapi.h"

namespace orvo {

// Messages of the passport.
extern const char kCantWritePassport[];  // "can't write pasport"
extern const char kNoSuchAttribute[];    // "no such passport attribute"

// Passport file, CR LF line ends on every platform:
//   [COMMON]
//   ALIAS=<alias>
//   BOUND=<minx>,<miny>,<maxx>,<maxy>      numbers as "%-.16g"
//   <KEY>=<value>                          one line per property, in order
//
// Property keys are upper-cased (ASCII letters) and trimmed; ALIAS and BOUND
// are reserved for the two fixed fields. Keys are unique.
class TMapPassport {
 public:
  TMapPassport();
  virtual ~TMapPassport();
  TMapPassport(const TMapPassport&) = delete;
  TMapPassport& operator=(const TMapPassport&) = delete;

  const std::string& Alias() const { return alias_; }
  void SetAlias(const char* alias) { alias_ = alias != nullptr ? alias : ""; }
  // Path of the map files without extension.
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const char* file_name) { file_name_ = file_name != nullptr ? file_name : ""; }

  // The bound with each axis ordered minimum first.
  BOUND GetBound() const { return Normalised(bound_); }
  void SetBound(const BOUND& bound) { bound_ = Normalised(bound); }

  int32_t AttributeCount() const { return static_cast<int32_t>(keys_.size()); }
  // Key / value at index; raises kNoSuchAttribute when out of range.
  const std::string& AttributeKey(int32_t index) const;
  const std::string& AttributeValue(int32_t index) const;
  // The value of key (normalised first); null when absent. Valid until the
  // properties change.
  const std::string* FindAttribute(const char* key) const;
  // The same, raising kNoSuchAttribute when absent.
  const std::string& Attribute(const char* key) const;
  // Sets a property: the key is normalised, the value trimmed; an existing key
  // keeps its place, a new one is appended. False, nothing changed, for a null
  // or reserved key and for a property that the passport file could not give
  // back (see CanStore).
  bool AddAttribute(const char* key, const char* value);
  // Removes the property of key (normalised); false when reserved or absent.
  bool RemoveAttribute(const char* key);

  // Reads the passport of the map file_name: file_name with its extension
  // replaced by ".passport". The file name field becomes file_name without its
  // extension. ALIAS and BOUND set the fixed fields (fields missing from the
  // file keep their values); every other key sets a property, in file order.
  // False when the file cannot be read or has no [COMMON] section; raises
  // DataException for INI syntax errors. Nothing but the file name changes
  // unless the load succeeds.
  bool Load(const char* file_name);

  // Writes FileName() + ".passport", replacing it. Raises "can't write
  // pasport" when the file name is empty or the file cannot be written
  // completely, or when the alias makes a line too long to be read back.
  // Line ends inside the alias are dropped.
  void Save() const;

  // Builds the passport from the spatial file of a map: the file name field
  // becomes file_name without extension, the alias its name without directory
  // and extension; the bound becomes the union of the bounds of every record
  // that is not a text record (unchanged when there is none). The spatial file
  // is file_name with the extension of the form: ".bspatial" when binary,
  // else ".spatial". Raises when the file cannot be opened or is malformed;
  // the bound is then unchanged.
  void Find(const char* file_name, bool binary);

  // Key normalisation: ASCII upper case, leading and trailing white space
  // removed.
  static std::string NormaliseKey(const char* key);

 private:
  static BOUND Normalised(const BOUND& bound);
  static bool IsReserved(const std::string& key);
  // True when "key=value" reads back from a passport file as this property.
  static bool CanStore(const std::string& key, const std::string& value);
  // Index of key in keys_, or -1.
  int32_t IndexOf(const std::string& key) const;
  // Sets an already normalised property.
  void Put(const std::string& key, std::string value);

  std::string alias_;
  std::string file_name_;
  BOUND bound_;
  std::vector<std::string> keys_;
  std::vector<std::string> values_;
};

}  // namespace orvo

#endif  // VECTOR_MAP_PASSPORT_H_
