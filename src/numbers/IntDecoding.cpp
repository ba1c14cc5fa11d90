// Integers decoded from a run of bits of a byte field: sign and magnitude, ones' and two's
// complement, unsigned, packed and unpacked BCD.
#include "COtxInt.h"

#include <limits>
#include <memory>

#include "core/detail/Allocation.h"
#include "core/detail/Errors.h"
#include "numbers/detail/NumberRules.h"

using kesmar::detail::ThrowOutOfBounds;

namespace {

constexpr const char* kBitLengthOutOfRange = "Bit length out of range";

// Bits (bitLength - 1) and up. ORed into an n-bit value whose top bit is set it gives the
// value sign-extended to 64 bits; its complement keeps the n - 1 bits below the sign.
// REQUIRES: 1 <= bitLength <= 64, so the shift stays below 64.
unsigned long long SignAndAbove(int bitLength) { return ~((1ULL << (bitLength - 1)) - 1); }

}  // namespace

COtxInt::COtxInt(const std::vector<unsigned char>& bytes, int bitLength, OTX::Encoding encoding,
                 OTX::Endianness endianness, Radix radix)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxIntBehaviour>(bytes, bitLength, encoding,
                                                              endianness, radix)) {}

COtxIntBehaviour::COtxIntBehaviour(const std::vector<unsigned char>& bytes, int bitLength,
                                   OTX::Encoding encoding, OTX::Endianness endianness,
                                   COtxInt::Radix radix)
    : COtxArithmeticBehaviour(OTX::INTEGER), m_radix(radix), m_value(0) {
  const bool bcd = kesmar::detail::IsBcd(encoding);
  if (bitLength < 0) ThrowOutOfBounds(kBitLengthOutOfRange);
  // BCD may be longer than 64 bits (leading zero digits); its overflow check bounds it.
  if (bitLength > 64 && !bcd) ThrowOutOfBounds();

  const bool littleEndian = endianness == OTX::LittleEndian;
  switch (encoding) {
    case OTX::SignedBinary:
      m_value = GetSignedBinaryValueFromByteField(bytes, bitLength, littleEndian);
      break;
    case OTX::OnesComplement:
      m_value = GetOnesComplementValueFromByteField(bytes, bitLength, littleEndian);
      break;
    case OTX::TwosComplement:
      m_value = GetTwosComplementValueFromByteField(bytes, bitLength, littleEndian);
      break;
    case OTX::Unsigned:
      m_value = GetUnsignedValueFromByteField(bytes, bitLength, littleEndian, true);
      break;
    case OTX::PackedBinaryCodedDecimal:
      m_value = GetPackedBinaryCodedDecimalValueFromByteField(bytes, bitLength);
      break;
    case OTX::UnpackedBinaryCodedDecimal:
      m_value = GetUnpackedBinaryCodedDecimalValueFromByteField(bytes, bitLength);
      break;
    default:
      break;  // NoEncoding and unknown numbers decode nothing; the value stays 0.
  }
}

long long COtxIntBehaviour::GetUnsignedValueFromByteField(const std::vector<unsigned char>& bytes,
                                                          const int& bitLength,
                                                          const bool& littleEndian,
                                                          const bool& checkUnsigned) const {
  if (bitLength < 0 || bitLength > 64) ThrowOutOfBounds(kBitLengthOutOfRange);
  if (bytes.empty()) ThrowOutOfBounds("Some bytes must be specified");
  if (bytes.size() < static_cast<std::size_t>((bitLength + 7) / 8)) {
    ThrowOutOfBounds("Not enough bytes specified");
  }

  // Every byte goes in, most significant first; bytes beyond the low 64 bits fall off the
  // top, so the run read is the least significant end of the field.
  unsigned long long bits = 0;
  const auto push = [&bits](unsigned char byte) { bits = (bits << 8) | byte; };
  if (littleEndian) {
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) push(*byte);
  } else {
    for (const unsigned char byte : bytes) push(byte);
  }

  // A 64-bit unsigned number with its top bit set has no signed 64-bit value. The top bit
  // is taken from the decoded run itself, so that bytes in front of it cannot hide it.
  if (checkUnsigned && bitLength == 64 && (bits >> 63) != 0) ThrowOutOfBounds();
  if (bitLength < 64) bits &= (1ULL << bitLength) - 1;
  return static_cast<long long>(bits);
}

long long COtxIntBehaviour::GetSignedBinaryValueFromByteField(
    const std::vector<unsigned char>& bytes, const int& bitLength, const bool& littleEndian) const {
  const long long raw = GetUnsignedValueFromByteField(bytes, bitLength, littleEndian, false);
  if (!IsNegative(raw, bitLength)) return raw;
  // Negated in unsigned arithmetic: the magnitude is below 2^63, so the result is exact.
  const auto magnitude = static_cast<unsigned long long>(raw) & ~SignAndAbove(bitLength);
  return static_cast<long long>(0ULL - magnitude);
}

long long COtxIntBehaviour::GetOnesComplementValueFromByteField(
    const std::vector<unsigned char>& bytes, const int& bitLength, const bool& littleEndian) const {
  const long long raw = GetUnsignedValueFromByteField(bytes, bitLength, littleEndian, false);
  if (!IsNegative(raw, bitLength)) return raw;
  // One more than the two's-complement reading; negative zero (all ones) wraps to 0.
  return static_cast<long long>((static_cast<unsigned long long>(raw) | SignAndAbove(bitLength)) +
                                1);
}

long long COtxIntBehaviour::GetTwosComplementValueFromByteField(
    const std::vector<unsigned char>& bytes, const int& bitLength, const bool& littleEndian) const {
  const long long raw = GetUnsignedValueFromByteField(bytes, bitLength, littleEndian, false);
  if (!IsNegative(raw, bitLength)) return raw;
  return static_cast<long long>(static_cast<unsigned long long>(raw) | SignAndAbove(bitLength));
}

long long COtxIntBehaviour::GetBinaryCodedDecimalValueFromByteField(
    int width, const std::vector<unsigned char>& bytes, const int& bitLength) const {
  // Digits of 4 or 8 bits never straddle a byte, which the shift below relies on.
  if (width != 4 && width != 8) ThrowOutOfBounds("BCD digit width out of range");
  if (bitLength < 0) ThrowOutOfBounds(kBitLengthOutOfRange);
  if (bitLength % width != 0) ThrowOutOfBounds("Invalid BCD byte field bit length");

  constexpr long long kMax = std::numeric_limits<long long>::max();
  const unsigned mask = width == 4 ? 0x0FU : 0xFFU;
  long long value = 0;
  // Bit positions count from the most significant bit of byte 0; digits are read from the
  // start of the field, most significant first.
  for (int position = 0; position < bitLength; position += width) {
    const auto index = static_cast<std::size_t>(position / 8);
    if (index >= bytes.size()) ThrowOutOfBounds("Insufficient BCD bytes");
    const auto digit = static_cast<long long>((bytes[index] >> (8 - position % 8 - width)) & mask);
    if (digit > 9) ThrowOutOfBounds("Invalid BCD value");
    // Checked before multiplying: an overflow that had already happened could not be told
    // reliably from the wrapped result.
    if (value > (kMax - digit) / 10) ThrowOutOfBounds("BCD value too big for integer");
    value = value * 10 + digit;
  }
  return value;
}

long long COtxIntBehaviour::GetPackedBinaryCodedDecimalValueFromByteField(
    const std::vector<unsigned char>& bytes, const int& bitLength) const {
  return GetBinaryCodedDecimalValueFromByteField(4, bytes, bitLength);
}

long long COtxIntBehaviour::GetUnpackedBinaryCodedDecimalValueFromByteField(
    const std::vector<unsigned char>& bytes, const int& bitLength) const {
  return GetBinaryCodedDecimalValueFromByteField(8, bytes, bitLength);
}

bool COtxIntBehaviour::IsNegative(const long long& value, const int& bitLength) const {
  // A run of no bits, or of more than 64, has no sign bit within the value.
  if (bitLength < 1 || bitLength > 64) return false;
  return ((static_cast<unsigned long long>(value) >> (bitLength - 1)) & 1) != 0;
}
