// Portable defaults of the ZIP reader's platform hooks, including the code
// page 437 -> Windows-1252 table used for MS-DOS entry names natively.
#include "zip/ZipPlatform.h"

#include <array>
#include <cstdint>

namespace zv {

namespace {

// Upper half of code page 437 in Windows-1252. Where 1252 has the same
// character it is used; otherwise a look-alike is chosen so names stay
// readable and never gain a path separator: single and double box lines
// become '-', '=' or '|', every corner and junction '+', shades and blocks
// '#', Greek letters and mathematical signs the nearest Latin letter or
// ASCII sign (for example alpha 'a', sigma 's', infinity '8', the
// relations '=', the square root 'v', the small square '#').
// clang-format off
constexpr std::array<std::uint8_t, 128> kCp437To1252 = {
    // 0x80: accented C, u, e, a, a, a, a, c, e, e, e, i, i, i, A, A
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    // 0x90: E, ae, AE, o, o, o, u, u, y, O, U, cent, pound, yen, peseta -> 'P', florin
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 'P',  0x83,
    // 0xA0: a, i, o, u, n, N, ordinals, inverted ?, reversed not -> not, not, 1/2, 1/4,
    // inverted !, guillemets
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAC, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    // 0xB0: three shades, vertical line, junctions and corners; 0xBA double vertical
    '#',  '#',  '#',  '|',  '+',  '+',  '+',  '+',  '+',  '+',  '|',  '+',  '+',  '+',  '+',  '+',
    // 0xC0: corners and junctions; 0xC4 single horizontal, 0xCD double horizontal
    '+',  '+',  '+',  '+',  '-',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '=',  '+',  '+',
    // 0xD0: junctions and corners, then the full and half blocks
    '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '#',  '#',  '#',  '#',  '#',
    // 0xE0: alpha, sharp s, Gamma, pi, Sigma, sigma, micro, tau, Phi, Theta, Omega, delta,
    // infinity, phi, epsilon, intersection
    'a',  0xDF, 'G',  'p',  'S',  's',  0xB5, 't',  'F',  'T',  'O',  'd',  '8',  'f',  'e',  'n',
    // 0xF0: identical to, plus-minus, >=, <=, integral halves, division, almost equal, degree,
    // bullet operator, middle dot, square root, superscript n, superscript 2, small square,
    // no-break space
    '=',  0xB1, '=',  '=',  '(',  ')',  0xF7, '~',  0xB0, 0xB7, 0xB7, 'v',  'n',  0xB2, '#',  0xA0,
};
// clang-format on

int g_cursor = crDefault;

}  // namespace

TZipPlatformHooks& ZipPlatformHooks() {
    static TZipPlatformHooks hooks;
    return hooks;
}

void Cp437ToWindows1252(std::string& text) {
    for (char& c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b >= 0x80) c = static_cast<char>(kCp437To1252[b - 0x80]);
    }
}

void ZipOemToAnsi(std::string& text) {
    auto& hook = ZipPlatformHooks().oemToAnsi;
    if (hook)
        hook(text);
    else
        Cp437ToWindows1252(text);
}

std::vector<TZipNotice>& ZipRecordedNotices() {
    static std::vector<TZipNotice> notices;
    return notices;
}

void ZipShowNotice(const std::string& text, const std::string& caption) {
    auto& hook = ZipPlatformHooks().showNotice;
    if (hook)
        hook(text, caption);
    else
        ZipRecordedNotices().push_back({text, caption});
}

int ZipGetCursor() {
    auto& hook = ZipPlatformHooks().getCursor;
    return hook ? hook() : g_cursor;
}

void ZipSetCursor(int cursor) {
    auto& hook = ZipPlatformHooks().setCursor;
    if (hook)
        hook(cursor);
    else
        g_cursor = cursor;
}

void ZipProcessMessages() {
    auto& hook = ZipPlatformHooks().processMessages;
    if (hook) hook();
}

}  // namespace zv
