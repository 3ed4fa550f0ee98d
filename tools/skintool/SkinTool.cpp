// The skin tool: command table, pack, unpack, lint, preview, stored-skin
// file formats.
#include "tools/skintool/SkinTool.h"

#include <filesystem>
#include <functional>
#include <map>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "skin/SkinData.h"
#include "skin/SkinValues.h"
#include "tools/skintool/PngWriter.h"
#include "tools/skintool/SkinLint.h"
#include "tools/skintool/SkinPreview.h"

namespace zv {

namespace fs = std::filesystem;

namespace {

struct TCommand {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    TMemoryStream s;
    s.LoadFromFile(path);
    return {s.Memory(), s.Memory() + s.Size()};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    TFileStream f(path, fmCreate);
    if (!bytes.empty()) f.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

// ----------------------------------------------------------------- pack

int Pack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    TksStoredSkinFormat format = TksStoredSkinFormat::ZLib;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--format" && i + 1 < args.size()) {
            const std::string& f = args[++i];
            if (f == "zlib")
                format = TksStoredSkinFormat::ZLib;
            else if (f == "file")
                format = TksStoredSkinFormat::CompressedFile;
            else if (f == "property")
                format = TksStoredSkinFormat::Property;
            else {
                err << "pack: unknown format '" << f << "' (zlib, file, property)\n";
                return 2;
            }
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        err << "usage: skintool pack SKIN.INI OUTPUT [--format zlib|file|property]\n";
        return 2;
    }
    TMemoryStream descFile;
    descFile.LoadFromFile(files[0]);
    TksMemIniFile ini;
    ini.SetText(std::string(reinterpret_cast<const char*>(descFile.Memory()),
                            static_cast<std::size_t>(descFile.Size())));
    const std::vector<std::string> missing = MissingSkinSections(ini);
    if (!missing.empty()) {
        for (const std::string& s : missing)
            err << "pack: " << files[0] << ": section [" << s << "] is missing\n";
        err << "pack: a skin description needs [VERSION], [PICTURES], [FORMINFO], [SKINOBJECTS] and "
               "[SKINCONTROLS]; nothing written\n";
        return 1;
    }
    TksCompressedStoredSkin stored(nullptr);
    if (!stored.LoadFromSkinFile(files[0])) {
        err << "pack: " << files[0] << " is not a complete skin description\n";
        return 1;
    }
    switch (format) {
        case TksStoredSkinFormat::ZLib: WriteFileBytes(files[1], stored.CompressedData()); break;
        case TksStoredSkinFormat::CompressedFile: stored.SaveToCompressedFile(files[1]); break;
        case TksStoredSkinFormat::Property: {
            TFileStream f(files[1], fmCreate);
            stored.WriteCompressedData(f);
            break;
        }
    }
    out << "packed " << files[0] << " into " << files[1] << " (" << stored.CompressedData().size()
        << " compressed bytes)\n";
    return 0;
}

// --------------------------------------------------------------- unpack

// A picture name from the description that can be written below the output
// directory: relative, without "..".
bool SafeRelativeName(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos)
        return false;
    std::string p = name;
    for (char& c : p)
        if (c == '\\') c = '/';
    for (const auto& part : fs::path(p))
        if (part == "..") return false;
    return true;
}

int Unpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: skintool unpack STORED_SKIN OUTPUT_DIR\n";
        return 2;
    }
    TksCompressedStoredSkin stored(nullptr);
    stored.SetCompressedData(ReadStoredSkinFile(args[0]));
    TMemoryStream raw;
    stored.DecompressToStream(raw);
    raw.SetPosition(0);
    TksSkinContainer c;
    if (!c.ReadFromStream(raw)) {
        err << "unpack: container version " << c.Version << " is not read by the program\n";
        return 1;
    }
    TksMemIniFile ini;
    ini.SetText(c.Description);
    const fs::path dir(args[1]);
    fs::create_directories(dir);

    int warnings = 0;
    std::map<std::string, std::vector<std::uint8_t>> written;  // lower-case name -> bytes
    auto write = [&](const TksBitmap& bitmap, const std::string& named, const std::string& fallback) {
        const std::vector<std::uint8_t> bytes = bitmap.ToFileBytes();
        std::string name = named;
        if (!SafeRelativeName(name)) {
            if (!name.empty()) {
                err << "unpack: picture name '" << name << "' is not a plain relative name\n";
            } else {
                err << "unpack: the description names no file for " << fallback << "\n";
            }
            name = fallback;
            ++warnings;
        }
        for (char& ch : name)
            if (ch == '\\') ch = '/';
        auto it = written.find(LowerCase(name));
        if (it != written.end() && it->second != bytes) {
            err << "unpack: '" << name << "' names two different pictures; this one is written as "
                << fallback << "\n";
            name = fallback;
            ++warnings;
        }
        written[LowerCase(name)] = bytes;
        const fs::path target = dir / name;
        if (target.has_parent_path()) fs::create_directories(target.parent_path());
        WriteFileBytes(target.string(), bytes);
        out << "wrote " << target.string() << " (" << bitmap.Width() << " x " << bitmap.Height() << ", "
            << (bitmap.BitCount() ? bitmap.BitCount() : 24) << " bits)\n";
    };
    const std::pair<const TksBitmap*, const char*> slots[] = {{&c.Picture, "picture"},
                                                              {&c.InActivePicture, "inactivepicture"},
                                                              {&c.Mask, "mask"},
                                                              {&c.RollUpPicture, "rolluppicture"},
                                                              {&c.RollUpMask, "rollupmask"}};
    for (const auto& [bitmap, key] : slots)
        if (!bitmap->Empty()) write(*bitmap, ini.ReadString("PICTURES", key, ""), std::string(key) + ".bmp");
    TStringList names;
    ReadStringList(ini, "PICTURES", "activepictures", names);
    for (std::size_t i = 0; i < c.ActivePictures.size(); ++i) {
        const int n = static_cast<int>(i);
        write(*c.ActivePictures[i], n < names.Count() ? names[n] : "", "active" + IntToStr(n) + ".bmp");
    }
    const fs::path desc = dir / "skin.ini";
    WriteFileBytes(desc.string(), std::vector<std::uint8_t>(c.Description.begin(), c.Description.end()));
    out << "wrote " << desc.string() << " (" << c.Description.size() << " bytes)\n";
    if (warnings)
        err << "unpack: " << warnings << " picture(s) written under other names than the description's\n";
    return 0;
}

// ----------------------------------------------------------------- lint

int Lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: skintool lint STORED_SKIN\n";
        return 2;
    }
    TksCompressedStoredSkin stored(nullptr);
    stored.SetCompressedData(ReadStoredSkinFile(args[0]));
    const std::vector<TksLintProblem> problems = LintStoredSkin(stored);
    for (const TksLintProblem& p : problems) out << args[0] << ": [" << p.Where << "] " << p.Message << "\n";
    if (problems.empty()) {
        out << args[0] << ": no problems\n";
        return 0;
    }
    out << args[0] << ": " << problems.size() << " problem(s)\n";
    return 1;
}

// -------------------------------------------------------------- preview

// "421x271" -> 421, 271; sizes are limited so a typo cannot ask for
// gigabytes.
bool ParseSize(const std::string& text, int& w, int& h) {
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    const auto pw = TryStrToInt(text.substr(0, x)), ph = TryStrToInt(text.substr(x + 1));
    if (!pw || !ph) return false;
    w = *pw;
    h = *ph;
    return w >= 1 && h >= 1 && w <= 4096 && h <= 4096;
}

int Preview(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    std::vector<std::pair<int, int>> frames;
    int percent = 100;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--scale" && i + 1 < args.size()) {
            // Display scale in percent, as the system's display settings
            // give it: 100 is the skin's own 96 pixels per inch.
            const auto value = TryStrToInt(args[++i]);
            if (!value || *value < 100 || *value > 400) {
                err << "preview: '" << args[i] << "' is not a display scale in percent (100 to 400)\n";
                return 2;
            }
            percent = *value;
        } else if (args[i] == "--frame" && i + 1 < args.size()) {
            int w = 0, h = 0;
            if (!ParseSize(args[++i], w, h)) {
                err << "preview: '" << args[i] << "' is not a size like 421x271 (1 to 4096 each)\n";
                return 2;
            }
            frames.emplace_back(w, h);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        err << "usage: skintool preview SKIN OUTPUT_DIR [--frame WxH]... [--scale PERCENT]\n";
        return 2;
    }
    if (frames.empty()) frames = {{421, 271}, {333, 168}};

    TksCompressedStoredSkin stored(nullptr);
    if (SameText(fs::path(files[0]).extension().string(), ".ini")) {
        if (!stored.LoadFromSkinFile(files[0])) {
            err << "preview: " << files[0] << " is not a complete skin description\n";
            return 1;
        }
    } else {
        stored.SetCompressedData(ReadStoredSkinFile(files[0]));
    }
    TksSkinData data(nullptr);
    data.LoadCompressedSkin(stored);
    if (data.Empty()) {
        err << "preview: the container is not read by the program; nothing to draw\n";
        return 1;
    }
    const fs::path dir(files[1]);
    fs::create_directories(dir);
    // Every picture is drawn in skin pixels and shown at the display scale;
    // the sheet's titles stay at their own size.
    const int pixelsPerInch = 96 * percent / 100;
    auto save = [&](const std::string& name, TPreviewImage& image) {
        image = ScalePreview(image, pixelsPerInch);
        const fs::path target = dir / name;
        SavePng(target.string(), image.Pixels, image.Alpha);
        out << "wrote " << target.string() << " (" << image.Pixels.Width() << " x " << image.Pixels.Height()
            << ")\n";
    };

    const std::string caption = "Player Installer";
    std::vector<TPreviewImage> frameImages;
    for (const auto& [w, h] : frames) {
        frameImages.push_back(RenderFramePreview(data, w, h, true, caption));
        save("frame-" + IntToStr(w) + "x" + IntToStr(h) + ".png", frameImages.back());
    }
    const auto [fw, fh] = frames.front();
    TPreviewImage inactive = RenderFramePreview(data, fw, fh, false, caption);
    save("frame-" + IntToStr(fw) + "x" + IntToStr(fh) + "-inactive.png", inactive);

    const std::pair<TPreviewButtonState, const char*> states[] = {
        {TPreviewButtonState::Normal, "normal"},
        {TPreviewButtonState::Active, "active"},
        {TPreviewButtonState::Pressed, "pressed"},
        {TPreviewButtonState::Disabled, "disabled"}};
    std::vector<TPreviewImage> buttons;
    for (const auto& [state, word] : states) {
        buttons.push_back(RenderButtonPreview(data, "button", 97, 25, state, "Install"));
        save(std::string("button-") + word + ".png", buttons.back());
    }
    const std::vector<TPreviewListItem> items = {
        {"C:\\Program Files\\Internet Explorer\\PLUGINS", true},
        {"C:\\Program Files\\Mozilla Firefox\\plugins", true},
        {"C:\\Program Files\\Netscape\\Navigator\\Program\\Plugins", false},
        {"C:\\Program Files\\Opera\\Program\\Plugins", true}};
    TPreviewImage list = RenderCheckListPreview(data, "checklistbox", 260, 88, items, 0, 2);
    save("checklist.png", list);
    TPreviewImage bar = RenderScrollBarPreview(data, "vscrollbar", 120, 30, false);
    save("vscrollbar.png", bar);
    TPreviewImage barPressed = RenderScrollBarPreview(data, "vscrollbar", 120, 70, true);
    save("vscrollbar-pressed.png", barPressed);
    TPreviewImage sysMenu =
        RenderPopupPreview(data, {{TPreviewEntryKind::Highlighted, "&Close", "Alt+F4", true}}, 140);
    save("popup-sysmenu.png", sysMenu);
    TPreviewImage menu = RenderPopupPreview(data,
                                            {{TPreviewEntryKind::Normal, "&Restore", "", false},
                                             {TPreviewEntryKind::Disabled, "&Move", "", false},
                                             {TPreviewEntryKind::Divider, "", "", false},
                                             {TPreviewEntryKind::Highlighted, "&Close", "Alt+F4", true}},
                                            140);
    save("popup-menu.png", menu);
    TPreviewImage window = RenderMainWindowPreview(data, items);
    save("mainwindow.png", window);

    std::vector<TPreviewCell> cells;
    cells.push_back({"main window (421 x 271, active)", &window, false});
    for (std::size_t i = 0; i < frames.size(); ++i)
        cells.push_back({"frame " + IntToStr(frames[i].first) + " x " + IntToStr(frames[i].second),
                         &frameImages[i], i == 0});
    cells.push_back({"inactive", &inactive, false});
    for (std::size_t i = 0; i < buttons.size(); ++i)
        cells.push_back({std::string("button ") + states[i].second, &buttons[i], i == 0});
    cells.push_back({"check list", &list, true});
    cells.push_back({"scroll bar", &bar, false});
    cells.push_back({"pressed", &barPressed, false});
    cells.push_back({"system menu", &sysMenu, false});
    cells.push_back({"menu entries", &menu, false});
    TPreviewImage sheet = BuildPreviewSheet("Skin preview: " + data.SkinName(), cells);
    const fs::path sheetPath = dir / "sheet.png";
    SavePng(sheetPath.string(), sheet.Pixels, sheet.Alpha);
    out << "wrote " << sheetPath.string() << " (" << sheet.Pixels.Width() << " x " << sheet.Pixels.Height()
        << ")\n";
    return 0;
}

constexpr TCommand kCommands[] = {
    {"pack", "pack SKIN.INI OUTPUT [--format zlib|file|property]   build the stored skin", &Pack},
    {"unpack", "unpack STORED_SKIN OUTPUT_DIR                       pictures and description", &Unpack},
    {"lint", "lint STORED_SKIN                                    report what would draw wrongly", &Lint},
    {"preview",
     "preview SKIN OUTPUT_DIR [--frame WxH]... [--scale PERCENT]  PNG previews (SKIN: stored skin or .ini)",
     &Preview},
};

void Usage(std::ostream& err) {
    err << "usage: skintool COMMAND ARGS...\n";
    for (const TCommand& c : kCommands) err << "  skintool " << c.usage << "\n";
    err << "A STORED_SKIN file may hold the zlib stream alone, the compressed-file form (version, length,\n"
           "bytes) or the template property form (length, bytes).\n";
}

}  // namespace

std::vector<std::uint8_t> ReadStoredSkinFile(const std::string& path) {
    std::vector<std::uint8_t> bytes = FileBytes(path);
    const std::size_t n = bytes.size();
    // A zlib stream starts with a header whose 16-bit value is a multiple of 31.
    if (n >= 2 && (bytes[0] & 0x0F) == 8 && ((bytes[0] << 8) | bytes[1]) % 31 == 0) return bytes;
    if (n >= 8) {
        const std::int32_t version = ReadI32LE(bytes.data());
        const std::uint32_t length = ReadU32LE(bytes.data() + 4);
        if (version <= 3 && length == n - 8) return {bytes.begin() + 8, bytes.end()};
    }
    if (n >= 4 && ReadU32LE(bytes.data()) == n - 4) return {bytes.begin() + 4, bytes.end()};
    return bytes;  // let the inflater report it
}

int RunSkinTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        Usage(err);
        return 2;
    }
    for (const TCommand& c : kCommands) {
        if (args[0] != c.name) continue;
        try {
            return c.run({args.begin() + 1, args.end()}, out, err);
        } catch (const Exception& e) {
            err << c.name << ": " << e.Message() << "\n";
            return 1;
        } catch (const fs::filesystem_error& e) {
            err << c.name << ": " << e.what() << "\n";
            return 1;
        }
    }
    err << "skintool: unknown command '" << args[0] << "'\n";
    Usage(err);
    return 2;
}

}  // namespace zv
