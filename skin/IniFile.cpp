#include "skin/IniFile.h"

#include "base/SysUtils.h"

namespace zv {

void TksMemIniFile::Clear() {
    m_sections.clear();
    m_index.clear();
}

void TksMemIniFile::SetStrings(const TStrings& lines) {
    Clear();
    TSection* current = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = Trim(lines[i]);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            current = &AddSection(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        if (!current) continue;
        const std::size_t eq = line.find('=');
        // A line without "=" can never be looked up; it is not kept.
        if (eq == std::string::npos) continue;
        Put(*current, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
}

void TksMemIniFile::SetText(const std::string& text) {
    TStringList lines;
    lines.SetText(text);
    SetStrings(lines);
}

TksMemIniFile::TSection& TksMemIniFile::AddSection(const std::string& name) {
    m_sections.push_back(TSection{name, {}, {}});
    // Only the first section of a name is reachable.
    m_index.emplace(LowerCase(name), m_sections.size() - 1);
    return m_sections.back();
}

void TksMemIniFile::Put(TSection& s, const std::string& key, const std::string& value) {
    const std::string lower = LowerCase(key);
    auto it = s.index.find(lower);
    if (it != s.index.end()) {
        s.entries[it->second].value = value;
        return;
    }
    s.entries.push_back(TEntry{key, value});
    s.index.emplace(lower, s.entries.size() - 1);
}

const TksMemIniFile::TSection* TksMemIniFile::Find(const std::string& section) const {
    auto it = m_index.find(LowerCase(section));
    return it == m_index.end() ? nullptr : &m_sections[it->second];
}

TksMemIniFile::TSection* TksMemIniFile::Find(const std::string& section) {
    auto it = m_index.find(LowerCase(section));
    return it == m_index.end() ? nullptr : &m_sections[it->second];
}

bool TksMemIniFile::SectionExists(const std::string& section) const {
    return Find(section) != nullptr;
}

bool TksMemIniFile::ValueExists(const std::string& section, const std::string& key) const {
    const TSection* s = Find(section);
    return s && s->index.count(LowerCase(key)) != 0;
}

std::string TksMemIniFile::ReadString(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    const TSection* s = Find(section);
    if (!s) return def;
    auto it = s->index.find(LowerCase(key));
    return it == s->index.end() ? def : s->entries[it->second].value;
}

std::vector<std::string> TksMemIniFile::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(m_sections.size());
    for (const TSection& s : m_sections) names.push_back(s.name);
    return names;
}

std::vector<std::string> TksMemIniFile::SectionKeys(const std::string& section) const {
    std::vector<std::string> keys;
    if (const TSection* s = Find(section))
        for (const TEntry& e : s->entries) keys.push_back(e.key);
    return keys;
}

void TksMemIniFile::WriteString(const std::string& section, const std::string& key,
                                const std::string& value) {
    TSection* s = Find(section);
    if (!s) s = &AddSection(section);
    Put(*s, key, value);
}

void TksMemIniFile::EraseSection(const std::string& section) {
    auto it = m_index.find(LowerCase(section));
    if (it == m_index.end()) return;
    m_sections.erase(m_sections.begin() + static_cast<std::ptrdiff_t>(it->second));
    Reindex();
}

void TksMemIniFile::Reindex() {
    m_index.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i) m_index.emplace(LowerCase(m_sections[i].name), i);
}

void TksMemIniFile::GetStrings(TStrings& lines) const {
    lines.BeginUpdate();
    lines.Clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (i != 0) lines.Add("");
        lines.Add("[" + m_sections[i].name + "]");
        for (const TEntry& e : m_sections[i].entries) lines.Add(e.key + "=" + e.value);
    }
    lines.EndUpdate();
}

}  // namespace zv
