#pragma once
// Digests that the checksum file tests list, in lower-case hex: those of "a" and "b".

#include <string>

namespace mendlet::test_support {

inline const std::string CRC_A = "e8b7be43";
inline const std::string CRC_B = "71beeff9";
inline const std::string MD5_A = "0cc175b9c0f1b6a831c399e269772661";
inline const std::string MD5_B = "92eb5ffee6ae2fec3ad71c777531578f";
inline const std::string SHA256_A = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9803efb7b6d14b8";

}  // namespace mendlet::test_support
