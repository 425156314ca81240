// The tests both ways of reaching the view must pass; each test program instantiates
// them for its own way.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "explorer/list_view_bridge.h"

namespace viewtest {

struct BridgeKind {
    korvane::MatchList (*select)(HWND view, const korvane::ViewRequest& request);
    bool otherProcess;  // the view is shown by the host program, not by the test
};

// A request to collect (or, with collectPaths false, only select) the matches.
korvane::ViewRequest Request(const std::u16string& pattern, const std::u16string& folder = std::u16string(),
                             bool collectPaths = true, std::uint32_t useRegex = 0);

class BridgeTest : public testing::TestWithParam<BridgeKind> {
protected:
    korvane::MatchList Select(HWND view, const korvane::ViewRequest& request) const {
        return GetParam().select(view, request);
    }
};

}  // namespace viewtest
