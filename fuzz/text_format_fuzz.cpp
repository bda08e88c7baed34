// Format texts, which come from translators: placeholder_kinds and format_text.
//
// Input: one byte, the number of arguments (modulo 5); for each argument one byte of kind
// (modulo 3: text, signed, unsigned) and then for a number 4 bytes (little-endian), for a
// text one byte of length n and n UTF-16 units; the rest is the format text in UTF-16
// units. Missing bytes read as 0.
//
// Properties: format_text fills exactly as many placeholders as it has arguments, each
// with its argument (numbers as the placeholder's kind says), and copies the rest; it
// never reads beyond its arguments (the address sanitizer watches the argument list).
// placeholder_kinds counts exactly the placeholders format_text fills, and a percent sign
// added at the end changes nothing.

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "lang/text_format.h"

namespace mendlet {
namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t{byte()} << (8 * i);
        return value;
    }
    std::wstring units(std::size_t count) {
        std::wstring text;
        for (std::size_t i = 0; i < count; ++i) text += static_cast<wchar_t>(byte() | (byte() << 8));
        return text;
    }
    std::wstring rest() {
        return fuzz::wide_units(fuzz::Bytes(data_ + std::min(at_, size_), size_ - std::min(at_, size_)));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// How an argument comes out for a placeholder, computed here without format_text.
std::wstring rendered(const FormatArg& arg, wchar_t kind) {
    if (const auto* text = std::get_if<std::wstring_view>(&arg)) return std::wstring(*text);
    if (const auto* value = std::get_if<std::int32_t>(&arg))
        return kind == L'u' ? std::to_wstring(static_cast<std::uint32_t>(*value)) : std::to_wstring(*value);
    const std::uint32_t value = std::get<std::uint32_t>(arg);
    return kind == L'd' ? std::to_wstring(static_cast<std::int32_t>(value)) : std::to_wstring(value);
}

std::wstring format_with(std::wstring_view format, const std::vector<FormatArg>& args) {
    switch (args.size()) {
        case 0:
            return format_text(format, {});
        case 1:
            return format_text(format, {args[0]});
        case 2:
            return format_text(format, {args[0], args[1]});
        case 3:
            return format_text(format, {args[0], args[1], args[2]});
        default:
            return format_text(format, {args[0], args[1], args[2], args[3]});
    }
}

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    Reader reader(data, size);
    const std::size_t count = reader.byte() % 5;
    std::vector<std::wstring> texts;
    texts.reserve(count);
    std::vector<FormatArg> args;
    for (std::size_t i = 0; i < count; ++i) {
        switch (reader.byte() % 3) {
            case 0:
                texts.push_back(reader.units(reader.byte()));
                args.emplace_back(std::wstring_view(texts.back()));
                break;
            case 1:
                args.emplace_back(static_cast<std::int32_t>(reader.word()));
                break;
            default:
                args.emplace_back(reader.word());
                break;
        }
    }
    const std::wstring format = reader.rest();

    const std::wstring kinds = placeholder_kinds(format);
    FUZZ_CHECK(kinds.find_first_not_of(L"sdu") == std::wstring::npos);
    FUZZ_CHECK(2 * kinds.size() <= format.size());
    FUZZ_CHECK(placeholder_kinds(format + L"%") == kinds);
    if (format.find(L'%') == std::wstring::npos) FUZZ_CHECK(format_with(format, args) == format);

    // Without arguments, every placeholder comes out empty; with them, each of the first
    // ones comes out as its argument, and nothing else changes.
    const std::wstring bare = format_text(format, {});
    FUZZ_CHECK(bare.size() + 2 * kinds.size() <= format.size());
    std::size_t filled = 0;
    for (std::size_t i = 0; i < std::min(args.size(), kinds.size()); ++i) filled += rendered(args[i], kinds[i]).size();
    FUZZ_CHECK(format_with(format, args).size() == bare.size() + filled);

    // One placeholder alone gives the argument alone.
    for (const FormatArg& arg : args)
        for (const wchar_t* placeholder : {L"%s", L"%d", L"%u"})
            FUZZ_CHECK(format_text(placeholder, {arg}) == rendered(arg, placeholder[1]));
    return 0;
}
