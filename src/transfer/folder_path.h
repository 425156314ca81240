// Creating a destination folder with every missing level above it.
#pragma once
#include <string>

namespace korvane {

// Asks the system to create each level of the path, outermost first. Levels that
// exist, a bare drive and levels that cannot be made simply fail: a folder that is
// still missing afterwards makes the following copy or move fail, and that is
// where the failure is recorded.
void CreateFolderPath(const std::string& path);

}  // namespace korvane
