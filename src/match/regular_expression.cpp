#include "match/regular_expression.h"

#include <climits>
#include <string>

#include "common/com_memory.h"

namespace korvane {

namespace {

// ANSI bytes to UTF-16, so that the component sees characters rather than bytes.
// Null when the conversion is refused or memory is short. An empty text is a valid
// empty BSTR (MultiByteToWideChar answers 0 for it, as it does for a failure).
BSTR ToBstr(std::string_view text) noexcept {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
    const int bytes = static_cast<int>(text.size());
    if (bytes == 0) return SysAllocStringLen(L"", 0);
    const int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
    if (chars <= 0) return nullptr;
    BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(chars));
    if (!wide) return nullptr;
    if (MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, wide, chars) != chars) {
        SysFreeString(wide);
        return nullptr;
    }
    return wide;
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
std::string TakeErrorDescription() noexcept {
    try {
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.Put()) != S_OK || !info) return std::string();
        BSTR wide = nullptr;
        if (FAILED(info->GetDescription(&wide)) || !wide) return std::string();
        const UniqueBstr owned(wide);
        const int length = static_cast<int>(SysStringLen(wide));
        const int bytes = length > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr) : 0;
        if (bytes <= 0) return std::string();
        std::string text(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide, length, &text[0], bytes, nullptr, nullptr);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
        return text;
    } catch (...) {
        return std::string();
    }
}

}  // namespace

RegExpVerdict CheckRegularExpression(std::string_view pattern, std::string* description) noexcept {
    const ComPtr<IRegExp> regExp = CreateRegExp();
    if (!regExp) return RegExpVerdict::kUnavailable;
    const UniqueBstr widePattern(ToBstr(pattern));
    const UniqueBstr empty(ToBstr(std::string_view()));
    if (!widePattern.Get() || !empty.Get()) return RegExpVerdict::kUnavailable;
    Configure(regExp.Get(), widePattern.Get());
    SetErrorInfo(0, nullptr);  // no stale words from an earlier failure
    VARIANT_BOOL result = VARIANT_FALSE;
    if (SUCCEEDED(regExp->Test(empty.Get(), &result))) return RegExpVerdict::kAccepted;
    if (description) *description = TakeErrorDescription();
    return RegExpVerdict::kRejected;
}

bool TestRegularExpression(std::string_view pattern, std::string_view name) noexcept {
    const ComPtr<IRegExp> regExp = CreateRegExp();
    if (!regExp) return false;
    const UniqueBstr widePattern(ToBstr(pattern));
    const UniqueBstr wideName(ToBstr(name));
    if (!widePattern.Get() || !wideName.Get()) return false;
    Configure(regExp.Get(), widePattern.Get());
    return AskTest(regExp.Get(), wideName.Get());
}

RegExpSession::RegExpSession(std::string_view pattern) noexcept {
    ComPtr<IRegExp> regExp = CreateRegExp();
    if (!regExp) return;
    const UniqueBstr widePattern(ToBstr(pattern));
    if (!widePattern.Get()) return;  // every name would fail its conversion of the pattern too
    Configure(regExp.Get(), widePattern.Get());
    regExp_ = regExp;
}

bool RegExpSession::Test(std::string_view name) const noexcept {
    if (!regExp_) return false;
    const UniqueBstr wideName(ToBstr(name));
    return wideName.Get() && AskTest(regExp_.Get(), wideName.Get());
}

}  // namespace korvane
