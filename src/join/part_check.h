#pragma once
// Checking the parts: every part in the list read once, in list order, against the checksum
// files beside them, and nothing written. Each part that a file lists is marked as matching
// or not, so that a set with several damaged parts names all of them at once.

namespace mendlet {

struct JoinContext;

void run_check(JoinContext& job);

}  // namespace mendlet
