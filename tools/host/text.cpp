#include <cstdio>

#include "host.h"

namespace host {

namespace {

std::string Convert(const std::string& text, UINT from, UINT to) {
    const int units = MultiByteToWideChar(from, 0, text.c_str(), -1, nullptr, 0);
    if (units <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(from, 0, text.c_str(), -1, &wide[0], units);
    const int bytes = WideCharToMultiByte(to, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(to, 0, wide.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize(static_cast<size_t>(bytes) - 1);
    return out;
}

}  // namespace

std::string Ansi(const char* utf8) { return Convert(utf8, CP_UTF8, CP_ACP); }

std::string Utf8(const std::string& ansi) { return Convert(ansi, CP_ACP, CP_UTF8); }

void Print(const std::string& ansi) {
    const std::string line = Utf8(ansi) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace host
