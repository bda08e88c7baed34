#include "join/temporary_output.h"

#include <cstdint>
#include <cwchar>

#include "core/names_beside.h"

namespace mendlet {

namespace {

// FNV-1a over the name's UTF-16 units: the same on every platform, so that a file left by a
// crash is found again under the same short name.
std::uint32_t name_hash(std::wstring_view name) {
    std::uint32_t hash = 2166136261u;
    for (const wchar_t c : name) {
        const auto unit = static_cast<std::uint32_t>(c) & 0xFFFFu;
        hash = (hash ^ (unit & 0xFF)) * 16777619u;
        hash = (hash ^ (unit >> 8)) * 16777619u;
    }
    return hash;
}

}  // namespace

std::vector<std::wstring> temporary_output_paths(std::wstring_view output_path) {
    const std::wstring_view name = output_path.substr(output_path.find_last_of(L"\\/") + 1);
    wchar_t short_name[32];
    std::swprintf(short_name, 32, L"mendlet-%08x", static_cast<unsigned>(name_hash(name)));
    return names_beside(output_path, TEMPORARY_OUTPUT_SUFFIX,
                        std::wstring(short_name) + std::wstring(TEMPORARY_OUTPUT_SUFFIX));
}

std::wstring temporary_output_path(std::wstring_view output_path) {
    return temporary_output_paths(output_path).front();
}

}  // namespace mendlet
