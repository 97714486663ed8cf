#include <brindle/rtstring.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The longest text whose block size (a multiple of 512 above the length)
// still fits the 32-bit capacity.
constexpr uint32_t kMaxLength = 0xFFFFFDFFu;

uint32_t CapacityFor(uint32_t n) { return (n / 512u) * 512u + 512u; }

// A length the block could not hold takes the same way out as a failed
// allocation, instead of wrapping around to a small block.
uint32_t CheckedLength(uint64_t n) {
    if (n > kMaxLength) throw std::bad_alloc();
    return static_cast<uint32_t>(n);
}

}  // namespace

// Blocks come from malloc so that growth can extend a block in place
// (realloc) instead of always copying the whole text.
char* RtString::NewBlock(uint32_t size) {
    void* p = std::malloc(size);
    if (!p) throw std::bad_alloc();
    return static_cast<char*>(p);
}

int FormatInt(int value, char* out) {
    auto r = std::to_chars(out, out + 31, value);
    *r.ptr = '\0';
    return static_cast<int>(r.ptr - out);
}

int FormatDouble(double value, char* out) {
    auto r = std::to_chars(out, out + 31, value, std::chars_format::general, 10);
    int n = static_cast<int>(r.ptr - out);
    out[n] = '\0';
    if (n > 0 && out[n - 1] == '.') out[--n] = '\0';
    return n;
}

RtString::RtString(const char* text) : text_(nullptr), capacity_(0), length_(0) {
    if (!text) text = "";
    uint32_t n = CheckedLength(std::strlen(text));
    Reserve(n);
    std::memcpy(text_, text, n);
    text_[n] = '\0';
    length_ = n;
}

RtString::RtString(const RtString& other) : text_(nullptr), capacity_(0), length_(0) {
    Reserve(other.length_);
    if (other.length_) std::memcpy(text_, other.text_, other.length_);
    text_[other.length_] = '\0';
    length_ = other.length_;
}

RtString::RtString(RtString&& other) noexcept
    : text_(other.text_), capacity_(other.capacity_), length_(other.length_) {
    other.text_ = nullptr;
    other.capacity_ = 0;
    other.length_ = 0;
}

RtString& RtString::operator=(RtString&& other) noexcept {
    if (this != &other) {
        std::free(text_);
        text_ = other.text_;
        capacity_ = other.capacity_;
        length_ = other.length_;
        other.text_ = nullptr;
        other.capacity_ = 0;
        other.length_ = 0;
    }
    return *this;
}

RtString::RtString(int value) : text_(nullptr), capacity_(0), length_(0) { Assign(value); }
RtString::RtString(double value) : text_(nullptr), capacity_(0), length_(0) { SetNumber(value); }
RtString::RtString(float value) : text_(nullptr), capacity_(0), length_(0) {
    SetNumber(static_cast<double>(value));
}

// A block of the capacity for n bytes holding the old block's content
// (realloc of no block is a fresh one).
RtString::Block RtString::Enlarged(char* text, uint32_t n) {
    uint32_t capacity = CapacityFor(CheckedLength(n));
    void* p = std::realloc(text, capacity);
    if (!p) throw std::bad_alloc();
    return {static_cast<char*>(p), capacity};
}

void RtString::Reserve(uint32_t n) {
    if (text_ && n < capacity_) return;
    bool fresh = !text_;
    Block block = Enlarged(text_, n);
    text_ = block.text;
    capacity_ = block.capacity;
    if (fresh) text_[0] = '\0';
}

RtString& RtString::Assign(const char* text) {
    if (!text) text = "";
    uint32_t n = CheckedLength(std::strlen(text));
    if (text >= text_ && text < text_ + capacity_) {  // assigning a part of ourselves
        std::memmove(text_, text, n);
    } else {
        Reserve(n);
        std::memcpy(text_, text, n);
    }
    text_[n] = '\0';
    length_ = n;
    return *this;
}

RtString& RtString::Assign(const RtString& other) {
    if (this == &other) return *this;
    uint32_t n = other.length_;
    Reserve(n);
    if (n) std::memcpy(text_, other.text_, n);
    text_[n] = '\0';
    length_ = n;
    return *this;
}

RtString& RtString::Assign(int value) {
    Reserve(64);
    length_ = static_cast<uint32_t>(FormatInt(value, text_));
    return *this;
}

RtString& RtString::Assign(double value) {
    SetNumber(value);
    return *this;
}

void RtString::SetNumber(double value) {
    Reserve(64);
    length_ = static_cast<uint32_t>(FormatDouble(value, text_));
}

RtString::Block RtString::Grown(char* text, uint32_t capacity, uint32_t old, const char* bytes,
                                size_t n) {
    uint32_t total = CheckedLength(static_cast<uint64_t>(old) + n);
    // Bytes inside the block (a string appending itself or a part of
    // itself) move with it: realloc keeps the whole block's content.
    auto at = reinterpret_cast<uintptr_t>(bytes), start = reinterpret_cast<uintptr_t>(text);
    bool own = text && at >= start && at < start + capacity;
    Block block = {text, capacity};
    if (!text || total >= capacity) block = Enlarged(text, total);
    if (own) bytes = block.text + (at - start);
    if (n) std::memmove(block.text + old, bytes, n);
    return block;
}

RtString RtString::Concat(const RtString& left, const char* text) {
    RtString result(left);
    result.Append(text);
    return result;
}

char* RtString::Buffer(uint32_t n) {
    Reserve(n);
    return text_;
}

uint32_t RtString::SyncLength() {
    length_ = text_ ? static_cast<uint32_t>(std::strlen(text_)) : 0;
    return length_;
}

uint32_t RtString::Truncate(uint32_t position) {
    if (text_ && position < capacity_) text_[position] = '\0';
    return SyncLength();
}
