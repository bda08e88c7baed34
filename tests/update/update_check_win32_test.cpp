// The version check against a web server of the test's own: the request, the outcomes and
// their boxes, the download page opened only when it is a web address, and the silent
// check at start-up, which holds nothing up.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lang/text_table.h"
#include "res/resource.h"
#include "support/program_win32.h"
#include "support/web_server_win32.h"
#include "ui/application_win32.h"
#include "update/update_check_win32.h"

namespace mendlet {
namespace {

using test_support::address_without_server;
using test_support::becomes_true;
using test_support::WebServer;

constexpr wchar_t PAGE[] = L"https://tessvane.example/mendlet/download";
constexpr UINT OFFER_STYLE = MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST;
constexpr UINT UP_TO_DATE_STYLE = MB_OK | MB_ICONINFORMATION | MB_TOPMOST;
constexpr UINT FAILED_STYLE = MB_OK | MB_ICONERROR | MB_TOPMOST;

std::string answer(const std::string& keys) { return "[response]\r\n" + keys; }
std::string offer(const std::string& download = "https://tessvane.example/mendlet/download") {
    return answer("update=1\r\nversion=2.5.0\r\ndate=2015-06-01\r\ndownload=" + download + "\r\n");
}

struct Box {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
    bool operator==(const Box&) const = default;
};

// What checks showed and opened; a check on a thread of its own reports here too.
class UpdateCheckTest : public ::testing::Test {
protected:
    ~UpdateCheckTest() override {
        if (window != nullptr) DestroyWindow(window);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    int show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
        const std::lock_guard lock(mutex);
        boxes.push_back({owner, text, caption, style});
        return reply;
    }
    void open(HWND owner, const std::wstring& address) {
        const std::lock_guard lock(mutex);
        opened.push_back(address);
        opened_by = owner;
    }
    std::vector<Box> shown() {
        const std::lock_guard lock(mutex);
        return boxes;
    }
    std::vector<std::wstring> opened_pages() {
        const std::lock_guard lock(mutex);
        return opened;
    }
    void forget() {
        const std::lock_guard lock(mutex);
        boxes.clear();
        opened.clear();
    }

    // A check as the window makes it, with the desktop standing in for the main window.
    void run_check(const std::wstring& server, bool interactive) {
        const TextTable texts;
        check_for_update(UpdateCheck{server,
                                     GetDesktopWindow(),
                                     interactive,
                                     {texts.updater[0], texts.updater[1], texts.updater[2]},
                                     [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
                                         return show(owner, text, caption, style);
                                     },
                                     [this](HWND owner, const std::wstring& address) { open(owner, address); }});
    }

    // The main window with its checks going to the server; a silent one only when asked.
    void start(const std::wstring& server, bool check_on_start) {
        application.settings().check_version_on_start = check_on_start;
        application.update_server = server;
        application.message_box = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
            return show(owner, text, caption, style);
        };
        application.open_address = [this](HWND owner, const std::wstring& address) { open(owner, address); };
        window = application.create_window();
        ASSERT_NE(window, nullptr);
    }

    Box offered(HWND owner, const std::wstring& version = L"2.5.0") const {
        return {owner, L"Mendlet " + version + L" (2015-06-01) is available. Would you like to open download page?",
                L"Mendlet", OFFER_STYLE};
    }

    std::mutex mutex;
    std::vector<Box> boxes;
    std::vector<std::wstring> opened;
    HWND opened_by = nullptr;
    int reply = IDYES;
    Application application{GetModuleHandleW(nullptr)};
    HWND window = nullptr;
};

TEST_F(UpdateCheckTest, EachAnswerEndsInItsBoxAndOnlyAWebPageIsOpened) {
    enum class Outcome { up_to_date, newer, failed };
    struct Case {
        const char* name;
        std::string body;
        Outcome outcome;
        std::wstring version = L"2.5.0";
    };
    const std::vector<Case> cases = {
        {"nothing newer", answer("update=0\r\n"), Outcome::up_to_date},
        {"names and keys in any case", "[RESPONSE]\r\nUpDate=0\r\n", Outcome::up_to_date},
        {"a newer version", offer(), Outcome::newer},
        {"only the first character counts",
         answer("update=10\r\nversion=2.5.0\r\ndate=2015-06-01\r\ndownload=https://tessvane.example/mendlet/download"),
         Outcome::newer},
        {"a version cut to ten characters",
         answer("update=1\r\nversion=2.5.0-beta.7\r\ndate=2015-06-01\r\ndownload=https://tessvane.example/mendlet/"
                "download\r\n"),
         Outcome::newer, L"2.5.0-beta"},
        {"no date", answer("update=1\r\nversion=2.5.0\r\ndownload=https://tessvane.example/\r\n"), Outcome::failed},
        {"no update key", answer("version=2.5.0\r\n"), Outcome::failed},
        {"not an INI file", "<html><body>Not found</body></html>", Outcome::failed},
        {"a local program to download", offer("C:\\Windows\\System32\\calc.exe"), Outcome::failed},
        {"another scheme", offer("file:///C:/Windows/System32/calc.exe"), Outcome::failed},
        // Read no further than 64 KiB: the section beyond is never seen.
        {"an endless answer", std::string(70000, ';') + "\r\n" + answer("update=0\r\n"), Outcome::failed},
    };
    const HWND main = GetDesktopWindow();
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        const WebServer server(each.body);
        const bool newer = each.outcome == Outcome::newer;
        run_check(server.address(), true);
        const Box box = newer ? offered(main, each.version)
                        : each.outcome == Outcome::up_to_date
                            ? Box{main, L"You already have the latest version.", L"Mendlet", UP_TO_DATE_STYLE}
                            : Box{main, L"Unable to check for new version.", L"Mendlet", FAILED_STYLE};
        EXPECT_EQ(shown(), std::vector<Box>{box});
        EXPECT_EQ(opened_pages(), newer ? std::vector<std::wstring>{PAGE} : std::vector<std::wstring>{});
        forget();
        // The silent check shows the offer only, and owns it to no window.
        run_check(server.address(), false);
        EXPECT_EQ(shown(), newer ? std::vector<Box>{offered(nullptr, each.version)} : std::vector<Box>{});
        forget();
    }
}

TEST_F(UpdateCheckTest, NoOpensNothing) {
    const WebServer server(offer());
    reply = IDNO;
    run_check(server.address(), true);
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_TRUE(opened_pages().empty());
}

TEST_F(UpdateCheckTest, TheRequestNamesTheBuildSendsNoCookiesAndLeavesNoFile) {
    const WebServer server(answer("update=0\r\n"));
    run_check(server.address(), true);
    run_check(server.address(), true);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].rfind("GET /update/api-v01/software/mendlet/64bit-2.4.0 HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(requests[0].find("\r\nUser-Agent: Mendlet\r\n"), std::string::npos);
    // The server asked for a cookie each time.
    EXPECT_EQ(requests[1].find("Cookie:"), std::string::npos);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(GetFileAttributesW((std::wstring(temp) + UPDATE_ANSWER_FILE_NAME).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateCheckTest, NoServerOrAnAnswerFileInUseFails) {
    const Box failed{GetDesktopWindow(), L"Unable to check for new version.", L"Mendlet", FAILED_STYLE};
    run_check(address_without_server(), true);
    EXPECT_EQ(shown(), std::vector<Box>{failed});
    forget();
    // Another check holds the answer's file.
    const WebServer server(answer("update=0\r\n"));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const HANDLE held = CreateFileW((std::wstring(temp) + UPDATE_ANSWER_FILE_NAME).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    run_check(server.address(), true);
    CloseHandle(held);
    EXPECT_EQ(shown(), std::vector<Box>{failed});
}

// The menu's check runs on the window's thread, its box owned by the window; with the
// start-up check off, it is the server's only request.
TEST_F(UpdateCheckTest, TheMenuChecksAndStartUpDoesNotWhenSwitchedOff) {
    const WebServer server(answer("update=0\r\n"));
    start(server.address(), false);
    SendMessageW(window, WM_COMMAND, IDM_CHECK_UPDATE, 0);
    EXPECT_EQ(shown(), (std::vector<Box>{{window, L"You already have the latest version.", L"Mendlet", UP_TO_DATE_STYLE}}));
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(UpdateCheckTest, StartUpOffersANewerVersionOnAThreadOfItsOwn) {
    const WebServer server(offer());
    start(server.address(), true);
    ASSERT_TRUE(becomes_true([&] { return !opened_pages().empty(); }, 20000));
    EXPECT_EQ(shown(), std::vector<Box>{offered(nullptr)});
    EXPECT_EQ(opened_pages(), std::vector<std::wstring>{PAGE});
    // The browser is opened with the main window as owner.
    const std::lock_guard lock(mutex);
    EXPECT_EQ(opened_by, window);
}

// A server that never answers keeps neither the window from showing nor from closing.
TEST_F(UpdateCheckTest, AServerThatNeverAnswersHoldsNothingUp) {
    const WebServer server("", false);
    start(server.address(), true);
    ASSERT_TRUE(becomes_true([&] { return server.requests().size() == 1; }, 20000));
    EXPECT_TRUE(IsWindowVisible(window));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    window = nullptr;
    EXPECT_TRUE(shown().empty());
}

}  // namespace
}  // namespace mendlet
