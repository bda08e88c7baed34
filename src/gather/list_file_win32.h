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

// Writes every path of the list in UTF-8, each ended by CR LF, in place of the file. A list
// that cannot be written whole, or cannot take the file's place, leaves the file as it was.
ListWriteEnd export_list_file(const std::wstring& path, const PartList& list);

}  // namespace mendlet
