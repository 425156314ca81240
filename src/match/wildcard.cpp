#include "match/wildcard.h"

#include <algorithm>

#include "common/text.h"

namespace korvane {

namespace {

// ASCII-only folding; Char is a UTF-16 unit or a whole code point.
template <typename Char>
inline Char Fold(Char c) noexcept {
    return (c >= u'a' && c <= u'z') ? static_cast<Char>(c - (u'a' - u'A')) : c;
}

// A star-free piece of pattern against the characters of name starting at at; the
// caller has made sure that they exist.
template <typename Char>
inline bool PieceMatchesAt(std::basic_string_view<Char> piece, std::basic_string_view<Char> name,
                           std::size_t at) noexcept {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const Char p = piece[i];
        if (p != u'?' && Fold(p) != Fold(name[at + i])) return false;
    }
    return true;
}

// The stars cut the pattern into star-free pieces. The piece before the first star
// must sit at the start of the name and the piece after the last star at its end;
// every piece in between is placed at its leftmost fit after the one before. Any
// placement further right leaves less room for the pieces that follow, so when the
// leftmost one fails every other does too: this gives the results of trying both
// choices at every star without the exponential search. Each element of the views
// is one character.
template <typename Char>
bool MatchCharacters(std::basic_string_view<Char> pattern, std::basic_string_view<Char> name) noexcept {
    constexpr std::size_t kNone = std::basic_string_view<Char>::npos;
    const std::size_t firstStar = pattern.find(u'*');
    if (firstStar == kNone) return pattern.size() == name.size() && PieceMatchesAt(pattern, name, 0);

    const std::size_t lastStar = pattern.rfind(u'*');
    const auto head = pattern.substr(0, firstStar);
    const auto tail = pattern.substr(lastStar + 1);
    if (name.size() < head.size() + tail.size()) return false;
    if (!PieceMatchesAt(head, name, 0)) return false;
    if (!PieceMatchesAt(tail, name, name.size() - tail.size())) return false;

    std::size_t from = head.size();
    const std::size_t end = name.size() - tail.size();
    std::size_t i = firstStar + 1;
    while (i < lastStar) {
        const std::size_t nextStar = pattern.find(u'*', i);
        const auto piece = pattern.substr(i, nextStar - i);
        i = nextStar + 1;
        if (piece.empty()) continue;
        for (;;) {
            if (end - from < piece.size()) return false;
            if (PieceMatchesAt(piece, name, from)) break;
            ++from;
        }
        from += piece.size();
    }
    return true;
}

bool HoldsSurrogate(std::u16string_view text) noexcept {
    return std::any_of(text.begin(), text.end(), IsSurrogate);
}

// One code point per character: a pair becomes the code point it encodes, a lone
// surrogate stays the value it has.
std::u32string CodePoints(std::u16string_view text) {
    std::u32string points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            points.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            points.push_back(unit);
        }
    }
    return points;
}

}  // namespace

// Almost every name is free of surrogates, and then every unit is a character: the
// units are compared as they are, without a copy. Only a pattern or name holding a
// surrogate is decoded first, so that "?" takes a pair whole and no piece of the
// pattern can match half of one.
bool MatchWildcard(std::u16string_view pattern, std::u16string_view name) noexcept {
    if (!HoldsSurrogate(pattern) && !HoldsSurrogate(name)) return MatchCharacters(pattern, name);
    try {
        const std::u32string patternPoints = CodePoints(pattern);
        const std::u32string namePoints = CodePoints(name);
        return MatchCharacters(std::u32string_view(patternPoints), std::u32string_view(namePoints));
    } catch (...) {
        return false;  // no memory for the copies: the name counts as not matching, the scan goes on
    }
}

std::vector<std::u16string_view> SplitWildcardWords(std::u16string_view pattern) {
    std::vector<std::u16string_view> words;
    std::size_t i = 0;
    const std::size_t n = pattern.size();
    while (i < n) {
        while (i < n && (pattern[i] == u' ' || pattern[i] == u'\t')) ++i;
        const std::size_t start = i;
        while (i < n && pattern[i] != u' ' && pattern[i] != u'\t') ++i;
        if (i > start) words.push_back(pattern.substr(start, i - start));
    }
    return words;
}

WildcardWord::WildcardWord(std::u16string_view word) {
    if (!word.empty() && word.front() == u'.') text_.push_back(u'*');
    text_.append(word.data(), word.size());
    if (text_.find(u'.') == std::u16string::npos) {
        kind_ = Kind::OrWithExtension;
        withExtension_ = text_ + u".*";
    } else if (text_.back() == u'.') {
        kind_ = Kind::NoDotInName;
        text_.pop_back();
    }
}

bool WildcardWord::Matches(std::u16string_view name) const noexcept {
    switch (kind_) {
    case Kind::Plain:
        return MatchWildcard(text_, name);
    case Kind::OrWithExtension:
        return MatchWildcard(text_, name) || MatchWildcard(withExtension_, name);
    case Kind::NoDotInName:
        return name.find(u'.') == std::u16string_view::npos && MatchWildcard(text_, name);
    }
    return false;
}

WildcardList::WildcardList(std::u16string_view pattern) {
    const auto words = SplitWildcardWords(pattern);
    words_.reserve(words.size());
    for (const auto word : words) words_.emplace_back(word);
}

bool WildcardList::Matches(std::u16string_view name) const noexcept {
    for (const auto& word : words_)
        if (word.Matches(name)) return true;
    return false;
}

}  // namespace korvane
