// RtString: the language's string value. A heap block holding 8-bit text and
// its terminator, with an explicit length and a capacity that grows in steps
// of 512 bytes. Strings are copied on assignment.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

class RtString {
public:
    RtString() : text_(NewBlock(4)), capacity_(4), length_(0) { text_[0] = '\0'; }  // empty, 4-byte block
    RtString(const char* text);          // NOLINT: literals convert implicitly
    RtString(const RtString& other);
    RtString(RtString&& other) noexcept;
    explicit RtString(int value);
    explicit RtString(double value);
    explicit RtString(float value);
    ~RtString() {
        std::free(text_);
        text_ = nullptr;
        capacity_ = 0;
        length_ = 0;
    }

    RtString& operator=(const RtString& other) { return Assign(other); }
    RtString& operator=(RtString&& other) noexcept;
    RtString& operator=(const char* text) { return Assign(text); }

    void Reserve(uint32_t n);
    RtString& Assign(const char* text);
    RtString& Assign(const RtString& other);
    RtString& Assign(int value);
    RtString& Assign(double value);
    RtString& Assign(float value) { return Assign(static_cast<double>(value)); }
    // Appends run inline while the text fits the block (the common case:
    // the length of a literal is known at compile time); growing goes
    // through Grown. The new text goes at the stored length.
    RtString& Append(const char* text) {
        return text ? AppendBytes(text, std::strlen(text)) : *this;
    }
    RtString& Append(const RtString& other) { return AppendBytes(other.text_, other.length_); }
    static RtString Concat(const RtString& left, const char* text);

    const char* Text() const { return text_ ? text_ : ""; }
    char* Buffer(uint32_t n);            // room for n bytes plus terminator; call SyncLength after
    uint32_t SyncLength();
    uint32_t Truncate(uint32_t position);
    double Length() const { return length_; }

    uint32_t length() const { return length_; }
    uint32_t capacity() const { return capacity_; }
    char* data() { return text_; }

private:
    struct Block {
        char* text;
        uint32_t capacity;
    };
    // Neither helper sees the string itself, so a string local to a
    // function keeps its length and block in registers across appends.
    static char* NewBlock(uint32_t size);  // malloc'd; throws bad_alloc
    // The block grown (realloc) for old + n bytes and a terminator, with the
    // n bytes copied in at old; they may lie inside the block itself.
    static Block Grown(char* text, uint32_t capacity, uint32_t old, const char* bytes, size_t n);
    static Block Enlarged(char* text, uint32_t n);  // realloc'd to the capacity for n bytes

    RtString& AppendBytes(const char* bytes, size_t n) {
        uint32_t old = length_;
        char* text = text_;
        if (static_cast<uint64_t>(old) + n < capacity_) {
            // memmove: the bytes may be a part of this string's own block.
            if (n) std::memmove(text + old, bytes, n);
        } else {
            Block grown = Grown(text, capacity_, old, bytes, n);
            text = text_ = grown.text;
            capacity_ = grown.capacity;
        }
        uint32_t total = old + static_cast<uint32_t>(n);
        text[total] = '\0';
        length_ = total;
        return *this;
    }
    void SetNumber(double value);
    char* text_;
    uint32_t capacity_;
    uint32_t length_;
};

// Number formatting shared by both targets: an int as decimal digits; a double
// with 10 significant digits, no trailing zeros and no trailing point
// (3.0 -> "3", 0.5 -> "0.5", 1e20 -> "1e+20"). Writes at most 31 bytes + NUL.
int FormatInt(int value, char* out);
int FormatDouble(double value, char* out);
