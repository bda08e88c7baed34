#pragma once
// Fills the placeholders of a text: %s (text), %d (signed), %u (unsigned); %% is a percent
// sign and anything else after % stays as written. Texts may come from translators, so no
// placeholder can ever read beyond the arguments given.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace mendlet {

using FormatArg = std::variant<std::wstring_view, std::int32_t, std::uint32_t>;

std::wstring format_text(std::wstring_view format, std::initializer_list<FormatArg> args);

// The kinds of the placeholders in order, one letter each ("sds" for "%s ... %d ... %s").
std::wstring placeholder_kinds(std::wstring_view text);

// Two sentences of a message, one blank between them; either may be empty.
std::wstring joined_texts(std::wstring first, std::wstring_view second);

}  // namespace mendlet
