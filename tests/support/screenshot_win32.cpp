#include "support/screenshot_win32.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "support/program_win32.h"

namespace mendlet::test_support {

namespace {

struct Covered {
    HWND owner;
    RECT area;
};

// Grows the area by every visible window the owner owns, so that a box over the window is
// in the picture even where it overhangs.
BOOL CALLBACK add_owned_window(HWND window, LPARAM context) {
    auto* covered = reinterpret_cast<Covered*>(context);
    RECT rect;
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == covered->owner && GetWindowRect(window, &rect))
        UnionRect(&covered->area, &covered->area, &rect);
    return TRUE;
}

std::wstring artifacts_folder(const std::wstring& name) {
    std::wstring folder = built_program_path();
    folder.erase(folder.find_last_of(L'\\'));
    for (const std::wstring& step : {std::wstring(L"artifacts"), name}) {
        folder += L"\\" + step;
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    return folder;
}

bool write_bitmap(const std::wstring& path, HDC screen, HBITMAP picture, LONG width, LONG height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD row_bytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(static_cast<std::size_t>(row_bytes) * height);
    if (!GetDIBits(screen, picture, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace

std::vector<COLORREF> painted(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    const HDC screen = GetDC(control);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(control, screen);
    return pixels;
}

bool save_screenshot(HWND window, const std::wstring& name, const std::wstring& folder) {
    // Controls just shown or re-laid out may not have painted yet.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Without a window manager nothing draws the caption or the frame: the picture is the
    // menu and the client area.
    WINDOWINFO shown{};
    shown.cbSize = sizeof(shown);
    if (!GetWindowInfo(window, &shown)) return false;
    Covered covered{window, shown.rcClient};
    if (GetMenu(window) != nullptr) covered.area.top -= GetSystemMetrics(SM_CYMENU);
    EnumWindows(add_owned_window, reinterpret_cast<LPARAM>(&covered));
    const LONG width = covered.area.right - covered.area.left;
    const LONG height = covered.area.bottom - covered.area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, picture);
    bool saved = BitBlt(memory, 0, 0, width, height, screen, covered.area.left, covered.area.top, SRCCOPY);
    SelectObject(memory, previous);
    saved = saved && write_bitmap(artifacts_folder(folder) + L"\\" + name + L".bmp", screen, picture, width, height);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace mendlet::test_support
