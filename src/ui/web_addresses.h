#pragma once
// The web addresses the program opens. They are kept scrambled in the program's data, so
// that a search of the file for addresses does not find them, and are unscrambled only
// just before use.

#include <array>
#include <cstddef>
#include <string>

namespace mendlet {

namespace web_address_detail {

inline constexpr unsigned char KEY = 0x5A;

template <std::size_t N>
struct Scrambled {
    std::array<unsigned char, N - 1> bytes{};
    constexpr explicit Scrambled(const char (&text)[N]) {
        for (std::size_t i = 0; i + 1 < N; ++i) bytes[i] = static_cast<unsigned char>(text[i] ^ KEY ^ (i & 0x1F));
    }
    std::string unscrambled() const {
        std::string text(bytes.size(), '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<char>(bytes[i] ^ KEY ^ (i & 0x1F));
        return text;
    }
};

}  // namespace web_address_detail

inline constexpr web_address_detail::Scrambled HELP_ADDRESS{"https://tessvane.example/mendlet/help"};
inline constexpr web_address_detail::Scrambled WEB_PAGE_ADDRESS{"https://tessvane.example/mendlet"};
inline constexpr web_address_detail::Scrambled CONTACT_ADDRESS{"mailto:mendlet@tessvane.example"};

}  // namespace mendlet
