#pragma once
// What the processor offers beyond the x86-64 baseline that the digests and the repair can
// use, asked of the processor itself. All false on processors other than x86-64.

namespace mendlet {

// Carry-less multiplication of 64-bit halves (PCLMULQDQ), as the CRC-32 folds with.
bool processor_has_clmul();
// The same on 256-bit registers (VPCLMULQDQ with AVX2), where the system also keeps those
// registers across thread switches.
bool processor_has_wide_clmul();
// AVX2 and BMI2 (with BMI1, which comes with them), where the system also keeps the
// 256-bit registers across thread switches.
bool processor_has_avx2_and_bmi2();
// All that, and AVX-512 Foundation with its 128- and 256-bit forms (VL), where the system
// also keeps the mask and 512-bit registers.
bool processor_has_avx512();
// That, with AVX-512's byte and word instructions (BW) and the Galois field instructions
// (GFNI) on its registers.
bool processor_has_avx512_gfni();
// SSSE3, whose byte shuffle looks up 16 bytes at a time.
bool processor_has_ssse3();
// SSE4.1, with the SSSE3 that came before it.
bool processor_has_sse41();
// The SHA extensions, with the SSSE3 and SSE4.1 that the SHA-1 and SHA-256 compressions
// order their words with.
bool processor_has_sha_extensions();

}  // namespace mendlet
