// Integers written into byte fields (sign and magnitude, ones' and two's complement,
// unsigned, packed and unpacked BCD), BCD validation, and the mask operations that cut byte
// fields apart and put them together again.
#include "COtxByteField.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/detail/Errors.h"
#include "numbers/detail/NumberRules.h"

using kesmar::detail::BcdDigitWidth;
using kesmar::detail::IsBcd;
using kesmar::detail::ThrowOutOfBounds;

namespace {

using ByteVector = std::vector<unsigned char>;

constexpr const char* kBitLengthOutOfRange = "Bit length out of range";

// Writes the low `width` bits of pattern into out, least significant byte first. Bits from
// 64 upward are all `fill` (0x00 or 0xFF), which zero- or sign-extends the pattern into
// fields wider than 64 bits. REQUIRES: out holds at least ceil(width / 8) bytes.
void WriteLowBits(ByteVector& out, unsigned long long pattern, unsigned char fill, int width) {
  // A signed field of 0 bits has -1 data bits: nothing to write.
  if (width <= 0) return;
  const int count = COtxByteField::NumberOfBytesForBits(width, 0);
  for (int k = 0; k < count; ++k) {
    unsigned char byte = k < 8 ? static_cast<unsigned char>(pattern >> (8 * k)) : fill;
    const int bitsHere = width - 8 * k;
    if (bitsHere < 8) byte &= static_cast<unsigned char>((1U << bitsHere) - 1);
    out[static_cast<std::size_t>(k)] = byte;
  }
}

// Shifts bytes left by shift bits as one big-endian number (byte 0 most significant); bits
// leaving byte 0 are lost. REQUIRES: 0 < shift < 8.
void ShiftLeftBigEndian(ByteVector& bytes, int shift) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) bytes[i - 1] |= static_cast<unsigned char>(bytes[i] >> (8 - shift));
    bytes[i] = static_cast<unsigned char>(bytes[i] << shift);
  }
}

// Replaces the bytes of field by result. The field may be the vector result was read from,
// so callers finish reading before they call this.
void ReplaceBytes(OTX::IByteField& field, ByteVector&& result) {
  static_cast<ByteVector&>(field) = std::move(result);
}

}  // namespace

COtxByteFieldBehaviour::COtxByteFieldBehaviour(const long long& value, const int& bitLength,
                                               const OTX::Encoding& encoding,
                                               OTX::Endianness endianness)
    : COtxComparableBehaviour(OTX::BYTEFIELD) {
  if (bitLength < 0) ThrowOutOfBounds(kBitLengthOutOfRange);
  if (IsBcd(encoding)) {
    EncodeAsBCD(BcdDigitWidth(encoding), value, bitLength, *this);
    return;
  }

  // Work on the 64-bit pattern in unsigned arithmetic: the magnitude of the minimum value,
  // 2^63, has no signed 64-bit form, and its negation would overflow.
  const bool negative = value < 0;
  const auto pattern = static_cast<unsigned long long>(value);
  const bool isUnsigned = encoding == OTX::Unsigned;
  unsigned long long bits = isUnsigned || !negative ? pattern : 0ULL - pattern;
  if (!doesIntegerFitInBitLength(static_cast<long long>(bits), bitLength, encoding, negative)) {
    ThrowOutOfBounds("Value " + std::to_string(value) + " does not fit in " +
                     std::to_string(bitLength) + " bits");
  }

  // The complements of a negative value continue with one bits beyond bit 63; everything
  // else (a magnitude, or an unsigned value, which cannot be negative above 64 bits)
  // continues with zero bits.
  unsigned char fill = 0x00;
  if (negative && encoding == OTX::TwosComplement) {
    bits = pattern;
    fill = 0xFF;
  } else if (negative && encoding == OTX::OnesComplement) {
    bits = ~bits;
    fill = 0xFF;
  }

  // Every encoding but Unsigned keeps its top bit for the sign.
  assign(static_cast<std::size_t>(COtxByteField::NumberOfBytesForBits(bitLength, 0)), 0);
  WriteLowBits(*this, bits, fill, isUnsigned ? bitLength : bitLength - 1);
  if (negative && !isUnsigned) {
    const int signBit = bitLength - 1;
    (*this)[static_cast<std::size_t>(signBit / 8)] |=
        static_cast<unsigned char>(1U << (signBit % 8));
  }
  if (endianness == OTX::BigEndian) std::reverse(begin(), end());
}

void COtxByteFieldBehaviour::EncodeAsBCD(int width, const long long& value, const int& bitLength,
                                         ByteVector& out) const {
  if (value < 0) ThrowOutOfBounds("Can't BCD encode a negative value");
  if (bitLength % width != 0) ThrowOutOfBounds("Invalid BCD bit length");
  const std::string digits = std::to_string(value);
  const int digitCount = static_cast<int>(digits.size());
  if (bitLength / width < digitCount) {
    ThrowOutOfBounds("Bit length not big enough for BCD value");
  }

  // Bit positions count from the most significant bit of byte 0; the digits end exactly at
  // bitLength, so any leading positions are zero digits.
  out.assign(static_cast<std::size_t>(COtxByteField::NumberOfBytesForBits(bitLength, 0)), 0);
  int position = bitLength - width * digitCount;
  for (const char digit : digits) {
    const int shift = 8 - position % 8 - width;
    out[static_cast<std::size_t>(position / 8)] |=
        static_cast<unsigned char>((digit - '0') << shift);
    position += width;
  }
}

bool COtxByteFieldBehaviour::doesIntegerFitInBitLength(const long long& magnitude,
                                                       const int& bitLength,
                                                       const OTX::Encoding& encoding,
                                                       const bool& negative) const {
  // The magnitude is read as unsigned, so that 2^63 (the minimum value's) is large, not
  // negative.
  auto x = static_cast<unsigned long long>(magnitude);
  // Without bits only 0 fits; in particular there is no room for a sign bit.
  if (bitLength == 0) return x == 0;
  if (encoding == OTX::Unsigned) {
    // A negative value is written as its two's-complement pattern at exactly 64 bits;
    // wider unsigned fields cannot hold it.
    if (negative) return bitLength == 64;
    return bitLength >= 64 || (x >> bitLength) == 0;
  }
  const int dataBits = bitLength - 1;
  // Two's complement reaches one further below zero: -2^n fits in n data bits.
  if (encoding == OTX::TwosComplement && negative) x -= 1;
  return dataBits >= 64 || (x >> dataBits) == 0;
}

void COtxByteFieldBehaviour::ValidateBCD(int width, const unsigned char* data, int length) const {
  const unsigned mask = width == 4 ? 0x0FU : 0xFFU;
  const long long bitCount = 8LL * std::max(length, 0);
  for (long long position = 0; position < bitCount; position += width) {
    const auto shift = static_cast<int>(8 - position % 8 - width);
    if (((data[position / 8] >> shift) & mask) > 9) ThrowOutOfBounds();
  }
}

int COtxByteField::CreateBitMask(int width, int offset, ByteVector& out) {
  if (width < 0) ThrowOutOfBounds("Bit mask width out of range");
  if (offset < 0) ThrowOutOfBounds("Bit mask offset out of range");
  if (width > 64 - offset) throw std::runtime_error("Bitmask > 64 bits unsupported");

  const int count = NumberOfBytesForBits(width, offset);
  // Width 0 leaves the mask empty; this also avoids shifting by 64 for offset 64.
  unsigned long long mask = width == 0 ? 0 : (~0ULL >> (64 - width)) << offset;
  out.assign(static_cast<std::size_t>(count), 0);
  for (auto byte = out.rbegin(); byte != out.rend(); ++byte) {
    *byte = static_cast<unsigned char>(mask);
    mask >>= 8;
  }
  return count;
}

int COtxByteField::MergeByteField(ByteVector& target, const ByteVector& source, int position,
                                  int shift, int bitLength) {
  if (bitLength < 0) ThrowOutOfBounds(kBitLengthOutOfRange);
  if (bitLength == 0) return static_cast<int>(target.size() * 8);
  if (shift < 0 || shift > 7) ThrowOutOfBounds("Bit shift out of range");
  if (position < -1) ThrowOutOfBounds("Byte position out of range");
  const auto span = static_cast<std::size_t>(NumberOfBytesForBits(bitLength, shift));
  if (source.size() > span) ThrowOutOfBounds("Source too long for the bit length");

  // Work on a copy: the source may be the target itself, which is about to grow.
  ByteVector bits(source);
  if (shift != 0) {
    // Right-align the run in span bytes, so the shift has room to move it left.
    bits.insert(bits.begin(), span - bits.size(), 0);
    ShiftLeftBigEndian(bits, shift);
  }
  const std::size_t start = position == -1 ? target.size() : static_cast<std::size_t>(position);
  // The length in bits that is returned must fit an int.
  constexpr auto kMaxBytes = static_cast<std::size_t>(std::numeric_limits<int>::max() / 8);
  if (start > kMaxBytes || span > kMaxBytes - start) {
    ThrowOutOfBounds("Merged byte field too long");
  }
  if (target.size() < start + span) target.resize(start + span, 0);
  for (std::size_t i = 0; i < bits.size(); ++i) target[start + i] |= bits[i];
  return static_cast<int>(target.size() * 8);
}

int COtxByteField::NumberOfBytesForBits(int bits, int offset) {
  // Summed in 64 bits so that large arguments cannot overflow.
  const long long total = static_cast<long long>(bits) + offset;
  return static_cast<int>(total / 8 + (total % 8 != 0 ? 1 : 0));
}

int COtxByteFieldBehaviour::MergeByteField(const ByteVector& source, int position, int shift,
                                           int bitLength) {
  return COtxByteField::MergeByteField(*this, source, position, shift, bitLength);
}

void COtxByteFieldBehaviour::Condense(const CKesmar& mask) {
  // The mask may be this very field; the result is built aside and replaces the bytes only
  // after the last read.
  const ByteVector& maskBytes = mask.ByteField();
  if (maskBytes.size() != size()) {
    ThrowOutOfBounds("Mask must be the same length as byte field for condensing");
  }
  ByteVector result;
  for (std::size_t i = 0; i < size(); ++i) {
    if (maskBytes[i] != 0) result.push_back(static_cast<unsigned char>((*this)[i] & maskBytes[i]));
  }
  ReplaceBytes(*this, std::move(result));
}

void COtxByteFieldBehaviour::Expand(const CKesmar& mask, int keep) {
  if (keep < 0 || static_cast<std::size_t>(keep) > size()) {
    ThrowOutOfBounds("Keep count out of range");
  }
  // As in Condense, the mask may be this very field; nothing changes until the end.
  const ByteVector& maskBytes = mask.ByteField();
  ByteVector result(begin(), begin() + keep);
  result.reserve(result.size() + maskBytes.size());
  auto next = begin() + keep;
  for (const unsigned char maskByte : maskBytes) {
    if (maskByte == 0) {
      result.push_back(0);
      continue;
    }
    if (next == end()) ThrowOutOfBounds("Source must contain enough bytes to expand");
    result.push_back(static_cast<unsigned char>(*next++ & maskByte));
  }
  ReplaceBytes(*this, std::move(result));
}
