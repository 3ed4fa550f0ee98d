#include "base/SysUtils.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "base/Exceptions.h"
#include "base/Utf16.h"

namespace zv {

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, ap2);
        out.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

std::optional<std::int32_t> TryStrToInt(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        neg = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return std::nullopt;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    if (base == 16) {
        // Hex numbers name the 32-bit pattern, as the framework reads them.
        auto u = static_cast<std::uint32_t>(v);
        if (neg) u = 0u - u;
        return static_cast<std::int32_t>(u);
    }
    if (neg) {
        if (v > 2147483648ull) return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(v));
    }
    if (v > 2147483647ull) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::int32_t StrToInt(const std::string& s) {
    if (auto v = TryStrToInt(s)) return *v;
    throw EConvertError(Format(SInvalidInteger, s.c_str()));
}

std::int32_t StrToIntDef(const std::string& s, std::int32_t def) {
    return TryStrToInt(s).value_or(def);
}

std::string IntToStr(std::int64_t v) {
    return std::to_string(v);
}

static bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return s.substr(0, e);
}

std::string Trim(const std::string& s) {
    return TrimLeft(TrimRight(s));
}

std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LowerCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

int CompareText(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 32);
        if (cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 32);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(const std::string& a, const std::string& b) {
    return CompareText(a, b) == 0;
}

int CompareStr(const std::string& a, const std::string& b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

namespace {

// Upper-case folding of the letters Windows-1252 has, enough for the
// portable build's idea of "the locale": ASCII and the Latin-1 letters with
// accents, and the few of 1252's own (the texts are UTF-8, compared by
// their UTF-16 units).
char16_t FoldUpperLatin(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    switch (c) {
        case 0xFF: return 0x178;   // y with diaeresis
        case 0x153: return 0x152;  // oe
        case 0x161: return 0x160;  // s with caron
        case 0x17E: return 0x17D;  // z with caron
        default: return c;
    }
}

int PortableAnsiCompareText(const std::string& a, const std::string& b) {
    const std::u16string wa = Utf8ToUtf16(a);
    const std::u16string wb = Utf8ToUtf16(b);
    const size_t n = std::min(wa.size(), wb.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t ca = FoldUpperLatin(wa[i]);
        const char16_t cb = FoldUpperLatin(wb[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (wa.size() == wb.size()) return 0;
    return wa.size() < wb.size() ? -1 : 1;
}

TTextCompare g_compareText = &PortableAnsiCompareText;
TTextCompare g_compareStr = &CompareStr;

}  // namespace

void SetAnsiCompareHooks(TTextCompare compareText, TTextCompare compareStr) {
    g_compareText = compareText ? compareText : &PortableAnsiCompareText;
    g_compareStr = compareStr ? compareStr : &CompareStr;
}

int AnsiCompareText(const std::string& a, const std::string& b) {
    return g_compareText(a, b);
}
int AnsiCompareStr(const std::string& a, const std::string& b) {
    return g_compareStr(a, b);
}
bool AnsiSameText(const std::string& a, const std::string& b) {
    return AnsiCompareText(a, b) == 0;
}

std::int64_t RoundHalfEven(double v) {
    return static_cast<std::int64_t>(std::nearbyint(v));
}

std::int64_t DivRoundHalfEven(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) {
        r += den;
        --q;
    }
    // now num = q * den + r with 0 <= r < den
    const std::int64_t twice = 2 * r;
    if (twice > den || (twice == den && (q & 1) != 0)) ++q;
    return q;
}

std::string IncludeTrailingBackslash(const std::string& s) {
    if (!s.empty() && s.back() == '\\') return s;
    return s + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& s) {
    if (!s.empty() && s.back() == '\\') return s.substr(0, s.size() - 1);
    return s;
}

std::string ExtractFilePath(const std::string& s) {
    const auto p = s.find_last_of("\\:");
    return p == std::string::npos ? std::string() : s.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& s) {
    const auto p = s.find_last_of("\\:");
    return p == std::string::npos ? s : s.substr(p + 1);
}

bool IsAbsolutePath(const std::string& s) {
    const auto separator = [&s](size_t i) { return i < s.size() && (s[i] == '\\' || s[i] == '/'); };
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (s.size() >= 3 && letter(s[0]) && s[1] == ':' && separator(2)) return true;
    return separator(0) && separator(1) && s.size() > 2 && !separator(2);
}

}  // namespace zv
