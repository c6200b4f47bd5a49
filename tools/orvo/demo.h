// The `orvo demo` walk through the library's services.
#ifndef TOOLS_ORVO_DEMO_H_
#define TOOLS_ORVO_DEMO_H_

#include <string>

#include "tools/orvo/demo_check.h"
#include "tools/orvo/library.h"

namespace orvotool {

// Runs every demo step against the loaded library, printing what it does, in a
// scratch folder under work_dir. Returns 0 when every step did what it should.
int RunDemo(const HostLibrary& library, const std::string& work_dir);

// The steps, each in a folder it may fill.
void DemoKeyIndexes(const HostLibrary& lib, Checker& check);
void DemoMappedFile(const std::string& dir, Checker& check);
void DemoVectorLayer(const HostLibrary& lib, const std::string& dir, bool binary, Checker& check);
void DemoPassportAndSelection(const HostLibrary& lib, const std::string& dir, Checker& check);
void DemoClassifier(const HostLibrary& lib, const std::string& dir, Checker& check);
void DemoRaster(const HostLibrary& lib, const std::string& dir, Checker& check);
// Also draws the DEM through a DEM palette into out_dir/orvo-demo-dem.png
// (where this build writes PNG images).
void DemoDem(const HostLibrary& lib, const std::string& dir, const std::string& out_dir,
             Checker& check);
void DemoTaws(const HostLibrary& lib, const std::string& dir, Checker& check);

}  // namespace orvotool

#endif  // TOOLS_ORVO_DEMO_H_
