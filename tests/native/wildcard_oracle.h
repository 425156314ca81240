// The wildcard rules written out as literally as they are defined, recursion and
// all: the reference the fast matcher is compared with. Exponential in the number of
// stars, so only for short inputs.
//
// A character is a UTF-16 unit, or a high surrogate together with the low one after
// it; a surrogate without its partner is a character of its own. Only a-z fold.
#pragma once
#include <string>
#include <vector>

namespace oracle {

// The characters of a text, one code point each; a lone surrogate keeps its value.
inline std::u32string Characters(const std::u16string& text) {
    std::u32string characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        const char32_t next = i + 1 < text.size() ? text[i + 1] : 0;
        if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            characters += 0x10000 + (unit - 0xD800) * 0x400 + (next - 0xDC00);
            ++i;
        } else {
            characters += unit;
        }
    }
    return characters;
}

inline char32_t Upper(char32_t c) { return (c >= 0x61 && c <= 0x7A) ? c - 0x20 : c; }

inline bool Wildcard(const std::u32string& p, std::size_t pi, const std::u32string& n, std::size_t ni) {
    if (pi == p.size()) return ni == n.size();
    if (p[pi] == U'*') {
        if (Wildcard(p, pi + 1, n, ni)) return true;
        if (ni == n.size()) return false;
        return Wildcard(p, pi, n, ni + 1);
    }
    if (ni == n.size()) return false;
    if (p[pi] == U'?') return Wildcard(p, pi + 1, n, ni + 1);
    if (Upper(p[pi]) != Upper(n[ni])) return false;
    return Wildcard(p, pi + 1, n, ni + 1);
}

inline bool Wildcard(const std::u16string& p, const std::u16string& n) {
    return Wildcard(Characters(p), 0, Characters(n), 0);
}

inline bool Word(const std::u16string& w, const std::u16string& name) {
    std::u16string t = w;
    if (w[0] == u'.') t = u"*" + w;
    if (t.find(u'.') == std::u16string::npos) {
        if (Wildcard(t, name)) return true;
        t += u".*";
    }
    const std::size_t lastDot = t.rfind(u'.');
    if (lastDot == t.size() - 1) {
        t.erase(t.size() - 1);
        return Wildcard(t, name) && name.find(u'.') == std::u16string::npos;
    }
    return Wildcard(t, name);
}

inline bool List(const std::u16string& pattern, const std::u16string& name) {
    std::vector<std::u16string> words;
    std::u16string word;
    for (char16_t c : pattern) {
        if (c == u'\t' || c == u' ') {
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
