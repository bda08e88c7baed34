#pragma once
// A symbolic link that a test makes, removed when the test ends. Under Wine, whose
// CreateSymbolicLinkW reports success and makes nothing, it is a Linux symbolic link made
// with ln; on Windows the system makes it, which takes developer mode or the right to.

#include <string>

namespace mendlet::test_support {

class SymbolicLink {
public:
    // target as the link holds it: relative to the folder the link is in.
    SymbolicLink(const std::wstring& path, const std::wstring& target, bool to_folder);
    ~SymbolicLink();
    SymbolicLink(const SymbolicLink&) = delete;
    SymbolicLink& operator=(const SymbolicLink&) = delete;

    // False when the system would not make it.
    bool made() const { return made_; }

private:
    std::wstring path_;
    // Empty outside Wine.
    std::wstring linux_path_;
    bool to_folder_;
    bool made_ = false;
};

}  // namespace mendlet::test_support
