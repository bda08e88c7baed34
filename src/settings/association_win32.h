#pragma once
// The association of ".001" files with the program, in the registry's classes root: the
// one piece of state kept outside the program's folder.

#include <string>

namespace mendlet {

inline constexpr wchar_t ASSOCIATION_EXTENSION[] = L".001";
inline constexpr wchar_t ASSOCIATION_PROG_ID[] = L"Tessvane.Mendlet.001";
inline constexpr wchar_t ASSOCIATION_DESCRIPTION[] = L"First part of a larger file";
// Shown as it stands, in every language.
inline constexpr wchar_t ASSOCIATION_ERROR[] =
    L"Error managing .001 file association! Please try running as administrator.";

// ".001" names the program's type and the type exists; what the type opens with is not
// looked at, so a copy of the program elsewhere counts too.
bool association_present();

enum class AssociationChange {
    done,
    // ".001" could not be written, as without administrator rights: nothing changed.
    refused,
    // A later step failed; what was written so far stays.
    incomplete,
};

AssociationChange add_association(const std::wstring& program_path);

// False when the type itself could not be deleted (gone already, no rights, or holding
// keys of others).
bool remove_association();

}  // namespace mendlet
