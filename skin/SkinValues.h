// The value formats of the skin description and their enumerations.
//
//   enums            TFontStyles, TAlignment, TMorphKind, TInActiveEffect,
//                    TStdCommand with their description words
//   parsing          ParsePoint, ParseRect, ParseFontStyle, ParseAlignment,
//                    ParseMorphKind, ParseInActiveEffect, ParseCommand
//   INI readers      ReadInteger ... ReadStringList (section, key, default)
//   INI writers      the same formats written back (skin building)
#pragma once

#include <cstdint>
#include <string>

#include "base/MorphKind.h"
#include "base/Strings.h"
#include "base/Types.h"
#include "skin/IniFile.h"

namespace zv {

// TFontStyle / TFontStyles and TAlignment live in base/Types.h.

enum class TInActiveEffect { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };

enum class TStdCommand { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };

// Points and rects are read character by character: a comma ends a number,
// every other character but the digits is ignored (so "-5" reads as 5). An
// empty number, and a value with more numbers than the point or rect holds,
// raise EConvertError "'%s' is not a valid integer value".
TPoint ParsePoint(const std::string& value);
TRect ParseRect(const std::string& value);

TFontStyles ParseFontStyle(const std::string& value);
TAlignment ParseAlignment(const std::string& value);
TMorphKind ParseMorphKind(const std::string& value);
TInActiveEffect ParseInActiveEffect(const std::string& value);
TStdCommand ParseCommand(const std::string& value);

std::string PointToStr(TPoint p);
std::string RectToStr(const TRect& r);
std::string FontStyleToStr(TFontStyles styles);
const char* AlignmentToStr(TAlignment a);
const char* MorphKindToStr(TMorphKind k);
const char* InActiveEffectToStr(TInActiveEffect e);
const char* CommandToStr(TStdCommand c);

// Readers: a missing key gives the default.
std::int32_t ReadInteger(const TksMemIniFile& ini, const std::string& section, const std::string& key,
                         std::int32_t def);
TColor ReadColor(const TksMemIniFile& ini, const std::string& section, const std::string& key, TColor def);
// True only when the value reads as the integer 1.
bool ReadBool(const TksMemIniFile& ini, const std::string& section, const std::string& key);
TPoint ReadPoint(const TksMemIniFile& ini, const std::string& section, const std::string& key);
TRect ReadRect(const TksMemIniFile& ini, const std::string& section, const std::string& key);
TFontStyles ReadFontStyle(const TksMemIniFile& ini, const std::string& section, const std::string& key);
TAlignment ReadAlignment(const TksMemIniFile& ini, const std::string& section, const std::string& key);
TMorphKind ReadMorphKind(const TksMemIniFile& ini, const std::string& section, const std::string& key);
TInActiveEffect ReadInActiveEffect(const TksMemIniFile& ini, const std::string& section,
                                   const std::string& key);
TStdCommand ReadCommand(const TksMemIniFile& ini, const std::string& section, const std::string& key);
// The list `name`: the count key name + "count" and the keys "0", "1", ...
// How many entries of a list of `count` entries can hold a value: the count,
// but at most one more than the highest numbered key of the section.
int ListReadLimit(const TksMemIniFile& ini, const std::string& section, std::int32_t count);
void ReadStringList(const TksMemIniFile& ini, const std::string& section, const std::string& name,
                    TStrings& list);

void WriteInteger(TksMemIniFile& ini, const std::string& section, const std::string& key, std::int32_t value);
void WriteBool(TksMemIniFile& ini, const std::string& section, const std::string& key, bool value);
void WritePoint(TksMemIniFile& ini, const std::string& section, const std::string& key, TPoint value);
void WriteRect(TksMemIniFile& ini, const std::string& section, const std::string& key, const TRect& value);
void WriteStringList(TksMemIniFile& ini, const std::string& section, const std::string& name,
                     const TStrings& list);

}  // namespace zv
