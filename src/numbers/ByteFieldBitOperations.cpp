// Bit and byte operations of byte fields: single bits, runs of bits, whole-field shifts,
// replacing and appending, and the bitwise operators. Shifts and the operators work on
// 64-bit words, so their cost is a memmove plus one pass over the field.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "COtxByteField.h"
#include "core/detail/Errors.h"

namespace {

using ByteVector = std::vector<unsigned char>;
using kesmar::detail::ThrowOutOfBounds;

constexpr const char* kByteIndexOutOfRange = "Byte index out of range";
constexpr const char* kBitIndexOutOfRange = "Bit index out of range";
constexpr const char* kShiftOutOfRange = "Shift positions out of range";
constexpr const char* kReplaceIndexOutOfRange = "Replace index out of range";

constexpr size_t kWordBytes = sizeof(std::uint64_t);

// Reverses the byte order; compilers turn this into a single byte-swap instruction.
constexpr std::uint64_t ByteSwap(std::uint64_t word) {
  word = ((word & 0x00FF00FF00FF00FFull) << 8) | ((word >> 8) & 0x00FF00FF00FF00FFull);
  word = ((word & 0x0000FFFF0000FFFFull) << 16) | ((word >> 16) & 0x0000FFFF0000FFFFull);
  return (word << 32) | (word >> 32);
}

// Converts between the native order and big-endian (p[0] most significant) in either
// direction.
constexpr std::uint64_t NativeToBigEndian(std::uint64_t word) {
  return std::endian::native == std::endian::big ? word : ByteSwap(word);
}

std::uint64_t LoadBigEndian(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, kWordBytes);
  return NativeToBigEndian(word);
}

void StoreBigEndian(unsigned char* p, std::uint64_t word) {
  word = NativeToBigEndian(word);
  std::memcpy(p, &word, kWordBytes);
}

// target[i] = op(target[i], source[i]) for length bytes, eight at a time. op is called with
// two std::uint64_t words, or with two unsigned chars for the last length % 8 bytes. source
// may equal target.
template <typename Op>
void ApplyBytewise(unsigned char* target, const unsigned char* source, size_t length, Op op) {
  size_t i = 0;
  for (; i + kWordBytes <= length; i += kWordBytes) {
    std::uint64_t left;
    std::uint64_t right;
    std::memcpy(&left, target + i, kWordBytes);
    std::memcpy(&right, source + i, kWordBytes);
    const auto result = static_cast<std::uint64_t>(op(left, right));
    std::memcpy(target + i, &result, kWordBytes);
  }
  for (; i < length; ++i) target[i] = static_cast<unsigned char>(op(target[i], source[i]));
}

// A new byte field from left and right combined byte by byte. Lengths that differ are first
// made equal by equalise(left, copy of right); equal ones need no copy of right, which for
// large fields saves an allocation and a pass.
template <typename Equalise, typename Op>
CKesmar Combine(ByteVector left, const ByteVector& right, Equalise equalise, Op op) {
  if (left.size() == right.size()) {
    ApplyBytewise(left.data(), right.data(), left.size(), op);
  } else {
    ByteVector padded = right;
    equalise(left, padded);
    ApplyBytewise(left.data(), padded.data(), left.size(), op);
  }
  return COtxByteField(std::move(left));
}

// Shifts the length bytes at p, read as one big-endian number, left by bits; zeros come in
// at the end. REQUIRES: 1 <= bits <= 7.
void ShiftBitsLeft(unsigned char* p, size_t length, unsigned bits) {
  // Upward a word at a time, each taking its low bits from the top of the next word, which
  // is still unshifted; words stop while a whole word follows them. The last 8 to 15 bytes
  // go one at a time.
  size_t i = 0;
  if (length >= 2 * kWordBytes) {
    std::uint64_t current = LoadBigEndian(p);
    for (; i + 2 * kWordBytes <= length; i += kWordBytes) {
      const std::uint64_t next = LoadBigEndian(p + i + kWordBytes);
      StoreBigEndian(p + i, (current << bits) | (next >> (64 - bits)));
      current = next;
    }
  }
  for (; i < length; ++i) {
    const unsigned next = i + 1 < length ? p[i + 1] : 0u;
    p[i] = static_cast<unsigned char>((p[i] << bits) | (next >> (8 - bits)));
  }
}

// The mirror of ShiftBitsLeft: right by bits, zeros coming in at byte 0, words taken from
// the end down. REQUIRES: 1 <= bits <= 7.
void ShiftBitsRight(unsigned char* p, size_t length, unsigned bits) {
  size_t end = length;
  if (length >= 2 * kWordBytes) {
    std::uint64_t current = LoadBigEndian(p + end - kWordBytes);
    for (; end >= 2 * kWordBytes; end -= kWordBytes) {
      const std::uint64_t previous = LoadBigEndian(p + end - 2 * kWordBytes);
      StoreBigEndian(p + end - kWordBytes, (current >> bits) | (previous << (64 - bits)));
      current = previous;
    }
  }
  for (; end > 0; --end) {
    const size_t i = end - 1;
    const unsigned previous = i > 0 ? p[i - 1] : 0u;
    p[i] = static_cast<unsigned char>((p[i] >> bits) | (previous << (8 - bits)));
  }
}

// A shift by positions bits split into whole bytes (at most the field's length) and the
// remaining 0 to 7 bits. Throws for negative positions.
struct ShiftSplit {
  size_t bytes;
  unsigned bits;
};

ShiftSplit SplitShift(int positions, size_t length) {
  if (positions < 0) ThrowOutOfBounds(kShiftOutOfRange);
  return {std::min(static_cast<size_t>(positions / 8), length),
          static_cast<unsigned>(positions % 8)};
}

// The byte index after checking both indexes for GetBit and SetBit.
size_t CheckedBitAddress(const ByteVector& bytes, int byteIndex, int bitIndex) {
  if (byteIndex < 0 || static_cast<size_t>(byteIndex) >= bytes.size()) {
    ThrowOutOfBounds(kByteIndexOutOfRange);
  }
  if (bitIndex < 0 || bitIndex > 7) ThrowOutOfBounds(kBitIndexOutOfRange);
  return static_cast<size_t>(byteIndex);
}

unsigned char BitMask(int bitIndex) { return static_cast<unsigned char>(1u << bitIndex); }

}  // namespace

// --- Bitwise operators --------------------------------------------------------------------

CKesmar COtxByteFieldBehaviour::operator~() const {
  ByteVector bytes = Bytes();
  ApplyBytewise(bytes.data(), bytes.data(), bytes.size(), [](auto value, auto) { return ~value; });
  return COtxByteField(std::move(bytes));
}

CKesmar COtxByteFieldBehaviour::operator&(const CKesmar& other) const {
  const auto equalise = [this](ByteVector& a, ByteVector& b) { EqualiseLength(a, b); };
  return Combine(Bytes(), other.ByteField(), equalise, std::bit_and<>());
}

CKesmar COtxByteFieldBehaviour::operator|(const CKesmar& other) const {
  const auto equalise = [this](ByteVector& a, ByteVector& b) { EqualiseLength(a, b); };
  return Combine(Bytes(), other.ByteField(), equalise, std::bit_or<>());
}

CKesmar COtxByteFieldBehaviour::operator^(const CKesmar& other) const {
  const auto equalise = [this](ByteVector& a, ByteVector& b) { EqualiseLength(a, b); };
  return Combine(Bytes(), other.ByteField(), equalise, std::bit_xor<>());
}

// The operands are big-endian numbers, so the shorter one grows at its most significant end.
void COtxByteFieldBehaviour::EqualiseLength(ByteVector& a, ByteVector& b) const {
  ByteVector& shorter = a.size() < b.size() ? a : b;
  const size_t longer = std::max(a.size(), b.size());
  shorter.insert(shorter.begin(), longer - shorter.size(), 0);
}

// --- Single bits and runs of bits ---------------------------------------------------------

void COtxByteFieldBehaviour::SetBit(int byteIndex, int bitIndex, bool value) {
  ByteVector& bytes = *this;
  unsigned char& byte = bytes[CheckedBitAddress(bytes, byteIndex, bitIndex)];
  byte = static_cast<unsigned char>(value ? byte | BitMask(bitIndex) : byte & ~BitMask(bitIndex));
}

bool COtxByteFieldBehaviour::GetBit(int byteIndex, int bitIndex) const {
  return (Bytes()[CheckedBitAddress(Bytes(), byteIndex, bitIndex)] & BitMask(bitIndex)) != 0;
}

bool COtxByteFieldBehaviour::TestBits(int byteIndex, int bitIndex, int count, bool expected) const {
  const ByteVector& bytes = Bytes();
  // The run's last byte, in 64 bits: count - 1 + bitIndex overflows an int at the extremes.
  // A count of 0 or less still has its last byte checked.
  const long long last =
      static_cast<long long>(byteIndex) + (static_cast<long long>(count) - 1 + bitIndex) / 8;
  if (last < 0 || last >= static_cast<long long>(bytes.size())) {
    ThrowOutOfBounds(kByteIndexOutOfRange);
  }
  if (bitIndex < 0 || bitIndex > 7) ThrowOutOfBounds(kBitIndexOutOfRange);

  // One masked comparison per byte, from bitIndex of the last byte toward byte 0. Only a
  // negative byteIndex can make the run reach past byte 0, and a differing bit found before
  // that point still answers false.
  long long remaining = count;
  auto low = static_cast<unsigned>(bitIndex);
  for (long long index = last; remaining > 0; --index, low = 0) {
    if (index < 0) ThrowOutOfBounds(kBitIndexOutOfRange);
    const auto width = static_cast<unsigned>(std::min<long long>(remaining, 8 - low));
    const unsigned mask = ((1u << width) - 1u) << low;
    if ((bytes[static_cast<size_t>(index)] & mask) != (expected ? mask : 0u)) return false;
    remaining -= width;
  }
  return true;
}

// --- Shifts -------------------------------------------------------------------------------

// Whole bytes move with one memmove, then the 0 to 7 remaining bits take one pass over the
// bytes that were kept; the bytes that came in are zero and carry nothing into them.
void COtxByteFieldBehaviour::ShiftLeft(int positions) {
  ByteVector& bytes = *this;
  const auto [whole, bits] = SplitShift(positions, bytes.size());
  const size_t kept = bytes.size() - whole;
  if (kept > 0 && whole > 0) std::memmove(bytes.data(), bytes.data() + whole, kept);
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(kept), bytes.end(), 0);
  if (bits != 0 && kept > 0) ShiftBitsLeft(bytes.data(), kept, bits);
}

void COtxByteFieldBehaviour::ShiftRight(int positions) {
  ByteVector& bytes = *this;
  const auto [whole, bits] = SplitShift(positions, bytes.size());
  const size_t kept = bytes.size() - whole;
  if (kept > 0 && whole > 0) std::memmove(bytes.data() + whole, bytes.data(), kept);
  std::fill(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(whole), 0);
  if (bits != 0 && kept > 0) ShiftBitsRight(bytes.data() + whole, kept, bits);
}

// --- Replacing and appending --------------------------------------------------------------

// The source may be this very field. Both functions therefore take the source's length
// before growing and read its bytes only afterwards: growing keeps the original bytes at the
// front of the (possibly moved) buffer, and memmove copes with the overlap.
void COtxByteFieldBehaviour::ReplaceSubByteField(const CKesmar& source, long long index) {
  ByteVector& bytes = *this;
  if (index < 0 || static_cast<unsigned long long>(index) >= bytes.size()) {
    ThrowOutOfBounds(kReplaceIndexOutOfRange);
  }
  const ByteVector& from = source.ByteField();
  const auto at = static_cast<size_t>(index);
  const size_t count = from.size();
  if (count == 0) return;
  // Cannot wrap: at < size() <= max_size(), count <= max_size(), and max_size() is at most
  // SIZE_MAX / 2.
  if (at + count > bytes.size()) bytes.resize(at + count);
  std::memmove(bytes.data() + at, from.data(), count);
}

void COtxByteFieldBehaviour::AppendByteField(const CKesmar& source) {
  ByteVector& bytes = *this;
  const ByteVector& from = source.ByteField();
  const size_t count = from.size();
  if (count == 0) return;
  const size_t end = bytes.size();
  bytes.resize(end + count);
  std::memmove(bytes.data() + end, from.data(), count);
}
