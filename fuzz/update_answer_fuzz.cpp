// The update server's answer and the address the program asks.
//
// Input: the answer as the server sends it, read as the program reads it: the first 64 KiB,
// as an INI file (UTF-16 after a byte-order mark, else one character per byte), the keys
// of [response] cut to their limits. The same bytes taken as UTF-16 units, split at NULs
// into update, version, download and date, make a second answer, and are also the server's
// base address.
//
// Properties: an answer offers a newer version only with a version, a date and a download
// address that is a web address; it fails exactly when it says nothing or offers a newer
// version without all of them; a web address starts with http:// or https:// (in any
// case), has more after it and holds no control character below 0x20 nor DEL, and any
// such address of printable ASCII is one; the request address is the server's without its
// trailing slashes, followed by the request path.

#include <algorithm>

#include "fuzz_support.h"
#include "update/update_answer.h"

namespace mendlet {
namespace {

bool starts_with_scheme(std::wstring_view address, std::wstring_view scheme) {
    return address.size() >= scheme.size() && fuzz::same_ignoring_case(address.substr(0, scheme.size()), scheme);
}

// What is opened is a web address; and a plain one (printable ASCII) is opened.
void check_web_address(std::wstring_view address) {
    const bool https = starts_with_scheme(address, L"https://");
    const bool http = starts_with_scheme(address, L"http://");
    const std::size_t scheme = https ? 8 : http ? 7 : 0;
    const bool web = scheme != 0 && address.size() > scheme;
    if (is_web_address(address))
        FUZZ_CHECK(web &&
                   std::none_of(address.begin(), address.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; }));
    if (web && std::all_of(address.begin(), address.end(), [](wchar_t c) { return c >= 0x20 && c < 0x7F; }))
        FUZZ_CHECK(is_web_address(address));
}

void check_answer(const UpdateAnswer& answer) {
    check_web_address(answer.download);
    const UpdateOutcome outcome = judge_update_answer(answer);
    const bool says_nothing = answer.update.empty();
    const bool offers = !says_nothing && answer.update.front() == L'1';
    const bool offer_whole =
        !answer.version.empty() && !answer.date.empty() && !answer.download.empty() && is_web_address(answer.download);
    if (outcome == UpdateOutcome::newer) FUZZ_CHECK(offers && offer_whole && is_web_address(answer.download));
    FUZZ_CHECK((outcome == UpdateOutcome::failed) == (says_nothing || (offers && !offer_whole)));
    FUZZ_CHECK((outcome == UpdateOutcome::up_to_date) == (!says_nothing && !offers));
}

void check_request_address(std::wstring_view server) {
    const std::wstring address = update_request_address(server);
    FUZZ_CHECK(address.size() >= UPDATE_REQUEST_PATH.size());
    const std::wstring_view base = std::wstring_view(address).substr(0, address.size() - UPDATE_REQUEST_PATH.size());
    FUZZ_CHECK(std::wstring_view(address).substr(base.size()) == UPDATE_REQUEST_PATH);
    FUZZ_CHECK(base.empty() || base.back() != L'/');
    FUZZ_CHECK(server.substr(0, base.size()) == base);
    FUZZ_CHECK(server.find_first_not_of(L'/', base.size()) == std::wstring_view::npos);
}

// As the system's INI reader gives a value into room for limit characters.
std::wstring answer_value(const fuzz::IniText& file, const wchar_t* key, std::size_t limit) {
    std::wstring value = file.value(UPDATE_SECTION, key);
    value.resize(std::min({value.find(L'\0'), value.size(), limit}));
    return value;
}

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    const fuzz::Bytes bytes(data, std::min(size, UPDATE_ANSWER_LIMIT));

    const fuzz::IniText file(fuzz::ini_text(bytes));
    UpdateAnswer answer;
    answer.update = answer_value(file, L"update", UPDATE_FLAG_LIMIT);
    answer.version = answer_value(file, L"version", UPDATE_VERSION_LIMIT);
    answer.download = answer_value(file, L"download", UPDATE_DOWNLOAD_LIMIT);
    answer.date = answer_value(file, L"date", UPDATE_DATE_LIMIT);
    check_answer(answer);
    check_web_address(file.value(UPDATE_SECTION, L"download"));

    const std::wstring units = fuzz::wide_units(bytes);
    std::wstring fields[4];
    std::size_t at = 0;
    for (std::wstring& field : fields) {
        if (at > units.size()) break;
        const std::size_t end = std::min(units.find(L'\0', at), units.size());
        field = units.substr(at, end - at);
        at = end + 1;
    }
    check_answer({fields[0], fields[1], fields[2], fields[3]});
    check_web_address(units);
    check_request_address(units);
    check_request_address(answer.download);
    return 0;
}
