#pragma once
// A wide text that never changes once made, held once for all of its copies. A checksum
// file may name one part on tens of thousands of lines: a string of their own for each
// cost an allocation per line, and under Wine most of the time a join took to read such
// files.

#include <atomic>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace mendlet {

class SharedText {
public:
    SharedText() = default;
    SharedText(std::wstring_view text);
    // As a std::wstring takes them, so that code written for one works unchanged.
    SharedText(const wchar_t* text) : SharedText(std::wstring_view(text)) {}
    SharedText(const std::wstring& text) : SharedText(std::wstring_view(text)) {}
    SharedText(const SharedText& other) noexcept;
    SharedText(SharedText&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    SharedText& operator=(SharedText other) noexcept;
    ~SharedText();

    operator std::wstring_view() const noexcept;
    bool empty() const noexcept { return block_ == nullptr; }

    // With another shared text, a string, a view or a literal, each as it is.
    template <typename Text>
    requires std::convertible_to<const Text&, std::wstring_view>
    friend bool operator==(const SharedText& a, const Text& b) noexcept {
        return std::wstring_view(a) == std::wstring_view(b);
    }

private:
    // How many copies hold the text and its length; the characters follow it.
    struct Block {
        std::atomic<std::size_t> holders;
        std::size_t length;
    };

    // None for an empty text.
    Block* block_ = nullptr;
};

}  // namespace mendlet
