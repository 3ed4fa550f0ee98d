// The checks of "skintool lint"; see SkinLint.h for the list.
#include "tools/skintool/SkinLint.h"

#include "base/SysUtils.h"
#include "skin/SkinValues.h"

namespace zv {

namespace {

struct TPlaced {
    std::string key;
    bool isPoint = false;
    TRect rect{};
    TPoint point{};
    TksRectPlace place = TksRectPlace::Other;
};

struct TIndexField {
    std::string key;
    int value = -1;
};

// Collects the rects, points and picture indices of one record.
class TCollectVisitor final : public TksDataFieldVisitor {
public:
    std::vector<TPlaced> placed;
    std::vector<TIndexField> indices;

    void Integer(const char*, int&, int) override {}
    void PictureIndex(const char* key, int& value) override { indices.push_back({key, value}); }
    void Color(const char*, TColor&, TColor) override {}
    void Flag(const char*, bool&) override {}
    void Point(const char* key, TPoint& value, TksRectPlace place) override {
        TPlaced p;
        p.key = key;
        p.isPoint = true;
        p.point = value;
        p.place = place;
        placed.push_back(p);
    }
    void Rect(const char* key, TRect& value, TksRectPlace place) override {
        TPlaced p;
        p.key = key;
        p.rect = value;
        p.place = place;
        placed.push_back(p);
    }
    void String(const char*, std::string&, const char*) override {}
    void FontStyle(const char*, TFontStyles&) override {}
    void Alignment(const char*, TAlignment&) override {}
    void MorphKind(const char*, TMorphKind&) override {}
    void InActiveEffect(const char*, TInActiveEffect&) override {}
    void Command(const char*, TStdCommand&) override {}
};

std::string SizeText(int w, int h) {
    return IntToStr(w) + " x " + IntToStr(h);
}

class TLinter {
public:
    TLinter(const TksSkinData& data, std::vector<TksLintProblem>& out) : m_data(data), m_out(out) {}

    void Problem(const std::string& where, const std::string& message) { m_out.push_back({where, message}); }

    // The bounds a place stands for in a record; `picture` is the record's
    // own picture (null when it has none), `element` its skin rect.
    void CheckRecord(const std::string& where, TksDataSkinRecord& record, const TksBitmap* ownPicture,
                     const TksBitmap* objectSkinPicture, const TRect* element) {
        TCollectVisitor v;
        record.VisitFields(v);  // the visitor only reads
        for (const TIndexField& f : v.indices) {
            if (f.value != -1 && (f.value < -1 || f.value >= m_data.ActivePictureCount()))
                Problem(where, f.key + " " + IntToStr(f.value) + " names no picture (" +
                                   IntToStr(m_data.ActivePictureCount()) + " active pictures)");
        }
        for (const TPlaced& p : v.placed) {
            const TksBitmap* picture = nullptr;
            TRect bounds{};
            std::string what;
            switch (p.place) {
                case TksRectPlace::Picture: picture = ownPicture; break;
                case TksRectPlace::ObjectSkinRect: picture = objectSkinPicture; break;
                case TksRectPlace::MainPicture: picture = &m_data.Picture(); break;
                case TksRectPlace::MaskPicture: picture = &m_data.Mask(); break;
                case TksRectPlace::Element:
                    if (!element || element->IsEmpty()) continue;
                    bounds = {0, 0, element->Width(), element->Height()};
                    what = "its skinrect (" + SizeText(bounds.Right, bounds.Bottom) + ")";
                    break;
                case TksRectPlace::Other: continue;
            }
            if (p.place != TksRectPlace::Element) {
                if (!picture || picture->Empty()) continue;
                bounds = {0, 0, picture->Width(), picture->Height()};
                what = "its picture (" + SizeText(picture->Width(), picture->Height()) + ")";
            }
            if (p.isPoint) {
                if (p.point.X > bounds.Right || p.point.Y > bounds.Bottom)
                    Problem(where, p.key + " " + PointToStr(p.point) + " lies outside " + what);
            } else if (!p.rect.IsEmpty() && (p.rect.Left < bounds.Left || p.rect.Top < bounds.Top ||
                                             p.rect.Right > bounds.Right || p.rect.Bottom > bounds.Bottom)) {
                Problem(where, p.key + " " + RectToStr(p.rect) + " lies outside " + what);
            }
        }
    }

    // The four band middles of a frame drawn nine-part; a stretched band
    // does not tile.
    void CheckBands(const std::string& where, TPoint lt, TPoint rt, TPoint lb, TPoint rb, bool topStretch,
                    bool bottomStretch, bool leftStretch, bool rightStretch) {
        auto check = [&](const char* band, int length, bool stretched) {
            if (!stretched && length <= 0)
                Problem(where, std::string(band) + " band middle has length " + IntToStr(length) +
                                   " but is tiled: it draws nothing");
        };
        check("top", rt.X - lt.X, topStretch);
        check("bottom", rb.X - lb.X, bottomStretch);
        check("left", lb.Y - lt.Y, leftStretch);
        check("right", rb.Y - rt.Y, rightStretch);
    }

    void CheckControl(TksDataSkinControl& c) {
        const TksBitmap* picture = m_data.ActivePicture(c.PictureIndex);
        CheckRecord(c.IDName, c, picture, picture, &c.SkinRect);
        auto* cc = dynamic_cast<TksDataSkinCustomControl*>(&c);
        if (cc && !cc->SkinRect.IsEmpty()) {
            const TPoint lt = cc->LeftTopPoint, rt = cc->RightTopPoint, lb = cc->LeftBottomPoint,
                         rb = cc->RightBottomPoint;
            if (rb.X != 0 && rb.Y != 0) {
                CheckBands(c.IDName, lt, rt, lb, rb, false, false, false, false);
                if (cc->ClientRect.IsEmpty())
                    Problem(c.IDName, "nine-part layout with an empty clientrect " +
                                          RectToStr(cc->ClientRect) + ": the client area cannot be tiled");
            } else if (rt.X != 0 || rt.Y != 0) {
                if (!cc->StretchEffect && rt.X - lt.X <= 0)
                    Problem(c.IDName, "horizontal layout with a middle of width " + IntToStr(rt.X - lt.X) +
                                          " that is tiled: it draws nothing");
            } else if (lb.X != 0 || lb.Y != 0) {
                if (!cc->StretchEffect && lb.Y - lt.Y <= 0)
                    Problem(c.IDName, "vertical layout with a middle of height " + IntToStr(lb.Y - lt.Y) +
                                          " that is tiled: it draws nothing");
            }
        }
        if (auto* lbx = dynamic_cast<TksDataSkinListBox*>(&c)) {
            for (const std::string* name : {&lbx->VScrollBarName, &lbx->HScrollBarName}) {
                const int i = m_data.IndexOfControl(*name);
                if (i < 0 || !dynamic_cast<TksDataSkinScrollBarControl*>(m_data.SkinControls(i)))
                    Problem(c.IDName, "names scroll bar '" + *name + "', which is no scroll bar entry");
            }
        }
    }

    void CheckObject(TksDataSkinObject& o) {
        const TksBitmap* active = m_data.ActivePicture(o.ActivePictureIndex);
        const bool menuEntry = dynamic_cast<TksDataSkinMenuItem*>(&o) != nullptr ||
                               dynamic_cast<TksDataSkinMainMenuItem*>(&o) != nullptr;
        const TksBitmap* skinRectPicture = menuEntry || o.SkinRectInAPicture ? active
                                           : o.RollUp                        ? &m_data.RollUpPicture()
                                                                             : &m_data.Picture();
        CheckRecord(o.IDName, o, active, skinRectPicture, &o.SkinRect);
        if (auto* m = dynamic_cast<TksDataSkinMenuItem*>(&o)) {
            if (active && !m->SkinRect.IsEmpty() && !m->StretchEffect &&
                m->SkinRect.Width() - m->ItemLeftOffset - m->ItemRightOffset <= 0)
                Problem(o.IDName,
                        "entry look has no middle between itemleftoffset and itemrightoffset: it draws "
                        "nothing there");
            if (active && !m->DividerRect.IsEmpty() && !m->DividerStretchEffect &&
                m->DividerRect.Width() - m->DividerLeftOffset - m->DividerRightOffset <= 0)
                Problem(o.IDName, "divider has no middle between its offsets: it draws nothing there");
        }
    }

    void CheckFrame() {
        auto& fi = const_cast<TksDataSkinFormInfo&>(m_data.FormInfo());
        CheckRecord("FORMINFO", fi, nullptr, nullptr, nullptr);
        if (!m_data.Picture().Empty() && !fi.ClientRect.IsEmpty())
            CheckBands("FORMINFO", fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint, fi.RightBottomPoint,
                       fi.TopStretch, fi.BottomStretch, fi.LeftStretch, fi.RightStretch);
        auto& pw = const_cast<TksDataSkinPopupWindow&>(m_data.PopupWindow());
        const TksBitmap* pwPicture = m_data.ActivePicture(pw.WindowPictureIndex);
        CheckRecord("POPUPWINDOW", pw, pwPicture, pwPicture, nullptr);
        if (pwPicture)
            CheckBands("POPUPWINDOW", pw.LeftTopPoint, pw.RightTopPoint, pw.LeftBottomPoint,
                       pw.RightBottomPoint, pw.TopStretch, pw.BottomStretch, pw.LeftStretch, pw.RightStretch);
        auto& hw = const_cast<TksDataSkinHintWindow&>(m_data.HintWindow());
        const TksBitmap* hwPicture = m_data.ActivePicture(hw.WindowPictureIndex);
        CheckRecord("HINTWINDOW", hw, hwPicture, hwPicture, nullptr);
        if (hwPicture)
            CheckBands("HINTWINDOW", hw.LeftTopPoint, hw.RightTopPoint, hw.LeftBottomPoint,
                       hw.RightBottomPoint, hw.TopStretch, hw.BottomStretch, hw.LeftStretch, hw.RightStretch);
    }

private:
    const TksSkinData& m_data;
    std::vector<TksLintProblem>& m_out;
};

void CheckEntries(const TksMemIniFile& ini, const char* section, bool (*known)(const std::string&),
                  std::vector<TksLintProblem>& out) {
    const std::int32_t count = ReadInteger(ini, section, "count", 0);
    const int limit = ListReadLimit(ini, section, count);
    if (count > limit)
        out.push_back({section, "count is " + IntToStr(count) + " but entries stop at " + IntToStr(limit)});
    for (int i = 0; i < limit; ++i) {
        const std::string key = IntToStr(i);
        if (!ini.ValueExists(section, key)) {
            out.push_back({section, "entry " + key + " is missing"});
            continue;
        }
        const std::string entry = ini.ReadString(section, key, "");
        std::string message = "entry ";
        message += key;
        message += " '";
        message += entry;
        message += "'";
        const auto colon = entry.find(':');
        if (colon == std::string::npos) {
            out.push_back({section, message + " has no ':'"});
            continue;
        }
        const std::string kind = entry.substr(colon + 1);
        if (known && !known(kind))
            out.push_back({section, message + " has the unknown kind '" + kind + "': it is skipped"});
    }
}

bool KnownObjectKind(const std::string& kind) {
    return CreateSkinObject(kind) != nullptr;
}
bool KnownControlKind(const std::string& kind) {
    return CreateSkinControl(kind) != nullptr;
}

}  // namespace

std::vector<TksLintProblem> LintSkinData(const TksSkinData& data, const TksMemIniFile& description) {
    std::vector<TksLintProblem> out;
    for (const std::string& s : MissingSkinSections(description))
        out.push_back({s, "required section is missing"});
    CheckEntries(description, "SKINAREAS", nullptr, out);
    CheckEntries(description, "SKINOBJECTS", &KnownObjectKind, out);
    CheckEntries(description, "SKINCONTROLS", &KnownControlKind, out);
    if (data.Picture().Empty()) out.push_back({"PICTURES", "the container has no main picture"});
    if (!data.Mask().Empty() && !data.Picture().Empty() &&
        (data.Mask().Width() != data.Picture().Width() || data.Mask().Height() != data.Picture().Height()))
        out.push_back({"PICTURES", "mask " + SizeText(data.Mask().Width(), data.Mask().Height()) +
                                       " differs in size from the picture " +
                                       SizeText(data.Picture().Width(), data.Picture().Height())});
    TLinter linter(data, out);
    linter.CheckFrame();
    for (int i = 0; i < data.SkinObjectCount(); ++i) linter.CheckObject(*data.SkinObjects(i));
    for (int i = 0; i < data.SkinControlCount(); ++i) linter.CheckControl(*data.SkinControls(i));
    return out;
}

std::vector<TksLintProblem> LintStoredSkin(const TksCompressedStoredSkin& stored) {
    if (stored.IsEmpty()) return {{"container", "the stored skin is empty"}};
    TMemoryStream raw;
    TksSkinContainer container;
    try {
        stored.DecompressToStream(raw);
        raw.SetPosition(0);
        if (!container.ReadFromStream(raw))
            return {{"container", "version " + IntToStr(container.Version) +
                                      " is not read by the program: the skin stays empty"}};
    } catch (const Exception& e) {
        return {{"container", "cannot be read: " + e.Message()}};
    }
    TksSkinData data(nullptr);
    try {
        data.LoadCompressedSkin(stored);
    } catch (const Exception& e) {
        return {{"description", "loading fails: " + e.Message()}};
    }
    TksMemIniFile ini;
    ini.SetText(container.Description);
    return LintSkinData(data, ini);
}

}  // namespace zv
