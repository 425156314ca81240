// Which reparse points a subfolder scan enters: only those that stand for another
// name (links, junctions, mount points) are passed by.
#include <gtest/gtest.h>

#include <cstdint>

#include "match/linked_folder.h"

using namespace korvane;

TEST(LinkedFolder, NameSurrogatesAreLinksEverythingElseIsAFolder) {
    constexpr std::uint32_t kDirectory = 0x10;
    constexpr std::uint32_t kReparse = kDirectory | kAttributeReparsePoint;
    const struct {
        const char* what;
        std::uint32_t attributes, tag;
        bool linked;
    } cases[] = {
        {"plain folder", kDirectory, 0, false},
        {"plain folder with a stray tag", kDirectory, 0xA000000C, false},
        {"symbolic link", kReparse, 0xA000000C, true},
        {"junction or mount point", kReparse, 0xA0000003, true},
        {"reparse point without a tag (Wine's links)", kReparse, 0, true},
        {"cloud placeholder", kReparse, 0x9000001A, false},
        {"cloud placeholder of another provider", kReparse, 0x9000F01A, false},
        {"deduplicated", kReparse, 0x80000013, false},
        {"WIM image", kReparse, 0x80000008, false},
        {"some other tag", kReparse, 0x80000021, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsLinkedFolder(c.attributes, c.tag), c.linked) << c.what;
}
