#include "update/update_check_win32.h"

#include <objbase.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "core/long_path_win32.h"
#include "lang/text_format.h"
#include "lang/text_table.h"
#include "update/update_answer.h"

namespace mendlet {

namespace {

constexpr DWORD ANSWER_PIECE_BYTES = 10240;

// Always from the server: no cached copy used or kept, and no cookies either way.
constexpr DWORD REQUEST_FLAGS =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_ != nullptr) InternetCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

// The answer's file: held open through the check, so that a second check at the same
// time cannot take it; the system removes it when it is closed.
class AnswerFile {
public:
    explicit AnswerFile(const std::wstring& path)
        : handle_(CreateFileW(file_system_path(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr)) {}
    ~AnswerFile() {
        if (is_open()) CloseHandle(handle_);
    }
    AnswerFile(const AnswerFile&) = delete;
    AnswerFile& operator=(const AnswerFile&) = delete;

    bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE handle() const { return handle_; }

private:
    HANDLE handle_;
};

std::optional<std::wstring> answer_file_path() {
    const DWORD size = GetTempPathW(0, nullptr);
    if (size == 0) return std::nullopt;
    std::wstring folder(size, L'\0');
    const DWORD length = GetTempPathW(size, folder.data());
    if (length == 0 || length >= size) return std::nullopt;
    folder.resize(length);
    return folder + UPDATE_ANSWER_FILE_NAME;
}

// Until the answer ends, a read or a write fails, or the bound is reached: what came
// until then is read all the same.
void copy_answer(HINTERNET request, HANDLE file) {
    std::vector<char> piece(ANSWER_PIECE_BYTES);
    std::size_t copied = 0;
    while (copied < UPDATE_ANSWER_LIMIT) {
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(piece.size(), UPDATE_ANSWER_LIMIT - copied));
        DWORD read = 0;
        if (!InternetReadFile(request, piece.data(), wanted, &read) || read == 0) return;
        DWORD written = 0;
        if (!WriteFile(file, piece.data(), read, &written, nullptr) || written != read) return;
        copied += read;
    }
}

// The INI reader cuts a longer value to the room it is given.
std::wstring answer_value(const std::wstring& path, const wchar_t* key, std::size_t limit) {
    std::wstring value(limit + 1, L'\0');
    const DWORD length = GetPrivateProfileStringW(UPDATE_SECTION, key, L"", value.data(),
                                                  static_cast<DWORD>(value.size()), file_system_path(path).c_str());
    value.resize(std::min<std::size_t>(length, limit));
    return value;
}

// None when there is no answer to read.
std::optional<UpdateAnswer> fetch_answer(const std::wstring& server) {
    const InternetHandle client(InternetOpenW(L"Mendlet", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (client.get() == nullptr) return std::nullopt;
    const std::wstring address = update_request_address(server);
    const InternetHandle request(InternetOpenUrlW(client.get(), address.c_str(), nullptr, 0, REQUEST_FLAGS, 0));
    if (request.get() == nullptr) return std::nullopt;
    const auto path = answer_file_path();
    if (!path) return std::nullopt;
    const AnswerFile file(*path);
    if (!file.is_open()) return std::nullopt;
    copy_answer(request.get(), file.handle());
    UpdateAnswer answer;
    answer.update = answer_value(*path, L"update", UPDATE_FLAG_LIMIT);
    answer.version = answer_value(*path, L"version", UPDATE_VERSION_LIMIT);
    answer.download = answer_value(*path, L"download", UPDATE_DOWNLOAD_LIMIT);
    answer.date = answer_value(*path, L"date", UPDATE_DATE_LIMIT);
    return answer;
}

DWORD WINAPI update_check_thread(void* parameter) {
    const std::unique_ptr<UpdateCheck> check(static_cast<UpdateCheck*>(parameter));
    // The shell may open the download page through COM.
    const bool com_ready = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    check_for_update(*check);
    if (com_ready) CoUninitialize();
    return 0;
}

}  // namespace

std::wstring built_in_update_server() { return L"" MENDLET_UPDATE_SERVER; }

void check_for_update(const UpdateCheck& check) {
    const std::optional<UpdateAnswer> answer = fetch_answer(check.server);
    const UpdateOutcome outcome = answer ? judge_update_answer(*answer) : UpdateOutcome::failed;
    const HWND owner = check.interactive ? check.window : nullptr;
    switch (outcome) {
        case UpdateOutcome::newer: {
            const std::wstring offer = format_text(check.texts[0], {answer->version, answer->date});
            if (check.message_box(owner, offer.c_str(), APP_CAPTION, MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST) == IDYES)
                check.open_address(check.window, answer->download);
            return;
        }
        case UpdateOutcome::up_to_date:
            if (check.interactive)
                check.message_box(owner, check.texts[1].c_str(), APP_CAPTION, MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
            return;
        case UpdateOutcome::failed:
            if (check.interactive)
                check.message_box(owner, check.texts[2].c_str(), APP_CAPTION, MB_OK | MB_ICONERROR | MB_TOPMOST);
            return;
    }
}

bool start_update_check_thread(UpdateCheck check) {
    auto owned = std::make_unique<UpdateCheck>(std::move(check));
    const HANDLE thread = CreateThread(nullptr, 0, update_check_thread, owned.get(), 0, nullptr);
    if (thread == nullptr) return false;
    owned.release();
    CloseHandle(thread);
    return true;
}

}  // namespace mendlet
