#include "base/Strings.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/SysUtils.h"

namespace zv {

// ---- TStrings ----------------------------------------------------------------

TObject* TStrings::Objects(int) const {
    return nullptr;
}

void TStrings::Put(int index, const std::string& s) {
    TObject* obj = Objects(index);
    Delete(index);
    Insert(index, s);
    PutObject(index, obj);
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* obj) {
    const int index = Add(s);
    if (index >= 0 && index < Count()) PutObject(index, obj);
    return index;
}

void TStrings::AddStrings(const TStrings& other) {
    BeginUpdate();
    try {
        for (int i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.Objects(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Assign(const TStrings& other) {
    if (&other == this) return;
    BeginUpdate();
    try {
        Clear();
        AddStrings(other);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
    try {
        Clear();
        size_t start = 0;
        while (start < text.size()) {
            size_t end = start;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
            Add(text.substr(start, end - start));
            if (end < text.size()) {
                if (text[end] == '\r') {
                    ++end;
                    if (end < text.size() && text[end] == '\n') ++end;
                } else {
                    ++end;  // LF alone
                }
            }
            start = end;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (m_updateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (m_updateCount > 0 && --m_updateCount == 0) SetUpdateState(false);
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> v;
    v.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i) v.push_back(Get(i));
    return v;
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return AnsiCompareText(a, b);
}

void TStrings::Error(const char* fmt, int index) {
    throw EListError(Format(fmt, index));
}

// ---- TStringList -------------------------------------------------------------

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) Error(SListIndexError, index);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)].text;
}

TObject* TStringList::Objects(int index) const {
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)].object;
}

void TStringList::Put(int index, const std::string& s) {
    if (m_sorted) throw EListError(SSortedListError);
    CheckIndex(index);
    m_items[static_cast<size_t>(index)].text = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* obj) {
    CheckIndex(index);
    m_items[static_cast<size_t>(index)].object = obj;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    if (m_sorted) throw EListError(SSortedListError);
    if (index < 0 || index > Count()) Error(SListIndexError, index);
    InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* obj) {
    m_items.insert(m_items.begin() + index, Item{s, obj});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    m_items.erase(m_items.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (m_items.empty()) return;
    m_items.clear();
    Changed();
}

int TStringList::Add(const std::string& s) {
    int index;
    if (!m_sorted) {
        index = Count();
    } else if (Find(s, index)) {
        switch (m_duplicates) {
            case TDuplicates::dupIgnore: return index;
            case TDuplicates::dupError: throw EListError(SDuplicateString);
            case TDuplicates::dupAccept: break;
        }
    }
    InsertItem(index, s, nullptr);
    return index;
}

int TStringList::IndexOf(const std::string& s) const {
    if (!m_sorted) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
    int lo = 0;
    int hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = CompareStrings(m_items[static_cast<size_t>(mid)].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                // Duplicates stay after the first equal entry.
                if (m_duplicates != TDuplicates::dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    std::stable_sort(m_items.begin(), m_items.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (value == m_sorted) return;
    if (value) Sort();
    m_sorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == m_caseSensitive) return;
    m_caseSensitive = value;
    if (m_sorted) Sort();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    return m_caseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
    if (!updating) Changed();
}

void TStringList::Changed() {
    if (!Updating() && OnChange) OnChange(*this);
}

}  // namespace zv
