#pragma once
// Reading and writing list files on disk.

#include <windows.h>

#include <string>

#include "gather/list_file.h"

namespace mendlet {

class PartAdder;
class PartList;

// Adds every path of an open list file, converted from UTF-8; how the reading ended.
ListReadEnd import_list_file(HANDLE file, PartAdder& adder);

enum class ListWriteEnd { written, cannot_create, write_failed };

// Writes every path of the list in UTF-8, each ended by CR LF, replacing the file. A file
// that could not be written whole is removed again.
ListWriteEnd export_list_file(const std::wstring& path, const PartList& list);

}  // namespace mendlet
