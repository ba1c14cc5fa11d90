// Bit and byte operations of byte fields: single bits, runs of bits, whole-field shifts,
// replacing and appending, and the bitwise operators. Shifts work on 16-byte blocks and the
// operators on 64-bit words, so each costs about one pass over the field.
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

// Thirty-two bytes as four 64-bit lanes: shifts, ANDs and ORs of it become vector
// instructions. A lane shift carries bits across the bytes of the lane; a mask per byte
// drops them again. On x86-64 each shift also has a copy compiled for AVX2, which the first
// call chooses when the processor has it (a test at run time rather than an ifunc, whose
// resolver would run before a sanitizer's run time is ready).
using Block = std::uint64_t __attribute__((vector_size(32)));

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

constexpr size_t kBlockBytes = sizeof(Block);
#if defined(__x86_64__) && defined(__GNUC__)
#define KESMAR_AVX2_COPIES 1
#endif

// Every byte of a word set to byte.
constexpr std::uint64_t EveryByte(unsigned byte) { return 0x0101010101010101ULL * (byte & 0xFFu); }

// Blocks are copied in and out with memcpy (any alignment) and never passed to or returned
// from a function, whose calling convention would depend on the instruction set.

// A whole-byte move toward byte 0 and a bit shift in one pass: p[i] = src[i] << bits |
// src[i + 1] >> (8 - bits) for i < count, src = p + from, a zero following src[count - 1].
// In place: each byte is read before any write reaches it. REQUIRES: 1 <= bits <= 7.
[[gnu::always_inline]] inline void MoveShiftedLeftBody(unsigned char* p, size_t from,
                                                      size_t count, unsigned bits) {
  const unsigned char* src = p + from;
  size_t i = 0;
  const std::uint64_t kept = EveryByte(0xFFu << bits);
  const std::uint64_t carried = EveryByte((1u << bits) - 1);
  // The masks assume the lanes' low-order byte comes first in memory.
  for (; kLittleEndian && i + kBlockBytes < count; i += kBlockBytes) {
    Block here, next;
    std::memcpy(&here, src + i, kBlockBytes);
    std::memcpy(&next, src + i + 1, kBlockBytes);
    const Block shifted = ((here << bits) & kept) | ((next >> (8 - bits)) & carried);
    std::memcpy(p + i, &shifted, kBlockBytes);
  }
  for (; i < count; ++i) {
    const unsigned next = i + 1 < count ? src[i + 1] : 0u;
    p[i] = static_cast<unsigned char>((src[i] << bits) | (next >> (8 - bits)));
  }
}

// The mirror: p[to + i] = p[i] >> bits | p[i - 1] << (8 - bits) for i < count, a zero
// before p[0], from the end down. REQUIRES: 1 <= bits <= 7.
[[gnu::always_inline]] inline void MoveShiftedRightBody(unsigned char* p, size_t to,
                                                       size_t count, unsigned bits) {
  unsigned char* dest = p + to;
  size_t end = count;
  const std::uint64_t kept = EveryByte(0xFFu >> bits);
  const std::uint64_t carried = EveryByte(0xFFu << (8 - bits));
  for (; kLittleEndian && end > kBlockBytes; end -= kBlockBytes) {
    const size_t at = end - kBlockBytes;
    Block here, previous;
    std::memcpy(&here, p + at, kBlockBytes);
    std::memcpy(&previous, p + at - 1, kBlockBytes);
    const Block shifted = ((here >> bits) & kept) | ((previous << (8 - bits)) & carried);
    std::memcpy(dest + at, &shifted, kBlockBytes);
  }
  for (; end > 0; --end) {
    const size_t i = end - 1;
    const unsigned previous = i > 0 ? p[i - 1] : 0u;
    dest[i] = static_cast<unsigned char>((p[i] >> bits) | (previous << (8 - bits)));
  }
}

#ifdef KESMAR_AVX2_COPIES
[[gnu::target("avx2")]] void MoveShiftedLeftAvx2(unsigned char* p, size_t from, size_t count,
                                                 unsigned bits) {
  MoveShiftedLeftBody(p, from, count, bits);
}
[[gnu::target("avx2")]] void MoveShiftedRightAvx2(unsigned char* p, size_t to, size_t count,
                                                  unsigned bits) {
  MoveShiftedRightBody(p, to, count, bits);
}
bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

void MoveShiftedLeft(unsigned char* p, size_t from, size_t count, unsigned bits) {
#ifdef KESMAR_AVX2_COPIES
  if (HasAvx2()) return MoveShiftedLeftAvx2(p, from, count, bits);
#endif
  MoveShiftedLeftBody(p, from, count, bits);
}

void MoveShiftedRight(unsigned char* p, size_t to, size_t count, unsigned bits) {
#ifdef KESMAR_AVX2_COPIES
  if (HasAvx2()) return MoveShiftedRightAvx2(p, to, count, bits);
#endif
  MoveShiftedRightBody(p, to, count, bits);
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

// Whole bytes alone are one memmove; with 1 to 7 more bits, the kept bytes move and shift in
// one pass. The bytes that come in are zero and carry nothing into the kept ones.
void COtxByteFieldBehaviour::ShiftLeft(int positions) {
  ByteVector& bytes = *this;
  const auto [whole, bits] = SplitShift(positions, bytes.size());
  const size_t kept = bytes.size() - whole;
  if (bits != 0 && kept > 0) {
    MoveShiftedLeft(bytes.data(), whole, kept, bits);
  } else if (kept > 0 && whole > 0) {
    std::memmove(bytes.data(), bytes.data() + whole, kept);
  }
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(kept), bytes.end(), 0);
}

void COtxByteFieldBehaviour::ShiftRight(int positions) {
  ByteVector& bytes = *this;
  const auto [whole, bits] = SplitShift(positions, bytes.size());
  const size_t kept = bytes.size() - whole;
  if (bits != 0 && kept > 0) {
    MoveShiftedRight(bytes.data(), whole, kept, bits);
  } else if (kept > 0 && whole > 0) {
    std::memmove(bytes.data() + whole, bytes.data(), kept);
  }
  std::fill(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(whole), 0);
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
