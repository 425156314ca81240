#include "dialog/entry_text.h"

#include <vector>

#include "match/path_text.h"

namespace korvane {

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool StartsWithDrive(const std::string& path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

// The parts between separators, empty ones dropped. A slash is never the second
// byte of a double-byte character; a backslash may be, so the text is walked.
std::vector<std::string> Components(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(b) && i + 1 < text.size()) {
            part += text[i];
            part += text[++i];
        } else if (IsSlash(text[i])) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += text[i];
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// "D:" of a drive path, "\\server\share" of a network path, empty for anything else.
std::string RootOf(const std::string& folder) {
    if (StartsWithDrive(folder)) return folder.substr(0, 2);
    if (folder.size() >= 2 && IsSlash(folder[0]) && IsSlash(folder[1])) {
        const std::vector<std::string> parts = Components(folder);
        if (parts.size() < 2) return std::string();
        return "\\\\" + parts[0] + "\\" + parts[1];
    }
    return std::string();
}

}  // namespace

std::string CutToBytes(const std::string& text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t step = IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + step > maxBytes) break;
        end += step;
    }
    return text.substr(0, end);
}

bool IsFullPath(const std::string& path) {
    if (path.size() >= 3 && StartsWithDrive(path) && IsSlash(path[2])) return true;
    return path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

std::string ResolveDestination(const std::string& typed, const std::string& currentFolder) {
    if (typed.empty() || IsFullPath(typed)) return typed;
    const std::string base = FolderDisplayForm(currentFolder);
    std::string root = RootOf(base);
    if (root.empty()) return typed;  // nothing sound to resolve against

    std::vector<std::string> parts;
    std::string rest;
    if (StartsWithDrive(typed)) {
        // Each drive's own current directory belongs to the host process: take its root.
        root = typed.substr(0, 2);
        rest = typed.substr(2);
    } else if (IsSlash(typed[0])) {
        rest = typed.substr(1);
    } else {
        parts = Components(base.substr(root.size()));
        rest = typed;
    }
    for (const std::string& part : Components(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();  // never above the root
            continue;
        }
        parts.push_back(part);
    }
    std::string result = root;
    for (const std::string& part : parts) result += "\\" + part;
    if (parts.empty()) result += "\\";
    return result;
}

std::string EffectiveDestination(const std::string& typed, const std::string& currentFolder, bool append) {
    const std::string resolved = ResolveDestination(typed, currentFolder);
    if (!append) return resolved;
    return StripTrailingBackslash(resolved) + "\\" + LastPathComponent(FolderDisplayForm(currentFolder));
}

}  // namespace korvane
