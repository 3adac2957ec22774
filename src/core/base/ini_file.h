#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessara {

// An INI file held in memory: sections of "Key=Value" lines, Windows-1251
// with CR LF on disk, UTF-8 inside. Section and key names compare without
// regard to letter case. Missing files and keys give the defaults.
class IniFile {
public:
    IniFile() = default;
    // Parses the bytes of a file.
    static IniFile Parse(std::string_view cp1251);
    // Reads the file; a missing file gives an empty one. Throws Error when the
    // file exists but cannot be read.
    static IniFile Load(const std::string& path);
    // Writes the whole file atomically. Throws Error.
    void Save(const std::string& path) const;
    std::string Serialize() const;  // Windows-1251 bytes

    bool HasKey(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    double ReadFloat(std::string_view section, std::string_view key, double def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void WriteFloat(std::string_view section, std::string_view key, double value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // The first line that is neither a section, a key, a comment nor blank
    // (1-based; 0 when none) and its text. Such lines are skipped.
    int BrokenLine() const { return brokenLine_; }
    const std::string& BrokenText() const { return brokenText_; }

private:
    struct Entry {
        std::string Key, Value;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };
    const Entry* Find(std::string_view section, std::string_view key) const;
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;  // folded name -> position
    int brokenLine_ = 0;
    std::string brokenText_;
};

// Shortest decimal form of a floating-point value with "." as separator.
std::string FormatFloat(double value);
// Reads a decimal number with "." or "," as separator.
bool TryParseFloat(std::string_view text, double& value);

// The view-state file: one section per window class; every access reads the
// whole file and every write writes it whole again.
class ViewState {
public:
    ViewState() = default;
    explicit ViewState(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // These read or write one key; failures throw Error.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    void WriteInteger(std::string_view section, std::string_view key, int32_t value) const;
    void WriteBool(std::string_view section, std::string_view key, bool value) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::string path_;
};

inline constexpr const char* MainWindowSection = "TFormMain";

}  // namespace tessara
