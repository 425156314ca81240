// The walk behind the folder scans, open to other counts of the same files (the
// main dialog's match count): which entries are files, which folders are entered,
// in which order.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace korvane {

// accepts decides for each file name (directories never reach it); taken gets each
// accepted file with the folder it lies in. With here the files directly inside
// folder are tested, with below those of every folder under it, depth first, linked
// folders left out. An exception thrown by either ends the walk with every find
// handle closed.
using ScanAccepts = std::function<bool(std::string_view name)>;
using ScanTaken = std::function<void(const std::string& folder, std::string_view name)>;
void ScanFiles(const std::string& folder, bool here, bool below, const ScanAccepts& accepts, const ScanTaken& taken);

}  // namespace korvane
