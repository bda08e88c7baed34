#pragma once
// The join's file operations on Windows files.

#include "join/join_files.h"

namespace mendlet {

class Win32JoinFiles : public JoinFiles {
public:
    std::unique_ptr<JoinFile> open_part(const std::wstring& path) override;
    std::unique_ptr<JoinFile> open_for_append(const std::wstring& path) override;
    std::unique_ptr<JoinFile> create_output(const std::wstring& path) override;
    bool rename_output(const std::wstring& path, const std::wstring& output_path, bool replace) override;
    std::vector<ChecksumFile> checksum_files(const std::wstring& folder, const std::vector<std::wstring>& output_names,
                                             const std::vector<std::wstring>& part_names,
                                             const std::function<bool()>& stopped) override;
    RecoveryFiles recovery_files(const std::wstring& folder, const std::vector<std::wstring>& subject_names) override;
    std::unique_ptr<RecoveryFolder> recovery_folder(const std::wstring& folder) override;
    ExistingOutput existing(const std::wstring& path) override;
    std::uint32_t highest_part_number(const std::wstring& first_part) override;
    std::optional<FileIdentity> identity(const std::wstring& path) override;
    bool delete_files(const std::vector<std::wstring>& paths, bool use_recycle_bin) override;
};

}  // namespace mendlet
