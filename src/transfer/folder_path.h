// Creating a destination folder with every missing level above it.
#pragma once
#include <string>
#include <vector>

namespace korvane {

// Asks the system to create each level of the path, outermost first. Levels that
// exist, a bare drive and levels that cannot be made simply fail: a folder that is
// still missing afterwards makes the following copy or move fail, and that is
// where the failure is recorded. The answer lists the levels this call made, as
// they were spelt: folders that hold nothing but what was written there since.
std::vector<std::u16string> CreateFolderPath(const std::u16string& path);

}  // namespace korvane
