#include "base/ini_file.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "model/game.h"

namespace tessara {

IniFile IniFile::Parse(std::string_view cp1251) {
    IniFile ini;
    Section* current = nullptr;
    // Folded key name -> entry of the current section: a file costs its
    // length, however many sections and keys it has.
    std::unordered_map<std::string, size_t> keys;
    int lineNo = 0;
    const auto broken = [&](std::string_view text) {
        if (ini.brokenLine_ == 0) {
            ini.brokenLine_ = lineNo;
            ini.brokenText_ = std::string(text);
        }
    };
    for (const std::string& raw : SplitLines(cp1251)) {
        ++lineNo;
        const std::string line = Cp1251ToUtf8(raw);
        const std::string_view t = Trim(line);
        if (t.empty() || t.front() == ';' || t.front() == '#') continue;
        if (t.front() == '[') {
            const size_t close = t.find(']');
            current = nullptr;
            keys.clear();
            if (close == std::string_view::npos) {
                broken(t);
                continue;
            }
            const std::string name(Trim(t.substr(1, close - 1)));
            current = ini.FindSection(name);
            if (!current) {
                ini.sectionIndex_.emplace(Utf8ToLower(name), ini.sections_.size());
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            for (size_t i = 0; i < current->Entries.size(); ++i)
                keys.emplace(Utf8ToLower(current->Entries[i].Key), i);
            continue;
        }
        const size_t eq = t.find('=');
        if (eq == std::string_view::npos || eq == 0) {
            broken(t);
            continue;
        }
        if (!current) continue;
        const std::string key(Trim(t.substr(0, eq)));
        const std::string value(Trim(t.substr(eq + 1)));
        const auto [it, added] = keys.emplace(Utf8ToLower(key), current->Entries.size());
        if (added)
            current->Entries.push_back({key, value});
        else
            current->Entries[it->second].Value = value;
    }
    return ini;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    const auto it = sectionIndex_.find(Utf8ToLower(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    return const_cast<IniFile*>(this)->FindSection(name);
}

IniFile IniFile::Load(const std::string& path) {
    if (!FileExists(path)) return {};
    return Parse(ReadFileBytes(path));
}

std::string IniFile::Serialize() const {
    std::string out;
    for (const auto& s : sections_) {
        out += "[" + s.Name + "]\r\n";
        for (const auto& e : s.Entries) out += e.Key + "=" + e.Value + "\r\n";
        out += "\r\n";
    }
    return Utf8ToCp1251(out);
}

void IniFile::Save(const std::string& path) const { WriteFileAtomic(path, Serialize()); }

const IniFile::Entry* IniFile::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    const std::string folded = Utf8ToLower(key);
    for (const auto& e : s->Entries)
        if (Utf8ToLower(e.Key) == folded) return &e;
    return nullptr;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    return Find(section, key) != nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    const Entry* e = Find(section, key);
    return e ? e->Value : std::string(def);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    const Entry* e = Find(section, key);
    return e ? StrToIntDef(e->Value, def) : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    const Entry* e = Find(section, key);
    double v;
    return e && TryParseFloat(e->Value, v) ? v : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* target = FindSection(section);
    if (!target) {
        sectionIndex_.emplace(Utf8ToLower(section), sections_.size());
        sections_.push_back({std::string(section), {}});
        target = &sections_.back();
    }
    for (auto& e : target->Entries)
        if (SameTextIgnoreCase(e.Key, key)) {
            e.Value = std::string(value);
            return;
        }
    target->Entries.push_back({std::string(key), std::string(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    WriteString(section, key, FormatFloat(value));
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    if (Section* s = FindSection(section))
        std::erase_if(s->Entries, [&](const Entry& e) { return SameTextIgnoreCase(e.Key, key); });
}

void IniFile::EraseSection(std::string_view section) {
    std::erase_if(sections_, [&](const Section& s) { return SameTextIgnoreCase(s.Name, section); });
    sectionIndex_.clear();
    for (size_t i = 0; i < sections_.size(); ++i) sectionIndex_.emplace(Utf8ToLower(sections_[i].Name), i);
}

std::string FormatFloat(double value) {
    char buf[400];  // fixed notation of the largest double fits
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string s(buf, r.ptr);
    if (s == "-0") s = "0";
    return s;
}

bool TryParseFloat(std::string_view text, double& value) {
    std::string s(Trim(text));
    for (char& c : s)
        if (c == ',') c = '.';
    if (s.empty()) return false;
    const char* begin = s.data();
    if (*begin == '+') ++begin;
    double v;
    const auto r = std::from_chars(begin, s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

int32_t ViewState::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    return IniFile::Load(path_).ReadInteger(section, key, def);
}

bool ViewState::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return IniFile::Load(path_).ReadBool(section, key, def);
}

std::string ViewState::ReadString(std::string_view section, std::string_view key,
                                  std::string_view def) const {
    return IniFile::Load(path_).ReadString(section, key, def);
}

void ViewState::WriteInteger(std::string_view section, std::string_view key, int32_t value) const {
    IniFile ini = IniFile::Load(path_);
    ini.WriteInteger(section, key, value);
    ini.Save(path_);
}

void ViewState::WriteBool(std::string_view section, std::string_view key, bool value) const {
    WriteInteger(section, key, value ? 1 : 0);
}

void ViewState::WriteString(std::string_view section, std::string_view key,
                            std::string_view value) const {
    IniFile ini = IniFile::Load(path_);
    ini.WriteString(section, key, value);
    ini.Save(path_);
}

}  // namespace tessara
