// The in-memory INI reader (and writer) over the lines of a skin
// description.
//
// Lines are trimmed of blanks and control characters; empty lines and lines
// starting with ";" are skipped; "[name]" starts a section; "key=value"
// lines belong to the current section (lines before the first section are
// dropped). Section names and keys compare without regard to ASCII letter
// case. A key given twice in a section: the later line counts. A section
// header given twice: the second section is kept (and written back) but
// lookups never reach it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "base/Strings.h"

namespace zv {

class TksMemIniFile {
public:
    TksMemIniFile() = default;
    explicit TksMemIniFile(const TStrings& lines) { SetStrings(lines); }

    void SetStrings(const TStrings& lines);
    void SetText(const std::string& text);
    void Clear();

    [[nodiscard]] bool SectionExists(const std::string& section) const;
    [[nodiscard]] bool ValueExists(const std::string& section, const std::string& key) const;
    // The value, or def when the section or the key is missing. A key with an
    // empty value gives the empty string.
    [[nodiscard]] std::string ReadString(const std::string& section, const std::string& key,
                                         const std::string& def) const;
    // Names of the sections in file order (duplicates included).
    [[nodiscard]] std::vector<std::string> SectionNames() const;
    // Keys of the section lookups reach, in file order, each once.
    [[nodiscard]] std::vector<std::string> SectionKeys(const std::string& section) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void EraseSection(const std::string& section);
    // The file as text lines ("[section]", "key=value", a blank line between
    // sections).
    void GetStrings(TStrings& lines) const;

private:
    struct TEntry {
        std::string key;
        std::string value;
    };
    struct TSection {
        std::string name;
        std::vector<TEntry> entries;
        std::unordered_map<std::string, std::size_t> index;  // lower-case key -> entry
    };
    [[nodiscard]] const TSection* Find(const std::string& section) const;
    TSection* Find(const std::string& section);
    TSection& AddSection(const std::string& name);
    static void Put(TSection& s, const std::string& key, const std::string& value);
    void Reindex();

    std::vector<TSection> m_sections;
    std::unordered_map<std::string, std::size_t> m_index;  // lower-case name -> first section
};

}  // namespace zv
