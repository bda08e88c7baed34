#pragma once
// Digests that the checksum file tests list, in lower-case hex: those of "a", "b" and "c".

#include <string>

namespace mendlet::test_support {

inline const std::string CRC_A = "e8b7be43";
inline const std::string CRC_B = "71beeff9";
inline const std::string CRC_C = "06b9df6f";
inline const std::string MD5_A = "0cc175b9c0f1b6a831c399e269772661";
inline const std::string MD5_B = "92eb5ffee6ae2fec3ad71c777531578f";
inline const std::string MD5_C = "4a8a08f09d37b73795649038408b5f33";
inline const std::string SHA1_A = "86f7e437faa5a7fce15d1ddcb9eaeaea377667b8";
inline const std::string SHA256_A = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb";
inline const std::string SHA512_A =
    "1f40fc92da241694750979ee6cf582f2d5d7d28e18335de05abc54d0560e0f5302860c652bf08d560252aa5e74210546f369fbbbce8c12cfc7957b2"
    "652fe9a75";
inline const std::string BLAKE2B_A =
    "333fcb4ee1aa7c115355ec66ceac917c8bfd815bf7587d325aec1864edd24e34"
    "d5abe2c6b1b5ee3face62fed78dbef802f2a85cb91d455a8f5249d330853cb3c";

}  // namespace mendlet::test_support
