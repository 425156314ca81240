#include "transfer/overwrite_text.h"

#include <cstdio>

namespace korvane {

std::string ComposeOverwriteMessage(const OverwriteLabels& labels, const EntryDescription& source,
                                    const EntryDescription& destination) {
    std::string text;
    text += labels.heading + "\n\n";
    text += labels.sourceName + source.name + "\n";
    text += labels.sourceFolder + source.folder + "\n";
    text += labels.sourceTime + source.timeStamp + "\n";
    text += labels.sourceSize + source.size + labels.sizeUnit + "\n\n";
    text += labels.object + "\n\n";
    text += labels.destinationName + destination.name + "\n";
    text += labels.destinationFolder + destination.folder + "\n";
    text += labels.destinationTime + destination.timeStamp + "\n";
    text += labels.destinationSize + destination.size + labels.sizeUnit + "\n\n";
    text += labels.question;
    return text;
}

std::string FormatTimeStamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                            unsigned second) {
    char text[64];
    std::snprintf(text, sizeof text, "%02u/%02u/%02u %02u:%02u:%02u", year, month, day, hour, minute, second);
    return text;
}

std::string FormatSize(std::uint32_t bytes) { return std::to_string(bytes); }

bool SourceIsNewer(std::uint32_t sourceHigh, std::uint32_t sourceLow, std::uint32_t destinationHigh,
                   std::uint32_t destinationLow) {
    const std::uint64_t source = (static_cast<std::uint64_t>(sourceHigh) << 32) | sourceLow;
    const std::uint64_t destination = (static_cast<std::uint64_t>(destinationHigh) << 32) | destinationLow;
    return source > destination;
}

}  // namespace korvane
