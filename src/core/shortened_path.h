#pragma once
// A path shortened in the middle to fit a width, as file managers show long paths: the drive
// or share and the file name with its part number stay, the folders between give way to "…".

#include <functional>
#include <string>
#include <string_view>

namespace mendlet {

inline constexpr wchar_t ELLIPSIS = L'\u2026';

// The path itself when it fits; otherwise its root, "…\", as many of its last folders as fit
// and its file name, C:\Users\…\Films\name.mkv.004. A file name too long even so loses the
// middle of its own, keeping its end (name.…mkv.004). Where nothing fits, the narrowest of
// these. `fits` says whether a text fits the width; it must favour shorter texts.
std::wstring shortened_path(std::wstring_view path, const std::function<bool(std::wstring_view)>& fits);

}  // namespace mendlet
