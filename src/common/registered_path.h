// The path a class registration names: the default value of a key under
// HKEY_CLASSES_ROOT (an InprocServer32 key, say).
#pragma once
#include <string>

namespace korvane {

// The value with environment references expanded and surrounding quotes removed;
// empty when the key or a usable string value is missing, or the path is too long.
std::string RegisteredPath(const std::string& keyName);

}  // namespace korvane
