// The overwrite question's text and the newer-only rule, free of system calls.
#pragma once
#include <cstdint>
#include <string>

namespace korvane {

// One side of the question: what the system's find data said about the entry.
struct EntryDescription {
    std::u16string name;       // last path component
    std::u16string folder;     // parent folder, a drive root with its backslash
    std::u16string timeStamp;  // FormatTimeStamp of the local last-write time
    std::u16string size;       // FormatSize of the low 32 bits of the size
};

// The string-table entries the question is made of, in the order they appear.
struct OverwriteLabels {
    std::u16string heading;  // ends in two line feeds already
    std::u16string sourceName, sourceFolder, sourceTime, sourceSize;
    std::u16string object;
    std::u16string destinationName, destinationFolder, destinationTime, destinationSize;
    std::u16string question;
    std::u16string sizeUnit;
};

// Seventeen lines: heading, three empty lines, four about the source, an empty line,
// the object marker, an empty line, four about the destination, an empty line and
// the question (no line feed after it).
std::u16string ComposeOverwriteMessage(const OverwriteLabels& labels, const EntryDescription& source,
                                       const EntryDescription& destination);

// "2010/05/03 09:07:05": every field at least two digits, zero-filled; the year keeps all.
std::u16string FormatTimeStamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                               unsigned second);
// Plain decimal digits, no grouping.
std::u16string FormatSize(std::uint32_t bytes);

// The newer-only rule on raw UTC file times (high and low halves as the find data
// holds them): only a strictly later source is transferred.
bool SourceIsNewer(std::uint32_t sourceHigh, std::uint32_t sourceLow, std::uint32_t destinationHigh,
                   std::uint32_t destinationLow);

}  // namespace korvane
