// The wildcard rules written out as literally as they are defined, recursion and
// all: the reference the fast matcher is compared with. Exponential in the number of
// stars, so only for short inputs.
#pragma once
#include <string>
#include <vector>

namespace oracle {

inline unsigned char Upper(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x61 && b <= 0x7A) ? static_cast<unsigned char>(b - 0x20) : b;
}

inline bool Wildcard(const std::string& p, const std::string& n) {
    if (p.empty()) return n.empty();
    if (p[0] == '*') {
        if (Wildcard(p.substr(1), n)) return true;
        if (n.empty()) return false;
        return Wildcard(p, n.substr(1));
    }
    if (p[0] == '?') {
        if (n.empty()) return false;
        return Wildcard(p.substr(1), n.substr(1));
    }
    if (n.empty()) return false;
    if (Upper(p[0]) != Upper(n[0])) return false;
    return Wildcard(p.substr(1), n.substr(1));
}

inline bool Word(const std::string& w, const std::string& name) {
    std::string t = w;
    if (w[0] == '.') t = "*" + w;
    if (t.find('.') == std::string::npos) {
        if (Wildcard(t, name)) return true;
        t += ".*";
    }
    const std::size_t lastDot = t.rfind('.');
    if (lastDot == t.size() - 1) {
        t.erase(t.size() - 1);
        return Wildcard(t, name) && name.find('.') == std::string::npos;
    }
    return Wildcard(t, name);
}

inline bool List(const std::string& pattern, const std::string& name) {
    std::vector<std::string> words;
    std::string word;
    for (char c : pattern) {
        if (c == '\t' || c == ' ') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    if (words.empty()) return false;
    for (const auto& w : words)
        if (Word(w, name)) return true;
    return false;
}

}  // namespace oracle
