#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "base/config.h"
#include "model/records.h"

namespace tessara {

// A buffer of combinations whose first Count() entries are the list. The
// buffer only grows, so filtering and regeneration never reallocate.
class TCombList {
public:
    int64_t Count() const { return count_; }
    int64_t Capacity() const { return capacity_; }
    bool Empty() const { return count_ == 0; }
    TCombination* Data() { return buf_.get(); }
    const TCombination* Data() const { return buf_.get(); }
    const TCombination& operator[](int64_t i) const { return buf_[static_cast<size_t>(i)]; }
    TCombination& operator[](int64_t i) { return buf_[static_cast<size_t>(i)]; }

    TCombList() = default;
    TCombList(const TCombList& other) { CopyFrom(other); }
    TCombList& operator=(const TCombList& other) {
        if (this != &other) CopyFrom(other);
        return *this;
    }

    // Grows the buffer to at least capacity and sets the count.
    void Reserve(int64_t capacity, int64_t count);
    // Trades buffers without copying.
    friend void swap(TCombList& a, TCombList& b) noexcept {
        std::swap(a.buf_, b.buf_);
        std::swap(a.capacity_, b.capacity_);
        std::swap(a.count_, b.count_);
    }
    void SetCount(int64_t count) { count_ = count; }
    // Releases the buffer.
    void Clear();
    void Append(const TCombination& c) {
        if (count_ == Capacity()) Grow(count_ + 1);
        buf_[static_cast<size_t>(count_++)] = c;
    }
    // Copies another list's entries, growing to its capacity.
    void CopyFrom(const TCombList& other);

private:
    void Grow(int64_t minimum);
    // Not zero-filled: entries past the count are never read, and an
    // untouched buffer (the undo copy until first used) costs no memory.
    std::unique_ptr<TCombination[]> buf_;
    int64_t capacity_ = 0;
    int64_t count_ = 0;
};

// The generation modes.
enum TGenerateMode : uint8_t {
    gmFull = 0,
    gmAnyOfMine = 1,
    gmOnlyMine = 2,
    gmNoneOfMine = 3,
    gmFromFile = 4,
};
const char* GenerateModeCaption(int mode);  // the five captions of the dialog; "" otherwise

// "My numbers": words at "," and ";", every value 0..255 in the set.
using TNumberSet = std::array<bool, 256>;
TNumberSet ParseMyNumbers(std::string_view text);

// What a generation with these parameters would do that the user may not
// expect: "my numbers" outside 1..42 that no combination can hold, or a list
// that comes out empty. Empty when there is nothing to say.
std::string GenerateWarning(int mode, std::string_view myNumbers);

// Appends every six-number combination of 1..42 in lexicographic order that
// the mode keeps (modes 0..3 and any value above 4).
void GenerateCombinations(TCombList& list, int mode, const TNumberSet& mine);

// List files: one "n1;n2;...;n6" line per combination.
// A line counts when it splits into exactly six words at "," and ";".
bool ParseCombsListLine(std::string_view line, TCombination& comb);
// progress, when given, hears how many bytes of the text are read, about
// a hundred times over the text.
void AppendCombsListText(TCombList& list, std::string_view text,
                         const std::function<void(size_t read)>& progress = nullptr);
// Lines end at CR LF, CR or LF; a last line without an end counts.
template <typename F>
void ForEachTextLine(std::string_view text, F f) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        f(text.substr(pos, end - pos));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            end += 2;
        else if (end < text.size())
            end += 1;
        pos = end;
    }
}
int64_t CountTextLines(std::string_view text);
std::string FormatCombsListText(const TCombList& list);  // Windows-1251, CR LF
void AppendCombsListText(std::string& out, const TCombination* combs, int64_t n);

// Clipboard text: two-digit numbers joined by spaces, CR LF after each line.
std::string FormatClipboardLine(const TCombination& c);
// The same for n combinations, appended.
void AppendClipboardText(std::string& out, const TCombination* combs, int64_t n);

// Copies the combinations of src that are none of the drawn ones into dst,
// in order, and returns how many; a combination is drawn when its numbers
// make one of the masks (bit x for number x, modulo 64), given sorted.
// With lexicographic, src is a generated list (increasing numbers 1..42 in
// lexicographic order): the drawn ones are then found by a search, and the
// rest is copied in runs. The threads share a long list otherwise.
int64_t RemoveDrawnCombs(const TCombination* src, int64_t n, TCombination* dst,
                         const std::vector<uint64_t>& drawn, bool lexicographic);

// Buffer file: the raw 6-byte records.
std::string CombsBufferBytes(const TCombList& list);

}  // namespace tessara
