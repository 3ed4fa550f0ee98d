#include "skin/SkinValues.h"

#include <algorithm>
#include <vector>

#include "base/Exceptions.h"
#include "base/SysUtils.h"

namespace zv {

namespace {

// Splits a point or rect value into exactly `count` numbers.
void ParseNumbers(const std::string& value, int* out, int count) {
    std::vector<std::string> numbers(1);
    for (char c : value) {
        if (c == ',')
            numbers.emplace_back();
        else if (c >= '0' && c <= '9')
            numbers.back() += c;
    }
    // More numbers than the value holds: refused rather than written past
    // the end of the point or rect.
    if (static_cast<int>(numbers.size()) > count) throw EConvertError(Format(SInvalidInteger, value.c_str()));
    for (int i = 0; i < count; ++i) {
        const std::string n =
            i < static_cast<int>(numbers.size()) ? numbers[static_cast<std::size_t>(i)] : "";
        out[i] = StrToInt(n);  // raises for an empty number and for overflow
    }
}

template <typename E, std::size_t N>
E ParseWord(const std::string& value, const char* const (&words)[N], E unknown) {
    for (std::size_t i = 0; i < N; ++i)
        if (value == words[i]) return static_cast<E>(i);
    return unknown;
}

constexpr const char* kMorphKinds[] = {"mkdefault",   "mkgradient",   "mkleftgradient", "mkrightgradient",
                                       "mkleftslide", "mkrightslide", "mkpush"};
constexpr const char* kInActiveEffects[] = {"iebrightness", "iedarkness",  "iegrayscale",
                                            "ienoise",      "iesplitblur", "ieinvert"};
constexpr const char* kCommands[] = {"cmclose",   "cmmaximize", "cmminimize",      "cmsysmenu",
                                     "cmdefault", "cmrollup",   "cmminimizetotray"};

}  // namespace

TPoint ParsePoint(const std::string& value) {
    int n[2];
    ParseNumbers(value, n, 2);
    return {n[0], n[1]};
}

TRect ParseRect(const std::string& value) {
    int n[4];
    ParseNumbers(value, n, 4);
    return {n[0], n[1], n[2], n[3]};
}

TFontStyles ParseFontStyle(const std::string& value) {
    TFontStyles s = 0;
    if (value.find("fsbold") != std::string::npos) s |= fsBold;
    if (value.find("fsitalic") != std::string::npos) s |= fsItalic;
    if (value.find("fsunderline") != std::string::npos) s |= fsUnderline;
    if (value.find("fsstrikeout") != std::string::npos) s |= fsStrikeOut;
    return s;
}

TAlignment ParseAlignment(const std::string& value) {
    if (value == "tacenter") return TAlignment::taCenter;
    if (value == "taleftjustify") return TAlignment::taLeftJustify;
    return TAlignment::taRightJustify;
}

TMorphKind ParseMorphKind(const std::string& value) {
    return ParseWord(value, kMorphKinds, TMorphKind::mkDefault);
}

TInActiveEffect ParseInActiveEffect(const std::string& value) {
    return ParseWord(value, kInActiveEffects, TInActiveEffect::ieGrayScale);
}

TStdCommand ParseCommand(const std::string& value) {
    // Every word but the six known ones is the tray command.
    constexpr const char* known[] = {"cmclose",   "cmmaximize", "cmminimize",
                                     "cmsysmenu", "cmdefault",  "cmrollup"};
    return ParseWord(value, known, TStdCommand::cmMinimizeToTray);
}

std::string PointToStr(TPoint p) {
    return IntToStr(p.X) + "," + IntToStr(p.Y);
}

std::string RectToStr(const TRect& r) {
    return IntToStr(r.Left) + "," + IntToStr(r.Top) + "," + IntToStr(r.Right) + "," + IntToStr(r.Bottom);
}

std::string FontStyleToStr(TFontStyles styles) {
    std::string s;
    auto add = [&](TFontStyle f, const char* word) {
        if (!(styles & f)) return;
        if (!s.empty()) s += ",";
        s += word;
    };
    add(fsBold, "fsbold");
    add(fsItalic, "fsitalic");
    add(fsUnderline, "fsunderline");
    add(fsStrikeOut, "fsstrikeout");
    return s;
}

const char* AlignmentToStr(TAlignment a) {
    switch (a) {
        case TAlignment::taLeftJustify: return "taleftjustify";
        case TAlignment::taCenter: return "tacenter";
        case TAlignment::taRightJustify: break;
    }
    return "tarightjustify";
}

const char* MorphKindToStr(TMorphKind k) {
    return kMorphKinds[static_cast<int>(k)];
}
const char* InActiveEffectToStr(TInActiveEffect e) {
    return kInActiveEffects[static_cast<int>(e)];
}
const char* CommandToStr(TStdCommand c) {
    return kCommands[static_cast<int>(c)];
}

std::int32_t ReadInteger(const TksMemIniFile& ini, const std::string& section, const std::string& key,
                         std::int32_t def) {
    if (!ini.ValueExists(section, key)) return def;
    return StrToIntDef(ini.ReadString(section, key, ""), def);
}

TColor ReadColor(const TksMemIniFile& ini, const std::string& section, const std::string& key, TColor def) {
    return ReadInteger(ini, section, key, def);
}

bool ReadBool(const TksMemIniFile& ini, const std::string& section, const std::string& key) {
    return ReadInteger(ini, section, key, 0) == 1;
}

TPoint ReadPoint(const TksMemIniFile& ini, const std::string& section, const std::string& key) {
    return ParsePoint(ini.ReadString(section, key, "0,0"));
}

TRect ReadRect(const TksMemIniFile& ini, const std::string& section, const std::string& key) {
    return ParseRect(ini.ReadString(section, key, "0,0,0,0"));
}

TFontStyles ReadFontStyle(const TksMemIniFile& ini, const std::string& section, const std::string& key) {
    return ParseFontStyle(ini.ReadString(section, key, ""));
}

TAlignment ReadAlignment(const TksMemIniFile& ini, const std::string& section, const std::string& key) {
    return ParseAlignment(ini.ReadString(section, key, "tacenter"));
}

TMorphKind ReadMorphKind(const TksMemIniFile& ini, const std::string& section, const std::string& key) {
    return ParseMorphKind(ini.ReadString(section, key, "mkdefault"));
}

TInActiveEffect ReadInActiveEffect(const TksMemIniFile& ini, const std::string& section,
                                   const std::string& key) {
    return ParseInActiveEffect(ini.ReadString(section, key, "iebrightness"));
}

TStdCommand ReadCommand(const TksMemIniFile& ini, const std::string& section, const std::string& key) {
    return ParseCommand(ini.ReadString(section, key, "cmdefault"));
}

int ListReadLimit(const TksMemIniFile& ini, const std::string& section, std::int32_t count) {
    // Only keys written as plain decimal numbers can be reached ("0", "1", ...).
    std::int64_t highest = -1;
    for (const std::string& key : ini.SectionKeys(section)) {
        if (key.empty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) continue;
        std::int64_t v = 0;
        bool digits = true;
        for (char c : key) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            v = v * 10 + (c - '0');
        }
        if (digits && v > highest) highest = v;
    }
    return static_cast<int>(std::min<std::int64_t>(count, highest + 1));
}

void ReadStringList(const TksMemIniFile& ini, const std::string& section, const std::string& name,
                    TStrings& list) {
    list.BeginUpdate();
    list.Clear();
    const std::int32_t count = ReadInteger(ini, section, name + "count", 0);
    // Missing keys read as empty strings, but a count beyond the last key
    // present stops there instead of filling memory with empty strings.
    const int limit = ListReadLimit(ini, section, count);
    for (int i = 0; i < limit; ++i) list.Add(ini.ReadString(section, IntToStr(i), ""));
    list.EndUpdate();
}

void WriteInteger(TksMemIniFile& ini, const std::string& section, const std::string& key,
                  std::int32_t value) {
    ini.WriteString(section, key, IntToStr(value));
}

void WriteBool(TksMemIniFile& ini, const std::string& section, const std::string& key, bool value) {
    ini.WriteString(section, key, value ? "1" : "0");
}

void WritePoint(TksMemIniFile& ini, const std::string& section, const std::string& key, TPoint value) {
    ini.WriteString(section, key, PointToStr(value));
}

void WriteRect(TksMemIniFile& ini, const std::string& section, const std::string& key, const TRect& value) {
    ini.WriteString(section, key, RectToStr(value));
}

void WriteStringList(TksMemIniFile& ini, const std::string& section, const std::string& name,
                     const TStrings& list) {
    WriteInteger(ini, section, name + "count", list.Count());
    for (int i = 0; i < list.Count(); ++i) ini.WriteString(section, IntToStr(i), list[i]);
}

}  // namespace zv
