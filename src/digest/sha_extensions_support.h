#pragma once
// Whether the processor has the SHA extensions, and the SSSE3 and SSE4.1 that the SHA-1 and
// SHA-256 compressions order their words with: one answer for both.

namespace mendlet {

// False on processors other than x86-64.
bool processor_has_sha_extensions();

}  // namespace mendlet
