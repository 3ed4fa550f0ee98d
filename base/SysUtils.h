// Small string and number helpers with the framework's semantics.
//
//   Format            printf-style formatting into a std::string
//   StrToInt ...      integer conversion raising EConvertError
//   IntToStr
//   Trim, UpperCase, LowerCase, SameText
//   AnsiCompareText   the locale's case-insensitive comparison (hookable)
//   RoundHalfEven     rounding to nearest, halves to even
//   path helpers      IncludeTrailingBackslash, ExtractFilePath, ExtractFileName,
//                     IsAbsolutePath
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zv {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* fmt, ...);

// Delphi-style integer conversion: optional blanks in front, optional sign,
// decimal digits or a hex number written with "$", "0x" or "0X". Anything
// else, an empty number or a value outside the signed 32-bit range fails.
std::optional<std::int32_t> TryStrToInt(const std::string& s);
std::int32_t StrToInt(const std::string& s);  // raises EConvertError
std::int32_t StrToIntDef(const std::string& s, std::int32_t def);
std::string IntToStr(std::int64_t v);

std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string UpperCase(const std::string& s);                  // ASCII only
std::string LowerCase(const std::string& s);                  // ASCII only
bool SameText(const std::string& a, const std::string& b);    // ASCII case-insensitive
int CompareText(const std::string& a, const std::string& b);  // ASCII case-insensitive
int CompareStr(const std::string& a, const std::string& b);

// The locale's text comparisons of UTF-8 texts. The portable default compares
// the letters of Windows-1252 case-insensitively; the Windows program
// installs the system's CompareStringW through SetAnsiCompareHooks at start.
using TTextCompare = int (*)(const std::string&, const std::string&);
void SetAnsiCompareHooks(TTextCompare compareText, TTextCompare compareStr);
int AnsiCompareText(const std::string& a, const std::string& b);
int AnsiCompareStr(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);

// Rounds to the nearest integer; exact halves go to the even neighbour.
std::int64_t RoundHalfEven(double v);
// Integer form of the same rule for num / den with den > 0.
std::int64_t DivRoundHalfEven(std::int64_t num, std::int64_t den);

std::string IncludeTrailingBackslash(const std::string& s);
std::string ExcludeTrailingBackslash(const std::string& s);
std::string ExtractFilePath(const std::string& s);  // up to and including the last '\' or ':'
std::string ExtractFileName(const std::string& s);
// A path that names the same place whatever the current drive and directory:
// a drive letter, ":" and a separator, or a UNC name (two separators, then a
// server name). "\\" and "/" count alike.
bool IsAbsolutePath(const std::string& s);

}  // namespace zv
