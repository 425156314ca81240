#include "match/wildcard.h"

namespace korvane {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// ASCII-only folding: every other byte, Shift-JIS trail bytes included, stays as it is.
inline unsigned char Fold(char c) noexcept {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - ('a' - 'A')) : b;
}

// A star-free piece of pattern against the bytes of name starting at at; the caller
// has made sure that they exist.
inline bool PieceMatchesAt(std::string_view piece, std::string_view name, std::size_t at) noexcept {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char p = piece[i];
        if (p != '?' && Fold(p) != Fold(name[at + i])) return false;
    }
    return true;
}

}  // namespace

// The stars cut the pattern into star-free pieces. The piece before the first star
// must sit at the start of the name and the piece after the last star at its end;
// every piece in between is placed at its leftmost fit after the one before. Any
// placement further right leaves less room for the pieces that follow, so when the
// leftmost one fails every other does too: this gives the results of trying both
// choices at every star without the exponential search.
bool MatchWildcard(std::string_view pattern, std::string_view name) noexcept {
    const std::size_t firstStar = pattern.find('*');
    if (firstStar == kNone)
        return pattern.size() == name.size() && PieceMatchesAt(pattern, name, 0);

    const std::size_t lastStar = pattern.rfind('*');
    const std::string_view head = pattern.substr(0, firstStar);
    const std::string_view tail = pattern.substr(lastStar + 1);
    if (name.size() < head.size() + tail.size()) return false;
    if (!PieceMatchesAt(head, name, 0)) return false;
    if (!PieceMatchesAt(tail, name, name.size() - tail.size())) return false;

    std::size_t from = head.size();
    const std::size_t end = name.size() - tail.size();
    std::size_t i = firstStar + 1;
    while (i < lastStar) {
        const std::size_t nextStar = pattern.find('*', i);
        const std::string_view piece = pattern.substr(i, nextStar - i);
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

std::vector<std::string_view> SplitWildcardWords(std::string_view pattern) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    const std::size_t n = pattern.size();
    while (i < n) {
        while (i < n && (pattern[i] == ' ' || pattern[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < n && pattern[i] != ' ' && pattern[i] != '\t') ++i;
        if (i > start) words.push_back(pattern.substr(start, i - start));
    }
    return words;
}

// "." (0x2E) is never a Shift-JIS trail byte, so the dots can be looked for byte-wise.
WildcardWord::WildcardWord(std::string_view word) {
    if (!word.empty() && word.front() == '.') text_ = "*";
    text_.append(word.data(), word.size());
    if (text_.find('.') == std::string::npos) {
        kind_ = Kind::OrWithExtension;
        withExtension_ = text_ + ".*";
    } else if (text_.back() == '.') {
        kind_ = Kind::NoDotInName;
        text_.pop_back();
    }
}

bool WildcardWord::Matches(std::string_view name) const noexcept {
    switch (kind_) {
    case Kind::Plain:
        return MatchWildcard(text_, name);
    case Kind::OrWithExtension:
        return MatchWildcard(text_, name) || MatchWildcard(withExtension_, name);
    case Kind::NoDotInName:
        return name.find('.') == std::string_view::npos && MatchWildcard(text_, name);
    }
    return false;
}

WildcardList::WildcardList(std::string_view pattern) {
    const auto words = SplitWildcardWords(pattern);
    words_.reserve(words.size());
    for (const auto word : words) words_.emplace_back(word);
}

bool WildcardList::Matches(std::string_view name) const noexcept {
    for (const auto& word : words_)
        if (word.Matches(name)) return true;
    return false;
}

}  // namespace korvane
