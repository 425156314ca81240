// MatchWildcard and the wildcard lists against the recursive definition. The first
// input byte says where the pattern ends and the name begins; the bytes after it
// make the UTF-16 units of both (fuzz_units.h). Both texts are kept short because
// the definition's work grows exponentially with the stars.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_units.h"
#include "match/wildcard.h"
#include "wildcard_oracle.h"

namespace {
constexpr std::size_t kMaxPattern = 8;
constexpr std::size_t kMaxName = 12;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t split = data[0] % (kMaxPattern + 1);
    const std::u16string rest = FuzzUnits(data + 1, size - 1);
    if (split > rest.size() || rest.size() - split > kMaxName) return 0;
    const std::u16string pattern = rest.substr(0, split);
    const std::u16string name = rest.substr(split);

    if (korvane::MatchWildcard(pattern, name) != oracle::Wildcard(pattern, name)) std::abort();
    if (korvane::WildcardList(pattern).Matches(name) != oracle::List(pattern, name)) std::abort();
    return 0;
}
