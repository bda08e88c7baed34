// The English texts, section by section, in index order. A language file's keys are these
// indexes; the control characters in four of them are written as \t, \r, \n in translations.

#include "lang/text_table.h"

namespace mendlet {

namespace {

const wchar_t* const controls_defaults[] = {
    L"Auto",
    L"Add &Files",
    L"Add Folder",
    L"&Remove",
    L"Remove All",
    L"&Browse",
    L"Append to first file in the list (advanced users only!)",
    L"Hash",
    L"Clear",
    L"When done:",
    L"Open output file",
    L"Open output folder",
    L"Delete parts",
    L"Exit",
};

const wchar_t* const about_defaults[] = {
    L"About %s",
    L"OK",
    L"Author:",
    L"The Mendlet team at Tessvane",
    L"Contact:",
    L"Translation:",
};

const wchar_t* const list_column_defaults[] = {
    L"Path",
    L"Size",
    L"Status",
};

const wchar_t* const list_status_cat_defaults[] = {
    L"ok",
    L"warning",
    L"error",
};

const wchar_t* const list_status_defaults[] = {
    L"ok",
    L"warning: unexpected ordinal number",
    L"warning: file size mismatch with first file",
    L"warning: last file size larger than previous files",
    L"error: file cannot be opened for writing!",
    L"error: file cannot be opened for reading!",
    L"error: checksum does not match!",
    L"ok: checksum matches",
};

const wchar_t* const list_tooltip_defaults[] = {
    L"List of input files",
    L"Path:\t %s\r\nSize:\t %s\r\nOrdinal:\t %d\r\nStatus:\t %s",
};

const wchar_t* const join_button_defaults[] = {
    L"&Stop",
    L"&Join",
};

const wchar_t* const settings_defaults[] = {
    L"Settings",
    L"Tests",
    L"Test for &missing parts on load",
    L"Test parts size &consistency on load",
    L"Test for missing parts",
    L"Test parts size consistency",
    L"File List",
    L"&Sort by using only last number in file path (faster)",
    L"&Remove all items from list after Join",
    L"Disable &auto load parts",
    L"Recurse sub-&folders",
    L"General",
    L"Remember &window position",
    L"Use Recycle Bin when &deleting parts",
    L"Default output path",
    L"Same as input folder",
    L"Custom path",
    L"Save",
    L"Cancel",
    L"Check for new version on start",
};

const wchar_t* const menu_defaults[] = {
    L"&Options",
    L"Always on &top\tCtrl + T",
    L"Associate with .001 files (not portable)",
    L"Disable &hash",
    L"&Remove all items from list after Join",
    L"&Settings",
    L"&Language",
    L"&Help",
    L"Online &Help",
    L"&Webpage",
    L"&About",
    L"Check for &new version",
};

const wchar_t* const menu_popup_defaults[] = {
    L"Open file &location", L"&Import list", L"&Export list", L"&Remove", L"Remove all", L"&Check parts",
};

const wchar_t* const messages_defaults[] = {
    L"Low memory?",
    L"Can't create thread :(",
    L"Join operation is in progress, do you really want to exit (not recommended)?",
    L"Ready",
    L"Joining...",
    L"Join operation is in progress!",
    L"Files joined successfully!",
    L"You have only one file in the list!",
    L"You did not select any files to move!",
    L"File list is empty, no files to join!",
    L"File cannot be opened!",
    L"The specified output file cannot be created!",
    L"File write failed! Disk space low?",
    L"Files added: %d",
    L"Files auto loaded: %d",
    L"Output file already exists. Do you wish to overwrite file?",
    L"Output file path is not specified!",
    L"Test Missing Parts",
    L"You seem to be missing %d part(s) with ordinal(s): %s.",
    L"You seem to be missing more than %d parts with ordinals: %s.",
    L"Test Parts Size",
    L"It seems that %d part(s) have different file size than first part, this could mean that those parts are "
    L"corrupted or do not belong in the same group. Ordinal(s) of part(s) with different size: %s.",
    L"It seems that last part doesn't have smaller file size which could be a sign that you are missing last part, "
    L"however this is not necessarily true.",
    L"\n\nAre you sure that you wish to continue join operation?",
    L"Custom path: \"%s\"",
    L"-output",
    L"The joined file is kept as \"%s\".",
    L"The unfinished file \"%s\" could not be deleted.",
    L"%s is missing, but later parts were found! Only the parts before it were loaded.",
    L"%s could not be cut back to its old size of %s bytes!",
    L"The old %s is kept; the joined file is %s.",
    L"The parts were not deleted: the join could not be verified.",
    L"%s is a folder: choose a file name for the joined file.",
    L"Files added: %d; %d other files left out.",
    L"%s is missing; %s can rebuild it.",
};

const wchar_t* const tooltips_defaults[] = {
    L"* ADVANCED USERS ONLY *\r\nAppends all files to first file in the list.\r\nGood for speed, bad if you make a "
    L"mistake with file ordering in list.",
    L"Move selected file(s) up in list",
    L"Move selected file(s) down in list",
    L"Path where your output file will be saved",
    L"Browse for location to save your output file",
    L"Join files in the list",
    L"Status",
    L"Add files to the list",
    L"Add all files from folder",
    L"Remove selected items from the list",
    L"Remove all items from the list",
    L"Sort items in the list",
    L"Toggle automatic sorting",
    L"CRC32 hash",
    L"Toggle calculation of CRC32 hash",
    L"MD5 hash",
    L"Toggle calculation of MD5 hash",
    L"Clear hash values",
    L"Delete all parts from hard drive when done (only on successful join)",
    L"Exit when done (only on successful join)",
    L"Open output file when done (only on successful join)",
    L"Open output folder when done (only on successful join)",
};

const wchar_t* const updater_defaults[] = {
    L"Mendlet %s (%s) is available. Would you like to open download page?",
    L"You already have the latest version.",
    L"Unable to check for new version.",
};

const wchar_t* const verify_defaults[] = {
    L"Files joined and verified with %s",
    L"%s does not match %s! The joined file is damaged.",
    L"%s does not match %s! Get this part again.",
    L"%s is listed in %s but not in the list! The join would be incomplete.",
    L"%s does not match %s! The first part is back as it was.",
    L"Files joined, but %s could not be read: nothing was verified.",
    L"Parts checked: all %d match %s",
    L"Parts checked: %d of %d do not match %s! Get them again.",
    L"Parts checked: all %d can be read; no checksum file lists them.",
    L"The parts together do not match %s! One of them is damaged.",
    L"Checking parts...",
    L"Parts checked: %d listed in %s match; %d are not listed.",
    L"Parts checked: %d of %d cannot be read!",
    L"The parts are not in the order of their numbers! The joined file is not what %s describes.",
    L"Parts checked: the part matches %s",
    L"Parts checked: %d of %d does not match %s! Get it again.",
    L"The part can be read; no checksum file lists it.",
    L"Parts checked: %d listed in %s matches; %d are not listed.",
    L"Parts checked: %d listed in %s match; %d is not listed.",
    L"Parts checked: %d listed in %s matches; %d is not listed.",
    L"Parts checked: %d of %d cannot be read!",
    L"Parts checked: %d of %d do not match %s!",
    L"Parts checked: %d of %d does not match %s!",
    L"%s does not match %s!",
    L"%d slices are damaged; it holds %d recovery slices.",
    L"%d slice is damaged; it holds %d recovery slices.",
    L"%d slices are damaged; it holds %d recovery slice.",
    L"%d slice is damaged; it holds %d recovery slice.",
    L"Files joined and repaired with %s: %d slices rebuilt.",
    L"Files joined and repaired with %s: %d slice rebuilt.",
    L"%d slices are damaged, but %s holds only %d recovery slices: get more of them or the parts again.",
    L"%d slices are damaged, but %s holds only %d recovery slice: get more of them or the parts again.",
};

}  // namespace

TextTable::TextTable()
    : controls(L"controls", controls_defaults),
      about(L"about", about_defaults),
      list_column(L"list_column", list_column_defaults),
      list_status_cat(L"list_status_cat", list_status_cat_defaults),
      list_status(L"list_status", list_status_defaults),
      list_tooltip(L"list_tooltip", list_tooltip_defaults),
      join_button(L"join_button", join_button_defaults),
      settings(L"settings", settings_defaults),
      menu(L"menu", menu_defaults),
      menu_popup(L"menu_popup", menu_popup_defaults),
      messages(L"messages", messages_defaults),
      tooltips(L"tooltips", tooltips_defaults),
      updater(L"updater", updater_defaults),
      verify(L"verify", verify_defaults) {}

}  // namespace mendlet
