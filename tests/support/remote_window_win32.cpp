#include "support/remote_window_win32.h"

#include <commctrl.h>

#include "support/dropped_files_win32.h"

namespace mendlet::test_support {

namespace {

// Memory in the process of a window, freed again with the object unless handed over.
class LentMemory {
public:
    LentMemory(HWND window, std::size_t size) {
        DWORD process_id = 0;
        GetWindowThreadProcessId(window, &process_id);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
        if (process_ != nullptr) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~LentMemory() {
        if (address_ != nullptr && !handed_over_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    LentMemory(const LentMemory&) = delete;
    LentMemory& operator=(const LentMemory&) = delete;

    char* address() const { return static_cast<char*>(address_); }
    bool write(std::size_t offset, const void* bytes, std::size_t size) const {
        return address_ != nullptr && WriteProcessMemory(process_, address() + offset, bytes, size, nullptr);
    }
    bool read(std::size_t offset, void* bytes, std::size_t size) const {
        return address_ != nullptr && ReadProcessMemory(process_, address() + offset, bytes, size, nullptr);
    }
    void hand_over() { handed_over_ = true; }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    bool handed_over_ = false;
};

struct OwnedSearch {
    HWND owner;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK find_owned_window(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedSearch*>(context);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) && text_of(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

// Asked of the window itself: GetWindowText gives only the caption kept by the system for a
// window of another process, never an edit box's text.
std::wstring text_of(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::wstring list_cell(HWND list, int row, int column) {
    constexpr int units = 1024;
    LentMemory memory(list, sizeof(LVITEMW) + units * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(memory.address() + sizeof(LVITEMW));
    item.cchTextMax = units;
    if (!memory.write(0, &item, sizeof(item))) return {};
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(memory.address()));
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    if (!memory.read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t))) return {};
    return text;
}

HWND owned_window(HWND owner, const std::wstring& caption) {
    OwnedSearch search{owner, &caption, nullptr};
    EnumWindows(find_owned_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring message_box_text(HWND box) { return text_of(GetDlgItem(box, 0xFFFF)); }

bool drop_files(HWND window, const std::vector<std::wstring>& paths, POINT point) {
    const std::vector<char> drop = dropped_files(paths, point);
    LentMemory memory(window, drop.size());
    if (!memory.write(0, drop.data(), drop.size())) return false;
    // The drop is the window's now, as the shell's would be.
    memory.hand_over();
    return PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory.address()), 0);
}

}  // namespace mendlet::test_support
