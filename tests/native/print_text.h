// Names the case in a failure message: UTF-16 text printed as googletest prints it
// in its own comparisons, with escapes for what is not ASCII.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>

inline std::string Show(std::u16string_view text) { return ::testing::PrintToString(std::u16string(text)); }
