#include "dialog/entry_text.h"

#include <vector>

#include "common/text.h"
#include "common/path_text.h"

namespace korvane {

namespace {

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool StartsWithDrive(std::u16string_view path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == u':';
}

// The parts between separators, empty ones dropped.
std::vector<std::u16string> Components(std::u16string_view text) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsSlash(text[i])) continue;
        if (i > start) parts.emplace_back(text.substr(start, i - start));
        start = i + 1;
    }
    return parts;
}

// "D:" of a drive path, "\\server\share" of a network path, empty for anything else.
std::u16string RootOf(std::u16string_view folder) {
    if (StartsWithDrive(folder)) return std::u16string(folder.substr(0, 2));
    if (folder.size() >= 2 && IsSlash(folder[0]) && IsSlash(folder[1])) {
        const std::vector<std::u16string> parts = Components(folder);
        if (parts.size() < 2) return std::u16string();
        return u"\\\\" + parts[0] + u"\\" + parts[1];
    }
    return std::u16string();
}

}  // namespace

std::u16string CutToUnits(std::u16string_view text, std::size_t maxUnits) {
    if (text.size() <= maxUnits) return std::u16string(text);
    std::size_t end = maxUnits;
    if (end > 0 && IsHighSurrogate(text[end - 1]) && IsLowSurrogate(text[end])) --end;
    return std::u16string(text.substr(0, end));
}

std::u16string ResolveDestination(std::u16string_view typed, std::u16string_view currentFolder) {
    if (typed.empty() || IsFullPath(typed)) return std::u16string(typed);
    const std::u16string base = FolderDisplayForm(currentFolder);
    std::u16string root = RootOf(base);
    if (root.empty()) return std::u16string(typed);  // nothing sound to resolve against

    std::vector<std::u16string> parts;
    std::u16string_view rest;
    if (StartsWithDrive(typed)) {
        // Each drive's own current directory belongs to the host process: take its root.
        root = typed.substr(0, 2);
        rest = typed.substr(2);
    } else if (IsSlash(typed[0])) {
        rest = typed.substr(1);
    } else {
        parts = Components(std::u16string_view(base).substr(root.size()));
        rest = typed;
    }
    for (std::u16string& part : Components(rest)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();  // never above the root
            continue;
        }
        parts.push_back(std::move(part));
    }
    std::u16string result = root;
    for (const std::u16string& part : parts) result += u"\\" + part;
    if (parts.empty()) result += u"\\";
    return result;
}

std::u16string EffectiveDestination(std::u16string_view typed, std::u16string_view currentFolder, bool append) {
    const std::u16string resolved = ResolveDestination(typed, currentFolder);
    if (!append) return resolved;
    return StripTrailingBackslash(resolved) + u"\\" + LastPathComponent(FolderDisplayForm(currentFolder));
}

}  // namespace korvane
