// Building a stored skin from its sources: a description file and the
// pictures it names. Only the design-time tools and the tests build skins;
// the program only ever loads one, so this lives apart from the loader and
// the program is linked without it (nor zlib's compressor, nor the file
// system library).
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/SysUtils.h"
#include "skin/SkinData.h"
#include "skin/SkinValues.h"

namespace zv {

std::vector<std::uint8_t> ZCompress(const std::uint8_t* data, std::size_t size, int level) {
    z_stream z{};
    if (deflateInit(&z, level) != Z_OK) throw EZCompressionError(SZCompressionError);
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(size)));
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    const std::size_t produced = z.total_out;
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw EZCompressionError(SZCompressionError);
    out.resize(produced);
    return out;
}

namespace {

std::string DirectoryOf(const std::string& path) {
    const auto p = path.find_last_of("/\\:");
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string NameOf(const std::string& path) {
    const auto p = path.find_last_of("/\\:");
    return p == std::string::npos ? path : path.substr(p + 1);
}

// The picture file a description names. Descriptions are written on systems
// whose file names ignore letter case and use "\"; on others the name is
// looked up without regard to case as well.
std::string ResolvePictureFile(const std::string& dir, const std::string& name) {
    namespace fs = std::filesystem;
    std::string path = dir + name;
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    std::string portable = name;
    std::replace(portable.begin(), portable.end(), '\\', '/');
    path = dir + portable;
    if (fs::exists(path, ec)) return path;
    const std::string subdir = DirectoryOf(path);
    const std::string leaf = NameOf(path);
    for (fs::directory_iterator it(subdir.empty() ? "." : subdir, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (SameText(candidate, leaf)) return subdir + candidate;
    }
    return dir + name;  // opening it reports the missing file
}

}  // namespace

bool TksCompressedStoredSkin::LoadFromSkinFile(const std::string& path) {
    TMemoryStream file;
    file.LoadFromFile(path);
    TStringList lines;
    lines.SetText(
        std::string(reinterpret_cast<const char*>(file.Memory()), static_cast<std::size_t>(file.Size())));
    const TksMemIniFile ini(lines);
    if (!MissingSkinSections(ini).empty()) return false;

    const std::string dir = DirectoryOf(path);
    auto load = [&](TksBitmap& bitmap, const std::string& name) {
        if (!name.empty()) bitmap.LoadFromFile(ResolvePictureFile(dir, name));
    };
    TksSkinContainer c;
    c.Version = 2;
    load(c.Picture, ini.ReadString("PICTURES", "picture", ""));
    load(c.InActivePicture, ini.ReadString("PICTURES", "inactivepicture", ""));
    load(c.Mask, ini.ReadString("PICTURES", "mask", ""));
    load(c.RollUpPicture, ini.ReadString("PICTURES", "rolluppicture", ""));
    load(c.RollUpMask, ini.ReadString("PICTURES", "rollupmask", ""));
    TStringList active;
    ReadStringList(ini, "PICTURES", "activepictures", active);
    for (int i = 0; i < active.Count(); ++i) {
        c.ActivePictures.push_back(std::make_unique<TksBitmap>());
        c.ActivePictures.back()->LoadFromFile(ResolvePictureFile(dir, active[i]));
    }
    for (int i = 0; i < lines.Count(); ++i) c.Description += lines[i] + "\r\n";

    TMemoryStream raw;
    c.WriteToStream(raw);
    m_data = ZCompress(raw.Memory(), static_cast<std::size_t>(raw.Size()), 9);
    m_fileName = NameOf(path);
    return true;
}

}  // namespace zv
