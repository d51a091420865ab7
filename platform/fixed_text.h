#pragma once

#include <cstddef>
#include <cstring>

namespace drvsweep {

// A NUL-terminated ANSI text in a fixed buffer of N bytes, so at most N - 1 characters.
// A write that would not fit changes nothing and returns false: nothing is ever written
// past the buffer and nothing is silently cut. An all-zero FixedText is the empty text,
// which lets a record made of FixedText fields be cleared and moved as plain bytes.
template <std::size_t N>
class FixedText {
    static_assert(N >= 2, "a fixed text needs room for one character and its terminator");

public:
    static constexpr std::size_t capacity() { return N; }

    const char* c_str() const { return text_; }
    std::size_t size() const { return std::strlen(text_); }
    bool empty() const { return text_[0] == '\0'; }
    void clear() { text_[0] = '\0'; }

    bool assign(const char* text) { return assign(text, std::strlen(text)); }
    bool assign(const char* text, std::size_t length) {
        if (length >= N) {
            return false;
        }
        std::memmove(text_, text, length);
        text_[length] = '\0';
        return true;
    }

    bool append(const char* text) {
        const std::size_t used = size();
        const std::size_t length = std::strlen(text);
        if (length >= N - used) {
            return false;
        }
        std::memmove(text_ + used, text, length + 1);
        return true;
    }

    // Appends every text in turn; on failure the text is left as it was before the call.
    template <typename... Texts>
    bool appendAll(const Texts&... texts) {
        const std::size_t before = size();
        if ((append(ToChars(texts)) && ...)) {
            return true;
        }
        text_[before] = '\0';
        return false;
    }

    bool endsWith(char c) const {
        const std::size_t used = size();
        return used > 0 && text_[used - 1] == c;
    }

    // Buffer for an OS call that stores a NUL-terminated text of at most N bytes. The
    // caller checks the call's result before it trusts the content.
    char* data() { return text_; }

    bool operator==(const FixedText& other) const { return std::strcmp(text_, other.text_) == 0; }
    bool operator!=(const FixedText& other) const { return !(*this == other); }

private:
    static const char* ToChars(const char* text) { return text; }
    template <std::size_t M>
    static const char* ToChars(const FixedText<M>& text) {
        return text.c_str();
    }

    char text_[N] = {};
};

// The Windows MAX_PATH buffer that holds every path, key name, value and INF line.
constexpr std::size_t kMaxPath = 260;
using PathText = FixedText<kMaxPath>;

}  // namespace drvsweep
