#include "update/update_answer.h"

#include <algorithm>
#include <cwctype>

namespace mendlet {

namespace {

bool starts_with_ignoring_case(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

}  // namespace

UpdateOutcome judge_update_answer(const UpdateAnswer& answer) {
    if (answer.update.empty()) return UpdateOutcome::failed;
    // Only the first character counts, so "10" offers an update too.
    if (answer.update.front() != L'1') return UpdateOutcome::up_to_date;
    if (answer.version.empty() || answer.download.empty() || answer.date.empty()) return UpdateOutcome::failed;
    return is_web_address(answer.download) ? UpdateOutcome::newer : UpdateOutcome::failed;
}

bool is_web_address(std::wstring_view address) {
    std::size_t scheme = 0;
    if (starts_with_ignoring_case(address, L"https://"))
        scheme = 8;
    else if (starts_with_ignoring_case(address, L"http://"))
        scheme = 7;
    else
        return false;
    if (address.size() == scheme) return false;
    return std::none_of(address.begin(), address.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; });
}

std::wstring update_request_address(std::wstring_view server) {
    while (!server.empty() && server.back() == L'/') server.remove_suffix(1);
    return std::wstring(server) + std::wstring(UPDATE_REQUEST_PATH);
}

}  // namespace mendlet
