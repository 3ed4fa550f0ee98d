// String lists with the framework's semantics.
//
//   TStrings     abstract list of strings with an object pointer per line;
//                controls expose their lines through descendants of it
//   TStringList  the stored list: optional sorting, a duplicate policy, and a
//                comparison that is the locale's case-insensitive one unless
//                CaseSensitive is set
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Object.h"

namespace zv {

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TObject {
public:
    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual std::string Get(int index) const = 0;
    // The object of a line (named so that <windows.h>'s GetObject macro
    // cannot rename it).
    [[nodiscard]] virtual TObject* Objects(int index) const;
    virtual void Put(int index, const std::string& s);
    virtual void PutObject(int index, TObject* obj);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Appends (or, in a sorted list, inserts in order); returns the index.
    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* obj);
    virtual void AddStrings(const TStrings& other);
    virtual void Assign(const TStrings& other);
    [[nodiscard]] virtual int IndexOf(const std::string& s) const;

    // Lines joined with CR LF, each line terminated; setting splits on CR LF,
    // CR alone and LF alone.
    [[nodiscard]] std::string Text() const;
    void SetText(const std::string& text);

    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] bool Updating() const { return m_updateCount > 0; }

    [[nodiscard]] std::string operator[](int index) const { return Get(index); }
    [[nodiscard]] std::vector<std::string> ToVector() const;

protected:
    virtual void SetUpdateState(bool /*updating*/) {}
    // Case-insensitive by the locale unless overridden.
    [[nodiscard]] virtual int CompareStrings(const std::string& a, const std::string& b) const;
    [[noreturn]] static void Error(const char* fmt, int index);

private:
    int m_updateCount = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;

    [[nodiscard]] int Count() const override { return static_cast<int>(m_items.size()); }
    [[nodiscard]] std::string Get(int index) const override;
    [[nodiscard]] TObject* Objects(int index) const override;
    void Put(int index, const std::string& s) override;
    void PutObject(int index, TObject* obj) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    [[nodiscard]] int IndexOf(const std::string& s) const override;

    // Binary search of a sorted list: true when found, index is the match or
    // the insertion point.
    bool Find(const std::string& s, int& index) const;
    void Sort();

    [[nodiscard]] bool Sorted() const { return m_sorted; }
    void SetSorted(bool value);
    [[nodiscard]] TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates d) { m_duplicates = d; }
    [[nodiscard]] bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool value);

    std::function<void(TStringList&)> OnChange;

protected:
    [[nodiscard]] int CompareStrings(const std::string& a, const std::string& b) const override;
    void SetUpdateState(bool updating) override;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* obj);
    void CheckIndex(int index) const;
    void Changed();

    std::vector<Item> m_items;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = TDuplicates::dupIgnore;
};

}  // namespace zv
