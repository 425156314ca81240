#include "transfer/overwrite_text.h"

#include <cstdio>

#include "common/text.h"

namespace korvane {

std::u16string ComposeOverwriteMessage(const OverwriteLabels& labels, const EntryDescription& source,
                                       const EntryDescription& destination) {
    std::u16string text;
    text += labels.heading + u"\n\n";
    text += labels.sourceName + source.name + u"\n";
    text += labels.sourceFolder + source.folder + u"\n";
    text += labels.sourceTime + source.timeStamp + u"\n";
    text += labels.sourceSize + source.size + labels.sizeUnit + u"\n\n";
    text += labels.object + u"\n\n";
    text += labels.destinationName + destination.name + u"\n";
    text += labels.destinationFolder + destination.folder + u"\n";
    text += labels.destinationTime + destination.timeStamp + u"\n";
    text += labels.destinationSize + destination.size + labels.sizeUnit + u"\n\n";
    text += labels.question;
    return text;
}

std::u16string FormatTimeStamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                               unsigned second) {
    char text[64];
    std::snprintf(text, sizeof text, "%02u/%02u/%02u %02u:%02u:%02u", year, month, day, hour, minute, second);
    return AsciiText(text);
}

std::u16string FormatSize(std::uint32_t bytes) { return DecimalText(bytes); }

bool SourceIsNewer(std::uint32_t sourceHigh, std::uint32_t sourceLow, std::uint32_t destinationHigh,
                   std::uint32_t destinationLow) {
    const std::uint64_t source = (static_cast<std::uint64_t>(sourceHigh) << 32) | sourceLow;
    const std::uint64_t destination = (static_cast<std::uint64_t>(destinationHigh) << 32) | destinationLow;
    return source > destination;
}

}  // namespace korvane
