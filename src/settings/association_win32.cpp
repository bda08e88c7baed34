#include "settings/association_win32.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace mendlet {

namespace {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool open(HKEY parent, const wchar_t* name, REGSAM rights) {
        return RegOpenKeyExW(parent, name, 0, rights, &key_) == ERROR_SUCCESS;
    }
    bool create(HKEY parent, const wchar_t* name) {
        return RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key_,
                               nullptr) == ERROR_SUCCESS;
    }
    // The key's default value, with its terminating NUL.
    bool set_default(DWORD type, const std::wstring& value) const {
        return RegSetValueExW(key_, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool write_default(HKEY parent, const wchar_t* name, DWORD type, const std::wstring& value) {
    RegistryKey key;
    return key.create(parent, name) && key.set_default(type, value);
}

}  // namespace

bool association_present() {
    RegistryKey type;
    if (!type.open(HKEY_CLASSES_ROOT, ASSOCIATION_PROG_ID, KEY_QUERY_VALUE)) return false;
    RegistryKey extension;
    if (!extension.open(HKEY_CLASSES_ROOT, ASSOCIATION_EXTENSION, KEY_QUERY_VALUE)) return false;
    // Room for the name and its NUL only: a longer value does not fit and does not count.
    wchar_t value[std::size(ASSOCIATION_PROG_ID)] = {};
    DWORD size = sizeof(value);
    if (RegQueryValueExW(extension.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return false;
    return size == sizeof(value) && std::equal(std::begin(value), std::end(value), std::begin(ASSOCIATION_PROG_ID));
}

AssociationChange add_association(const std::wstring& program_path) {
    const std::wstring quoted = L"\"" + program_path + L"\"";
    {
        RegistryKey extension;
        if (!extension.create(HKEY_CLASSES_ROOT, ASSOCIATION_EXTENSION)) return AssociationChange::refused;
        if (!extension.set_default(REG_SZ, ASSOCIATION_PROG_ID)) return AssociationChange::incomplete;
    }
    RegistryKey type;
    const bool written = type.create(HKEY_CLASSES_ROOT, ASSOCIATION_PROG_ID) &&
                         type.set_default(REG_SZ, ASSOCIATION_DESCRIPTION) &&
                         write_default(type.get(), L"DefaultIcon", REG_SZ, quoted + L",0") &&
                         // The opened file comes as one quoted argument.
                         write_default(type.get(), L"shell\\open\\command", REG_EXPAND_SZ, quoted + L" \"%1\"");
    return written ? AssociationChange::done : AssociationChange::incomplete;
}

bool remove_association() {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, ASSOCIATION_EXTENSION);
    {
        // Keys with sub-keys cannot be deleted: the tree goes from the leaves up.
        constexpr REGSAM RIGHTS = DELETE | KEY_ENUMERATE_SUB_KEYS;
        RegistryKey type;
        if (type.open(HKEY_CLASSES_ROOT, ASSOCIATION_PROG_ID, RIGHTS)) {
            RegDeleteKeyW(type.get(), L"DefaultIcon");
            RegistryKey shell;
            if (shell.open(type.get(), L"shell", RIGHTS)) {
                RegistryKey open;
                if (open.open(shell.get(), L"open", RIGHTS)) {
                    RegDeleteKeyW(open.get(), L"command");
                    RegDeleteKeyW(shell.get(), L"open");
                }
                RegDeleteKeyW(type.get(), L"shell");
            }
        }
    }
    return RegDeleteKeyW(HKEY_CLASSES_ROOT, ASSOCIATION_PROG_ID) == ERROR_SUCCESS;
}

}  // namespace mendlet
