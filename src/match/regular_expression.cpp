#include "match/regular_expression.h"

#include <climits>
#include <string>

#include "common/com_memory.h"

namespace korvane {

namespace {

// The text as a BSTR; null when memory is short. An empty text is a valid empty BSTR.
BSTR ToBstr(std::u16string_view text) noexcept {
    if (text.size() > static_cast<std::size_t>(UINT_MAX / 2)) return nullptr;
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

// Create, start, then ask for IRegExp; the IUnknown of the creation is released
// whatever the later steps gave.
ComPtr<IRegExp> CreateRegExp() noexcept {
    ComPtr<IUnknown> unknown;
    if (FAILED(CoCreateInstance(kRegExpClassId, nullptr, kRegExpContext, IID_IUnknown, unknown.PutVoid())) ||
        !unknown)
        return nullptr;
    ComPtr<IRegExp> regExp;
    if (FAILED(OleRun(unknown.Get()))) return nullptr;
    if (FAILED(unknown->QueryInterface(kRegExpInterfaceId, regExp.PutVoid()))) return nullptr;
    return regExp;
}

// The statuses of Global and Pattern are not looked at: a pattern the component
// cannot use shows itself as a failing Test.
void Configure(IRegExp* regExp, BSTR pattern) noexcept {
    regExp->put_Global(VARIANT_TRUE);
    regExp->put_Pattern(pattern);
}

bool AskTest(IRegExp* regExp, BSTR name) noexcept {
    VARIANT_BOOL result = VARIANT_FALSE;
    return SUCCEEDED(regExp->Test(name, &result)) && result == VARIANT_TRUE;
}

// The description of the error info the last failing call left on this thread.
std::u16string TakeErrorDescription() noexcept {
    try {
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.Put()) != S_OK || !info) return std::u16string();
        BSTR wide = nullptr;
        if (FAILED(info->GetDescription(&wide)) || !wide) return std::u16string();
        const UniqueBstr owned(wide);
        std::u16string text(reinterpret_cast<const char16_t*>(wide), SysStringLen(wide));
        while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
        return text;
    } catch (...) {
        return std::u16string();
    }
}

}  // namespace

RegExpVerdict CheckRegularExpression(std::u16string_view pattern, std::u16string* description) noexcept {
    const ComPtr<IRegExp> regExp = CreateRegExp();
    if (!regExp) return RegExpVerdict::kUnavailable;
    const UniqueBstr widePattern(ToBstr(pattern));
    const UniqueBstr empty(ToBstr(std::u16string_view()));
    if (!widePattern.Get() || !empty.Get()) return RegExpVerdict::kUnavailable;
    Configure(regExp.Get(), widePattern.Get());
    SetErrorInfo(0, nullptr);  // no stale words from an earlier failure
    VARIANT_BOOL result = VARIANT_FALSE;
    if (SUCCEEDED(regExp->Test(empty.Get(), &result))) return RegExpVerdict::kAccepted;
    if (description) *description = TakeErrorDescription();
    return RegExpVerdict::kRejected;
}

bool TestRegularExpression(std::u16string_view pattern, std::u16string_view name) noexcept {
    const ComPtr<IRegExp> regExp = CreateRegExp();
    if (!regExp) return false;
    const UniqueBstr widePattern(ToBstr(pattern));
    const UniqueBstr wideName(ToBstr(name));
    if (!widePattern.Get() || !wideName.Get()) return false;
    Configure(regExp.Get(), widePattern.Get());
    return AskTest(regExp.Get(), wideName.Get());
}

RegExpSession::RegExpSession(std::u16string_view pattern) noexcept {
    ComPtr<IRegExp> regExp = CreateRegExp();
    if (!regExp) return;
    const UniqueBstr widePattern(ToBstr(pattern));
    if (!widePattern.Get()) return;  // memory: every name fails
    Configure(regExp.Get(), widePattern.Get());
    regExp_ = regExp;
}

bool RegExpSession::Test(std::u16string_view name) const noexcept {
    if (!regExp_) return false;
    const UniqueBstr wideName(ToBstr(name));
    return wideName.Get() && AskTest(regExp_.Get(), wideName.Get());
}

}  // namespace korvane
