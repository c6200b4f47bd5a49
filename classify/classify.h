// The classifier: the catalogue of feature, attribute, group and graph types
// that map objects use, loaded from and saved to an INI-style text file.
#ifndef CLASSIFY_CLASSIFY_H_
#define CLASSIFY_CLASSIFY_H_

#include <cstdint>

#include "classify/attribute.h"
#include "classify/definition_map.h"
#include "classify/feature.h"
#include "classify/graph.h"
#include "classify/group.h"

namespace orvo {

// Owns every definition in its four collections. Ids are case-insensitive:
// the collections key them upper-cased (ASCII letters). Pointers handed out
// by the Get operations stay valid until their object is erased, the
// classifier cleared, loaded or destroyed; a rename keeps the object.
class TClassify {
 public:
  TClassify() = default;
  virtual ~TClassify() = default;
  TClassify(const TClassify&) = delete;
  TClassify& operator=(const TClassify&) = delete;

  TDefinitionMap<TFeature>& Features() { return features_; }
  TDefinitionMap<TAttribute>& Attributes() { return attributes_; }
  TDefinitionMap<TGroup>& Groups() { return groups_; }
  TDefinitionMap<TGraph>& Graphs() { return graphs_; }
  const TDefinitionMap<TFeature>& Features() const { return features_; }
  const TDefinitionMap<TAttribute>& Attributes() const { return attributes_; }
  const TDefinitionMap<TGroup>& Groups() const { return groups_; }
  const TDefinitionMap<TGraph>& Graphs() const { return graphs_; }

  // Destroys every definition of all four kinds.
  void Clear();

  // Replace the content with the classifier text of a file or a memory block
  // (classify_loader.cc). False, with the classifier empty, when the file
  // cannot be opened or the text is not valid INI text; the reason goes to the
  // error-notification hook. Sections that are not valid definitions are
  // skipped and reported there too.
  bool LoadFile(const char* path);
  bool LoadMemory(const char* bytes, int32_t size);

  // Writes the classifier as text with CR LF line ends (classify_writer.cc).
  // False, and the file untouched, when some definition cannot be written so
  // that it loads back; false when the file cannot be written.
  bool SaveFile(const char* path) const;

  // Marks the four key lists for a rebuild.
  void MarkAllStale();

 private:
  TDefinitionMap<TFeature> features_;
  TDefinitionMap<TAttribute> attributes_;
  TDefinitionMap<TGroup> groups_;
  TDefinitionMap<TGraph> graphs_;
};

}  // namespace orvo

#endif  // CLASSIFY_CLASSIFY_H_
