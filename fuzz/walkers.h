// What a host does with a reader: every accessor of every record, by
// enumeration and by position, with the arrays the reader hands out read to
// their last element.
#ifndef FUZZ_WALKERS_H_
#define FUZZ_WALKERS_H_

#include "orvoapi.h"

namespace orvofuzz {

// Walks a spatial reader (with or without an index) and returns the number
// of records the enumeration gave.
int WalkSpatial(HSR reader);
// Walks an attribute reader and returns the number of records.
int WalkAttributes(HAR reader);

}  // namespace orvofuzz

#endif  // FUZZ_WALKERS_H_
