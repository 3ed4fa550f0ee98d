#include "base/Utf16.h"

namespace zv {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

unsigned Byte(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool IsContinuation(unsigned b) {
    return (b & 0xC0) == 0x80;
}

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Length of the sequence that `lead` starts (0: no lead byte), the bits it
// carries and the smallest number that needs that length (anything less
// is an overlong form, which is no UTF-8).
struct TLead {
    std::size_t length;
    char32_t bits;
    char32_t least;
};

TLead LeadOf(unsigned b) {
    if (b >= 0xC2 && b <= 0xDF) return {2, b & 0x1Fu, 0x80};
    if (b >= 0xE0 && b <= 0xEF) return {3, b & 0x0Fu, 0x800};
    if (b >= 0xF0 && b <= 0xF4) return {4, b & 0x07u, 0x10000};
    return {0, 0, 0};
}

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned b = Byte(text, i);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        const TLead lead = LeadOf(b);
        bool valid = lead.length > 0 && i + lead.length <= text.size();
        char32_t cp = lead.bits;
        for (std::size_t k = 1; valid && k < lead.length; ++k) {
            const unsigned c = Byte(text, i + k);
            valid = IsContinuation(c);
            cp = (cp << 6) | (c & 0x3Fu);
        }
        if (!valid || cp < lead.least || cp > 0x10FFFF) {
            // One unit per byte that belongs to no character: the rest of
            // the text still reads as it was meant.
            out += kReplacement;
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);  // a lone surrogate comes back as itself
        }
        i += lead.length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t u = text[i];
        if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            Append(out, 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            Append(out, u);
        }
    }
    return out;
}

std::size_t Utf8Back(std::string_view text) {
    const std::size_t n = text.size();
    if (n == 0) return 0;
    std::size_t i = n - 1;
    while (i > 0 && n - i < 4 && IsContinuation(Byte(text, i))) --i;
    const TLead lead = LeadOf(Byte(text, i));
    // Only a lead byte whose sequence ends exactly at the end makes one
    // character; anything else goes byte by byte.
    return lead.length == n - i || (lead.length == 0 && i == n - 1) ? i : n - 1;
}

}  // namespace zv
