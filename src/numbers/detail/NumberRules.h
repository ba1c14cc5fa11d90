// Small rules of the numeric types that several of them apply.
#pragma once

#include "OtxEncoding.h"

namespace kesmar::detail {

// The display precision of a float that shows every significant digit; the precision of
// every float that a conversion or a calculation makes.
inline constexpr int kFullPrecision = 16;

inline bool IsBcd(OTX::Encoding encoding) {
  return encoding == OTX::PackedBinaryCodedDecimal || encoding == OTX::UnpackedBinaryCodedDecimal;
}

// BCD digits are 4 bits (two per byte) or 8 bits (one per byte), so a digit never straddles
// a byte boundary.
inline int BcdDigitWidth(OTX::Encoding encoding) {
  return encoding == OTX::PackedBinaryCodedDecimal ? 4 : 8;
}

}  // namespace kesmar::detail
