#include "scenarios/scenario_win32.h"

#include <commctrl.h>
#include <wincrypt.h>

#include <cstdio>

#include "res/resource.h"
#include "support/remote_window_win32.h"
#include "support/test_data.h"

namespace mendlet::test_support {

namespace {

std::wstring hex(const unsigned char* bytes, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        wchar_t digits[3];
        std::swprintf(digits, 3, L"%02x", bytes[i]);
        text += digits;
    }
    return text;
}

}  // namespace

std::wstring control_text(HWND window, int control) { return text_of(GetDlgItem(window, control)); }

int row_count(HWND window) {
    return static_cast<int>(SendDlgItemMessageW(window, IDC_PART_LIST, LVM_GETITEMCOUNT, 0, 0));
}

bool checked(HWND window, int control) {
    return SendDlgItemMessageW(window, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void click(HWND window, int control) { PostMessageW(GetDlgItem(window, control), BM_CLICK, 0, 0); }

void choose_menu(HWND window, int command) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

bool set_check(HWND window, int control, bool ticked) {
    if (checked(window, control) != ticked) SendDlgItemMessageW(window, control, BM_CLICK, 0, 0);
    return checked(window, control) == ticked;
}

bool ask_for_both_digests(HWND window) {
    choose_menu(window, IDM_DISABLE_HASH);
    return becomes_true([&] { return IsWindowVisible(GetDlgItem(window, IDC_MD5_CHECK)) != FALSE; }, SCENARIO_WAIT_MS) &&
           set_check(window, IDC_CRC32_CHECK, true) && set_check(window, IDC_MD5_CHECK, true);
}

bool text_becomes(HWND window, int control, std::wstring_view text) {
    return becomes_true([&] { return control_text(window, control) == text; }, SCENARIO_WAIT_MS);
}

bool rows_become(HWND window, int rows) {
    return becomes_true([&] { return row_count(window) == rows; }, SCENARIO_WAIT_MS);
}

HWND wait_for_owned(HWND window, const std::wstring& caption) {
    HWND found = nullptr;
    becomes_true([&] { return (found = owned_window(window, caption)) != nullptr; }, SCENARIO_WAIT_MS);
    return found;
}

bool answer(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return becomes_true([&] { return !IsWindow(box); }, SCENARIO_WAIT_MS);
}

std::wstring reference_crc32(std::string_view bytes) {
    using Crc32 = DWORD(WINAPI*)(DWORD, const BYTE*, INT);
    const auto compute =
        reinterpret_cast<Crc32>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlComputeCrc32")));
    if (compute == nullptr) return L"no RtlComputeCrc32";
    DWORD value = 0;
    for (std::size_t done = 0; done < bytes.size();) {
        const auto piece = static_cast<INT>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        value = compute(value, reinterpret_cast<const BYTE*>(bytes.data() + done), piece);
        done += static_cast<std::size_t>(piece);
    }
    const unsigned char big_endian[4] = {static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                                         static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    return hex(big_endian, 4);
}

std::wstring reference_hash(std::string_view bytes, ALG_ID algorithm) {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    unsigned char digest[64] = {};
    DWORD size = sizeof(digest);
    // The AES provider knows the SHA-2 hashes besides MD5 and SHA-1.
    bool done = CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) &&
                CryptCreateHash(provider, algorithm, 0, 0, &hash);
    for (std::size_t offset = 0; done && offset < bytes.size();) {
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1u << 30));
        done = CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data() + offset), piece, 0);
        offset += piece;
    }
    done = done && CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0);
    if (hash != 0) CryptDestroyHash(hash);
    if (provider != 0) CryptReleaseContext(provider, 0);
    return done ? hex(digest, size) : L"no hash";
}

std::wstring reference_md5(std::string_view bytes) { return reference_hash(bytes, CALG_MD5); }

std::string random_text(std::size_t size, std::uint64_t seed) {
    const auto bytes = random_bytes(size, seed);
    return std::string(bytes.begin(), bytes.end());
}

std::wstring quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

}  // namespace mendlet::test_support
