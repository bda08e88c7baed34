#pragma once
// The update server's answer and what the program makes of it. The answer comes from the
// network, so nothing in it is trusted: above all the download address, which is handed to
// the shell to open.

#include <cstddef>
#include <string>
#include <string_view>

namespace mendlet {

// The request names the build (64-bit) and the running version.
inline constexpr std::wstring_view UPDATE_REQUEST_PATH = L"/update/api-v01/software/mendlet/64bit-2.4.0";

// The answer's section, and the most characters kept of each of its keys.
inline constexpr wchar_t UPDATE_SECTION[] = L"response";
inline constexpr std::size_t UPDATE_FLAG_LIMIT = 1;
inline constexpr std::size_t UPDATE_VERSION_LIMIT = 10;
inline constexpr std::size_t UPDATE_DOWNLOAD_LIMIT = 1023;
inline constexpr std::size_t UPDATE_DATE_LIMIT = 47;

// An answer is read no further than this: a real one is a few hundred bytes.
inline constexpr std::size_t UPDATE_ANSWER_LIMIT = 64 * 1024;

// The four keys as read, each already cut to its limit; a missing key is empty.
struct UpdateAnswer {
    std::wstring update;
    std::wstring version;
    std::wstring download;
    std::wstring date;
};

enum class UpdateOutcome {
    failed,      // no usable answer
    up_to_date,  // the server knows of nothing newer
    newer,       // a newer version, with its version, date and a web address to open
};

UpdateOutcome judge_update_answer(const UpdateAnswer& answer);

// Only an http:// or https:// address with something after the scheme, and no control
// characters, is opened: anything else could start a program or open a local file.
bool is_web_address(std::wstring_view address);

// The server's base address (scheme and host, perhaps a port) followed by the request path.
std::wstring update_request_address(std::wstring_view server);

}  // namespace mendlet
