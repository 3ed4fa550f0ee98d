// The stored skin and the skin data of the program.
//
//   skin messages            WM_SKINCHANGING ... and the broadcast hook the
//                            window layer fills (TksSkinMessageHook)
//   EZLibError ...           inflate/deflate failures ("compression error")
//   TksSkinContainer         the inflated container: version, slots, active
//                            pictures, description text (read and write)
//   TksCompressedStoredSkin  the zlib bytes a window template carries, and
//                            the skin builder (LoadFromSkinFile and
//                            ZCompress, in SkinBuilder.cpp)
//   TksResourceStrData       localised library strings (unset in the program)
//   TksSkinData              the loaded skin: pictures, names, frame data,
//                            popup/hint window data, the three lists of data
//                            objects, the load sequence and its messages
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "skin/BmpDecoder.h"
#include "skin/IniFile.h"
#include "skin/SkinDataObjects.h"

namespace zv {

// Window messages the skin data broadcasts (wParam: the TksSkinData, lParam:
// SkinMessageLParam).
constexpr unsigned WM_SKINCHANGING = 1225;
constexpr unsigned WM_SKINCHANGED = 1226;
constexpr unsigned WM_SKINCHANGEDONE = 1227;
constexpr unsigned WM_SKINSTRINGSCHANGED = 1274;
constexpr int SkinMessageLParam = 1000;

ZV_DECLARE_EXCEPTION(EZLibError, Exception);
ZV_DECLARE_EXCEPTION(EZCompressionError, EZLibError);
ZV_DECLARE_EXCEPTION(EZDecompressionError, EZLibError);
inline constexpr const char* SZCompressionError = "compression error";

class TksSkinData;

// What the drawing layer derives from a skin's pictures and keeps with the
// skin data (their scaled copies); dropped whenever the pictures go.
class TksSkinDerived {
public:
    virtual ~TksSkinDerived() = default;
};

// How skin messages reach the windows. The window layer installs one at
// start; without one the broadcast reaches nobody (tests install a recorder).
class TksSkinMessageHook {
public:
    virtual ~TksSkinMessageHook() = default;
    // Whether the component (the skin data's owner) is a form.
    virtual bool IsForm(TComponent* component) = 0;
    // The application's forms in the application's form order.
    virtual std::vector<TComponent*> Forms() = 0;
    // Sends the message synchronously to the form's window, creating the
    // window first when it does not exist yet.
    virtual void SendSkinMessage(TComponent* form, unsigned message, TksSkinData* skinData, int lParam) = 0;
};

// Installs the hook (null removes it); returns the previous one.
TksSkinMessageHook* SetSkinMessageHook(TksSkinMessageHook* hook);
TksSkinMessageHook* SkinMessageHook();

// Sections every description has; the skin builder refuses one without them.
extern const char* const RequiredSkinSections[5];
std::vector<std::string> MissingSkinSections(const TksMemIniFile& ini);

// The inflated skin container.
struct TksSkinContainer {
    std::int32_t Version = 2;
    TksBitmap Picture;
    TksBitmap InActivePicture;
    TksBitmap Mask;
    TksBitmap RollUpPicture;
    TksBitmap RollUpMask;
    std::vector<std::unique_ptr<TksBitmap>> ActivePictures;
    std::string Description;  // the remaining bytes, as stored

    // Which slots a version has, in container order.
    static bool HasInActivePicture(std::int32_t version) { return version == 2 || version == 3; }
    static bool HasRollUp(std::int32_t version) { return version == 1 || version == 2; }

    // Reads from the stream's position. Returns false, having read only the
    // version, when the version is above 3. Raises the bitmap decoder's
    // errors for a damaged picture.
    bool ReadFromStream(TStream& stream);
    // Writes the version's slots (an empty bitmap as flag 1), the active
    // pictures and the description.
    void WriteToStream(TStream& stream) const;
};

// zlib helpers (level 9 writes the 78 DA stream the program carries).
std::vector<std::uint8_t> ZCompress(const std::uint8_t* data, std::size_t size, int level = 9);
// Inflates one zlib stream, appending to target in blocks of up to 4,096
// bytes; raises EZDecompressionError "compression error" for damaged or
// truncated data.
void ZDecompressToStream(const std::uint8_t* data, std::size_t size, TStream& target);

class TksCompressedStoredSkin : public TComponent {
public:
    explicit TksCompressedStoredSkin(TComponent* owner) : TComponent(owner) {}

    [[nodiscard]] const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& value) { m_fileName = value; }
    [[nodiscard]] const std::string& CompressedFileName() const { return m_compressedFileName; }
    void SetCompressedFileName(const std::string& value) { m_compressedFileName = value; }
    [[nodiscard]] const std::string& Description() const { return m_description; }
    void SetDescription(const std::string& value) { m_description = value; }

    [[nodiscard]] const std::vector<std::uint8_t>& CompressedData() const { return m_data; }
    void SetCompressedData(std::vector<std::uint8_t> data) { m_data = std::move(data); }
    // The template's binary property: a 32-bit little-endian length and the
    // bytes. Reading replaces the buffer; writing always writes (also empty).
    void ReadCompressedData(TStream& stream);
    void WriteCompressedData(TStream& stream) const;

    [[nodiscard]] bool IsEmpty() const { return m_data.empty(); }
    void DecompressToStream(TStream& target) const;

    // Builds the compressed bytes from a description file and the pictures
    // it names (in its directory). Returns false and changes nothing when a
    // required section is missing; a picture that cannot be read raises.
    bool LoadFromSkinFile(const std::string& path);
    // A compressed skin file: int32 version, int32 length, the bytes. A
    // version above 3 leaves the buffer empty.
    void LoadFromCompressedFile(const std::string& path);
    void SaveToCompressedFile(const std::string& path) const;

private:
    std::string m_fileName;
    std::string m_compressedFileName;
    std::string m_description;
    std::vector<std::uint8_t> m_data;
};

// Localised library strings as "NAME=text" lines.
class TksResourceStrData : public TComponent {
public:
    explicit TksResourceStrData(TComponent* owner) : TComponent(owner) {}
    TStringList ResStrings;
    [[nodiscard]] std::string GetResStr(const std::string& name, const std::string& def) const;
};

class TksSkinData : public TComponent {
public:
    explicit TksSkinData(TComponent* owner);
    ~TksSkinData() override;

    [[nodiscard]] bool Empty() const { return m_empty; }
    [[nodiscard]] bool EnableSkinEffects() const { return m_enableSkinEffects; }
    void SetEnableSkinEffects(bool value) { m_enableSkinEffects = value; }

    [[nodiscard]] TksCompressedStoredSkin* CompressedStoredSkin() const { return m_storedSkin; }
    // Stores the reference and, when not null, loads the skin from it.
    void SetCompressedStoredSkin(TksCompressedStoredSkin* value);
    [[nodiscard]] TksResourceStrData* ResourceStrData() const { return m_resourceStrData; }
    // Stores the reference and broadcasts WM_SKINSTRINGSCHANGED.
    void SetResourceStrData(TksResourceStrData* value);

    void LoadCompressedSkin(const TksCompressedStoredSkin& stored);
    // Steps of the load that read the description: [VERSION], [PICTURES],
    // then [FORMINFO] (normalised), [POPUPWINDOW], [HINTWINDOW], [SKINAREAS],
    // [SKINOBJECTS], [SKINCONTROLS]. Appends to the lists; used by the load
    // after ClearSkin.
    void LoadDescription(const TStrings& lines);
    void ClearSkin();
    void BroadcastSkinMessage(unsigned message);

    // Pictures; an empty bitmap means no picture.
    [[nodiscard]] const TksBitmap& Picture() const { return m_picture; }
    [[nodiscard]] const TksBitmap& InActivePicture() const { return m_inActivePicture; }
    [[nodiscard]] const TksBitmap& Mask() const { return m_mask; }
    [[nodiscard]] const TksBitmap& RollUpPicture() const { return m_rollUpPicture; }
    [[nodiscard]] const TksBitmap& RollUpMask() const { return m_rollUpMask; }
    [[nodiscard]] int ActivePictureCount() const { return static_cast<int>(m_activePictures.size()); }
    // The active picture at index, or null for -1 and any index past the end.
    [[nodiscard]] const TksBitmap* ActivePicture(int index) const;

    [[nodiscard]] const std::string& SkinName() const { return m_skinName; }
    [[nodiscard]] const std::string& SkinAuthor() const { return m_skinAuthor; }
    [[nodiscard]] const std::string& AuthorEmail() const { return m_authorEmail; }
    [[nodiscard]] const std::string& AuthorURL() const { return m_authorURL; }
    [[nodiscard]] const std::string& SkinComments() const { return m_skinComments; }
    [[nodiscard]] const std::string& PictureName() const { return m_pictureName; }
    [[nodiscard]] const std::string& MaskName() const { return m_maskName; }
    [[nodiscard]] const std::string& RollUpPictureName() const { return m_rollUpPictureName; }
    [[nodiscard]] const std::string& RollUpMaskName() const { return m_rollUpMaskName; }
    [[nodiscard]] const TStringList& ActivePicturesNames() const { return m_activePicturesNames; }

    // The frame data ([FORMINFO], normalised), the popup and hint windows.
    [[nodiscard]] const TksDataSkinFormInfo& FormInfo() const { return m_formInfo; }
    [[nodiscard]] const TksDataSkinPopupWindow& PopupWindow() const { return m_popupWindow; }
    [[nodiscard]] const TksDataSkinHintWindow& HintWindow() const { return m_hintWindow; }

    [[nodiscard]] int SkinObjectCount() const { return static_cast<int>(m_objects.size()); }
    [[nodiscard]] int SkinAreaCount() const { return static_cast<int>(m_areas.size()); }
    [[nodiscard]] int SkinControlCount() const { return static_cast<int>(m_controls.size()); }
    // Entries by index (checked; raises EListError for a bad index).
    [[nodiscard]] TksDataSkinObject* SkinObjects(int index) const;
    [[nodiscard]] TksDataSkinArea* SkinAreas(int index) const;
    [[nodiscard]] TksDataSkinControl* SkinControls(int index) const;
    // Index of the first entry whose IDName equals name exactly, or -1.
    [[nodiscard]] int IndexOfObject(const std::string& name) const;
    [[nodiscard]] int IndexOfArea(const std::string& name) const;
    [[nodiscard]] int IndexOfControl(const std::string& name) const;

    // The drawing layer's store for what it derives from the pictures (null
    // until it keeps something); cleared with the skin.
    [[nodiscard]] TksSkinDerived* Derived() const { return m_derived.get(); }
    void SetDerived(std::unique_ptr<TksSkinDerived> value) const { m_derived = std::move(value); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool m_empty = true;
    bool m_enableSkinEffects = true;
    TksCompressedStoredSkin* m_storedSkin = nullptr;
    TksResourceStrData* m_resourceStrData = nullptr;

    TksBitmap m_picture;
    TksBitmap m_inActivePicture;
    TksBitmap m_mask;
    TksBitmap m_rollUpPicture;
    TksBitmap m_rollUpMask;
    std::vector<std::unique_ptr<TksBitmap>> m_activePictures;

    std::string m_skinName, m_skinAuthor, m_authorEmail, m_authorURL, m_skinComments;
    std::string m_pictureName, m_maskName, m_rollUpPictureName, m_rollUpMaskName;
    TStringList m_activePicturesNames;

    TksDataSkinFormInfo m_formInfo;
    TksDataSkinPopupWindow m_popupWindow;
    TksDataSkinHintWindow m_hintWindow;
    std::vector<std::unique_ptr<TksDataSkinObject>> m_objects;
    std::vector<std::unique_ptr<TksDataSkinArea>> m_areas;
    std::vector<std::unique_ptr<TksDataSkinControl>> m_controls;
    mutable std::unique_ptr<TksSkinDerived> m_derived;
};

}  // namespace zv
