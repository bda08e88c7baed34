// SHA-512's compression compiled for processors with AVX-512 (F and VL) besides AVX2 and
// BMI2, whose rotation of vectors takes one instruction: the compiler may use them in this
// file only, and the processor is asked before this is used.

#include "digest/sha512_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include "digest/processor_features.h"
#include "digest/sha512_rounds.h"

namespace mendlet {

Sha512Compressor sha512_avx512_compressor() {
    static const bool available = processor_has_avx512();
    return available ? compress_blocks : nullptr;
}

}  // namespace mendlet

#else

namespace mendlet {

Sha512Compressor sha512_avx512_compressor() { return nullptr; }

}  // namespace mendlet

#endif
