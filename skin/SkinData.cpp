// The stored skin, the container and the load sequence of the skin data.
//
//   message hook, zlib helpers
//   TksSkinContainer          read / write
//   TksCompressedStoredSkin   template data, inflate, skin builder
//   TksSkinData               load sequence, description parsing, lookups
#include "skin/SkinData.h"

#include <zlib.h>

#include <algorithm>
#include <set>
#include <system_error>

#include "base/SysUtils.h"
#include "skin/SkinValues.h"

namespace zv {

// ------------------------------------------------------------ message hook

namespace {
TksSkinMessageHook* g_messageHook = nullptr;
}

TksSkinMessageHook* SetSkinMessageHook(TksSkinMessageHook* hook) {
    TksSkinMessageHook* previous = g_messageHook;
    g_messageHook = hook;
    return previous;
}

TksSkinMessageHook* SkinMessageHook() {
    return g_messageHook;
}

const char* const RequiredSkinSections[5] = {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS",
                                             "SKINCONTROLS"};

std::vector<std::string> MissingSkinSections(const TksMemIniFile& ini) {
    std::vector<std::string> missing;
    for (const char* s : RequiredSkinSections)
        if (!ini.SectionExists(s)) missing.emplace_back(s);
    return missing;
}

// -------------------------------------------------------------------- zlib

namespace {
// Far beyond any real skin (the program's inflates to about half a
// megabyte); a stream that claims more is refused before it exhausts memory.
constexpr std::uint64_t kMaxInflatedSize = 256ull << 20;
constexpr std::size_t kInflateBlock = 4096;
}  // namespace

void ZDecompressToStream(const std::uint8_t* data, std::size_t size, TStream& target) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw EZDecompressionError(SZCompressionError);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    std::uint8_t block[kInflateBlock];
    std::uint64_t total = 0;
    for (;;) {
        z.next_out = block;
        z.avail_out = sizeof block;
        const int rc = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = sizeof block - z.avail_out;
        total += produced;
        if (total > kMaxInflatedSize) {
            inflateEnd(&z);
            throw EZDecompressionError(SZCompressionError);
        }
        if (produced != 0) {
            try {
                target.WriteBuffer(block, static_cast<std::int64_t>(produced));
            } catch (...) {
                inflateEnd(&z);
                throw;
            }
        }
        if (rc == Z_STREAM_END) break;
        // A truncated stream (no progress possible) is as damaged as a bad one.
        if (rc != Z_OK) {
            inflateEnd(&z);
            throw EZDecompressionError(SZCompressionError);
        }
    }
    inflateEnd(&z);
}

// --------------------------------------------------------------- container

namespace {

void ReadSlot(TStream& stream, TksBitmap& bitmap) {
    std::uint8_t flag = 0;
    stream.ReadBuffer(&flag, 1);
    if (flag == 0)
        bitmap.LoadFromStream(stream);
    else
        bitmap.Clear();
}

void WriteSlot(TStream& stream, const TksBitmap& bitmap) {
    const std::uint8_t flag = bitmap.Empty() ? 1 : 0;
    stream.WriteBuffer(&flag, 1);
    if (flag == 0) bitmap.SaveToStream(stream);
}

std::int32_t ReadInt32(TStream& stream) {
    std::uint8_t b[4];
    stream.ReadBuffer(b, 4);
    return ReadI32LE(b);
}

void WriteInt32(TStream& stream, std::int32_t v) {
    std::uint8_t b[4];
    WriteU32LE(b, static_cast<std::uint32_t>(v));
    stream.WriteBuffer(b, 4);
}

}  // namespace

bool TksSkinContainer::ReadFromStream(TStream& stream) {
    Version = ReadInt32(stream);
    if (Version > 3) return false;
    ReadSlot(stream, Picture);
    if (HasInActivePicture(Version))
        ReadSlot(stream, InActivePicture);
    else
        InActivePicture.Clear();
    ReadSlot(stream, Mask);
    if (HasRollUp(Version)) {
        ReadSlot(stream, RollUpPicture);
        ReadSlot(stream, RollUpMask);
    } else {
        RollUpPicture.Clear();
        RollUpMask.Clear();
    }
    const std::int32_t count = ReadInt32(stream);
    ActivePictures.clear();
    // Each picture takes at least its file header from the stream, so a
    // count beyond what the stream holds fails at the first missing picture
    // rather than by reserving memory for it.
    for (std::int32_t i = 0; i < count; ++i) {
        ActivePictures.push_back(std::make_unique<TksBitmap>());
        ActivePictures.back()->LoadFromStream(stream);
    }
    const std::int64_t left = stream.Size() - stream.Position();
    Description.assign(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)), '\0');
    if (left > 0) stream.ReadBuffer(Description.data(), left);
    return true;
}

void TksSkinContainer::WriteToStream(TStream& stream) const {
    WriteInt32(stream, Version);
    if (Version > 3) return;
    WriteSlot(stream, Picture);
    if (HasInActivePicture(Version)) WriteSlot(stream, InActivePicture);
    WriteSlot(stream, Mask);
    if (HasRollUp(Version)) {
        WriteSlot(stream, RollUpPicture);
        WriteSlot(stream, RollUpMask);
    }
    WriteInt32(stream, static_cast<std::int32_t>(ActivePictures.size()));
    for (const auto& p : ActivePictures) p->SaveToStream(stream);
    stream.WriteBuffer(Description.data(), static_cast<std::int64_t>(Description.size()));
}

// ------------------------------------------------------------- stored skin

void TksCompressedStoredSkin::ReadCompressedData(TStream& stream) {
    const std::int32_t length = ReadInt32(stream);
    if (length < 0 || length > stream.Size() - stream.Position()) throw EReadError(SReadError);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(length));
    if (length > 0) stream.ReadBuffer(data.data(), length);
    m_data = std::move(data);
}

void TksCompressedStoredSkin::WriteCompressedData(TStream& stream) const {
    WriteInt32(stream, static_cast<std::int32_t>(m_data.size()));
    if (!m_data.empty()) stream.WriteBuffer(m_data.data(), static_cast<std::int64_t>(m_data.size()));
}

void TksCompressedStoredSkin::DecompressToStream(TStream& target) const {
    ZDecompressToStream(m_data.data(), m_data.size(), target);
}

namespace {

std::string NameOf(const std::string& path) {
    const auto p = path.find_last_of("/\\:");
    return p == std::string::npos ? path : path.substr(p + 1);
}

}  // namespace

void TksCompressedStoredSkin::LoadFromCompressedFile(const std::string& path) {
    m_data.clear();
    TFileStream file(path, fmOpenRead);
    const std::int32_t version = ReadInt32(file);
    if (version > 3) return;
    ReadCompressedData(file);
    m_compressedFileName = NameOf(path);
}

void TksCompressedStoredSkin::SaveToCompressedFile(const std::string& path) const {
    TFileStream file(path, fmCreate);
    WriteInt32(file, 2);
    WriteCompressedData(file);
}

std::string TksResourceStrData::GetResStr(const std::string& name, const std::string& def) const {
    for (int i = 0; i < ResStrings.Count(); ++i) {
        const std::string line = ResStrings[i];
        const auto eq = line.find('=');
        if (eq != std::string::npos && SameText(line.substr(0, eq), name)) return line.substr(eq + 1);
    }
    return def;
}

// --------------------------------------------------------------- skin data

TksSkinData::TksSkinData(TComponent* owner) : TComponent(owner) {}

TksSkinData::~TksSkinData() {
    Destroying();
    m_empty = true;
    ClearSkin();
}

void TksSkinData::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    // The loaded skin stays; only the references go.
    if (component == m_storedSkin) m_storedSkin = nullptr;
    if (component == m_resourceStrData) m_resourceStrData = nullptr;
}

void TksSkinData::SetCompressedStoredSkin(TksCompressedStoredSkin* value) {
    if (m_storedSkin && m_storedSkin != value) RemoveFreeNotification(m_storedSkin);
    m_storedSkin = value;
    if (value) {
        FreeNotification(value);
        LoadCompressedSkin(*value);
    }
}

void TksSkinData::SetResourceStrData(TksResourceStrData* value) {
    if (m_resourceStrData && m_resourceStrData != value) RemoveFreeNotification(m_resourceStrData);
    m_resourceStrData = value;
    if (value) FreeNotification(value);
    BroadcastSkinMessage(WM_SKINSTRINGSCHANGED);
}

void TksSkinData::BroadcastSkinMessage(unsigned message) {
    TksSkinMessageHook* hook = SkinMessageHook();
    if (!hook) return;
    std::set<TComponent*> sent;
    TComponent* owner = Owner();
    if (owner && hook->IsForm(owner)) {
        hook->SendSkinMessage(owner, message, this, SkinMessageLParam);
        sent.insert(owner);
    }
    for (TComponent* form : hook->Forms()) {
        if (!form || !sent.insert(form).second) continue;
        hook->SendSkinMessage(form, message, this, SkinMessageLParam);
    }
}

void TksSkinData::ClearSkin() {
    // What was derived from the pictures goes before they do.
    m_derived.reset();
    m_objects.clear();
    m_areas.clear();
    m_controls.clear();
    m_activePictures.clear();
    m_popupWindow.WindowPictureIndex = -1;
    m_hintWindow.WindowPictureIndex = -1;
    m_activePicturesNames.Clear();
    m_picture.Clear();
    m_inActivePicture.Clear();
    m_mask.Clear();
    m_rollUpPicture.Clear();
    m_rollUpMask.Clear();
    m_pictureName.clear();
    m_maskName.clear();
    m_rollUpPictureName.clear();
    m_rollUpMaskName.clear();
    m_empty = true;
}

void TksSkinData::LoadCompressedSkin(const TksCompressedStoredSkin& stored) {
    if (stored.IsEmpty()) return;
    m_empty = true;
    BroadcastSkinMessage(WM_SKINCHANGING);
    ClearSkin();

    TMemoryStream stream;
    stored.DecompressToStream(stream);
    stream.SetPosition(0);
    TksSkinContainer c;
    if (!c.ReadFromStream(stream)) return;  // a newer container: left cleared and Empty

    m_picture = std::move(c.Picture);
    m_inActivePicture = std::move(c.InActivePicture);
    m_mask = std::move(c.Mask);
    m_rollUpPicture = std::move(c.RollUpPicture);
    m_rollUpMask = std::move(c.RollUpMask);
    m_activePictures = std::move(c.ActivePictures);

    TStringList lines;
    lines.SetText(c.Description);
    LoadDescription(lines);

    m_empty = false;
    BroadcastSkinMessage(WM_SKINCHANGED);
    BroadcastSkinMessage(WM_SKINCHANGEDONE);
}

void TksSkinData::LoadDescription(const TStrings& lines) {
    const TksMemIniFile ini(lines);

    m_skinName = ini.ReadString("VERSION", "skinname", "");
    m_skinAuthor = ini.ReadString("VERSION", "skinauthor", "");
    m_authorEmail = ini.ReadString("VERSION", "authoremail", "");
    m_authorURL = ini.ReadString("VERSION", "authorurl", "");
    m_skinComments = ini.ReadString("VERSION", "skincomments", "");

    m_pictureName = ini.ReadString("PICTURES", "picture", "");
    m_maskName = ini.ReadString("PICTURES", "mask", "");
    m_rollUpPictureName = ini.ReadString("PICTURES", "rolluppicture", "");
    m_rollUpMaskName = ini.ReadString("PICTURES", "rollupmask", "");
    ReadStringList(ini, "PICTURES", "activepictures", m_activePicturesNames);

    // The normalisation needs the mask name read just above.
    m_formInfo.LoadFromIni(ini, "FORMINFO");
    m_formInfo.Normalize(m_maskName);
    m_popupWindow.LoadFromIni(ini, "POPUPWINDOW");
    m_hintWindow.LoadFromIni(ini, "HINTWINDOW");

    auto forEachEntry = [&ini](const char* section, auto&& take) {
        const std::int32_t count = ReadInteger(ini, section, "count", 0);
        if (count < 1) return;
        const int limit = ListReadLimit(ini, section, count);
        for (int i = 0; i < limit; ++i) {
            const std::string entry = ini.ReadString(section, IntToStr(i), "");
            const auto colon = entry.find(':');
            // An entry without a colon names nothing and is skipped.
            if (colon == std::string::npos) continue;
            take(entry.substr(0, colon), entry.substr(colon + 1));
        }
    };
    forEachEntry("SKINAREAS", [this](const std::string& name, const std::string& rest) {
        m_areas.push_back(std::make_unique<TksDataSkinArea>(name, ParseRect(rest)));
    });
    forEachEntry("SKINOBJECTS", [this, &ini](const std::string& name, const std::string& kind) {
        std::unique_ptr<TksDataSkinObject> obj = CreateSkinObject(kind);
        if (!obj) return;
        obj->IDName = name;
        m_objects.push_back(std::move(obj));
        m_objects.back()->LoadFromIni(ini);
    });
    forEachEntry("SKINCONTROLS", [this, &ini](const std::string& name, const std::string& kind) {
        std::unique_ptr<TksDataSkinControl> ctl = CreateSkinControl(kind);
        if (!ctl) return;
        ctl->IDName = name;
        m_controls.push_back(std::move(ctl));
        m_controls.back()->LoadFromIni(ini);
    });
}

const TksBitmap* TksSkinData::ActivePicture(int index) const {
    if (index < 0 || index >= ActivePictureCount()) return nullptr;
    return m_activePictures[static_cast<std::size_t>(index)].get();
}

namespace {
template <typename T>
T* At(const std::vector<std::unique_ptr<T>>& list, int index) {
    if (index < 0 || index >= static_cast<int>(list.size())) throw EListError(Format(SListIndexError, index));
    return list[static_cast<std::size_t>(index)].get();
}

template <typename T>
int IndexOfName(const std::vector<std::unique_ptr<T>>& list, const std::string& name) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i]->IDName == name) return static_cast<int>(i);
    return -1;
}
}  // namespace

TksDataSkinObject* TksSkinData::SkinObjects(int index) const {
    return At(m_objects, index);
}
TksDataSkinArea* TksSkinData::SkinAreas(int index) const {
    return At(m_areas, index);
}
TksDataSkinControl* TksSkinData::SkinControls(int index) const {
    return At(m_controls, index);
}

int TksSkinData::IndexOfObject(const std::string& name) const {
    return IndexOfName(m_objects, name);
}
int TksSkinData::IndexOfArea(const std::string& name) const {
    return IndexOfName(m_areas, name);
}
int TksSkinData::IndexOfControl(const std::string& name) const {
    return IndexOfName(m_controls, name);
}

}  // namespace zv
