#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mendlet {

// Two lower-case hex digits per byte, in byte order: the text of a digest.
std::string hex_text(const std::uint8_t* bytes, std::size_t length);

}  // namespace mendlet
