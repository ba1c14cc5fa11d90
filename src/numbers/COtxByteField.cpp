// Byte-field values: construction from the many sources of bytes, comparison, conversions.
// The bit operations and the integer encodings live in their own files.
#include "COtxByteField.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "COtxBool.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxString.h"
#include "PelmUtils.h"
#include "core/detail/Allocation.h"
#include "core/detail/Errors.h"
#include "core/detail/Hex.h"
#include "core/detail/ObjectForm.h"
#include "core/detail/JsonWriter.h"
#include "text/detail/CharacterSets.h"
#include "numbers/detail/NumberRules.h"

namespace {

using ByteVector = std::vector<unsigned char>;
using kesmar::detail::IsBcd;
using kesmar::detail::kFullPrecision;
using kesmar::detail::ThrowOutOfBounds;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A piece of one or two characters read as std::stoi(piece, nullptr, 16) reads it: leading
// white space, an optional sign, then hexadecimal digits up to the first other character.
// Returns the low 8 bits, or -1 when no digit was read.
int ParseHexPiece(std::string_view piece) {
  size_t i = 0;
  while (i < piece.size() && IsCSpace(piece[i])) ++i;
  bool negative = false;
  if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
  int value = 0;
  bool any = false;
  for (; i < piece.size() && HexDigit(piece[i]) >= 0; ++i) {
    value = value * 16 + HexDigit(piece[i]);
    any = true;
  }
  if (!any) return -1;
  return (negative ? -value : value) & 0xFF;
}

// Lenient hexadecimal text: an odd first digit stands alone ("ABC" gives 0A BC).
ByteVector ParseLenientHex(const std::string& text) {
  ByteVector bytes((text.size() + 1) / 2);
  size_t at = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const size_t width = (i == 0 && text.size() % 2 == 1) ? 1 : 2;
    const int value = ParseHexPiece(std::string_view(text).substr(at, width));
    if (value < 0) throw std::invalid_argument("invalid stoi argument");
    bytes[i] = static_cast<unsigned char>(value);
    at += width;
  }
  return bytes;
}

// Strict hexadecimal text of the "HEX" string encoding: pairs of characters.
ByteVector ParseStrictHex(const std::string& text) {
  if (text.size() % 2 != 0) ThrowOutOfBounds("HEX string must contain an even number of chars");
  ByteVector bytes(text.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int value = ParseHexPiece(std::string_view(text).substr(2 * i, 2));
    if (value < 0) ThrowOutOfBounds(text + " is not a valid for a hex string");
    bytes[i] = static_cast<unsigned char>(value);
  }
  return bytes;
}

ByteVector EncodeText(const std::string& text, COtxStringEncoding::Encoding encoding) {
  using namespace kesmar::detail;
  if (text.empty()) return {};
  if (encoding == COtxStringEncoding::US_ASCII || encoding == COtxStringEncoding::UTF_8) {
    return ByteVector(text.begin(), text.end());
  }
  if (encoding == COtxStringEncoding::HEX) return ParseStrictHex(text);
  if (!IsCharacterSet(encoding)) ThrowUnsupportedEncoding(encoding);
  const std::string& name = COtxStringEncoding::String(encoding);
  ByteVector bytes;
  if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max()) ||
      !PelmUtil::fromUTF8(name, text.data(), static_cast<int>(text.size()), bytes)) {
    throw COtxException(OTX::OutOfBoundsException, name);
  }
  return bytes;
}

ByteVector ReadStream(std::basic_istream<char>& stream, int count) {
  if (count < 0) ThrowOutOfBounds("Byte count out of range");
  ByteVector bytes(static_cast<size_t>(count));
  stream.read(reinterpret_cast<char*>(bytes.data()), count);
  return bytes;  // bytes the stream did not have stay 0
}

// Raw data cut or padded to ceil(bitLength / 8) bytes; BCD data shorter than that is placed
// so that it ends at bit bitLength (bit positions counted from the top of byte 0).
ByteVector ArrangeRawData(const unsigned char* data, int length, OTX::Encoding encoding,
                     int bitLength) {
  if (length < 0) ThrowOutOfBounds("Data length out of range");
  if (data == nullptr && length > 0) ThrowOutOfBounds("Data missing");
  const int64_t wanted = bitLength < 0 ? length : (int64_t{bitLength} + 7) / 8;
  if (wanted <= length) return ByteVector(data, data + wanted);
  ByteVector bytes(static_cast<size_t>(wanted), 0);
  if (!IsBcd(encoding)) {
    std::copy(data, data + length, bytes.begin());
    return bytes;
  }
  // Positive, since wanted > length means bitLength > 8 * length.
  const int64_t first = int64_t{bitLength} - 8 * int64_t{length};
  for (int i = 0; i < length; ++i) {
    const int64_t position = first + 8 * int64_t{i};
    const auto index = static_cast<size_t>(position / 8);
    const int offset = static_cast<int>(position % 8);
    bytes[index] |= static_cast<unsigned char>(data[i] >> offset);
    if (offset != 0) bytes[index + 1] |= static_cast<unsigned char>(data[i] << (8 - offset));
  }
  return bytes;
}

template <typename Unsigned>
Unsigned LittleEndianValue(const ByteVector& bytes) {
  Unsigned value = 0;
  for (size_t i = bytes.size(); i-- > 0;) value = static_cast<Unsigned>(value << 8) | bytes[i];
  return value;
}

}  // namespace

OTX::IByteField::~IByteField() = default;

// --- Behaviour construction -------------------------------------------------------------

COtxByteFieldBehaviour::COtxByteFieldBehaviour() : COtxComparableBehaviour(OTX::BYTEFIELD) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(const ByteVector& bytes)
    : ByteVector(bytes), COtxComparableBehaviour(OTX::BYTEFIELD) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(ByteVector&& bytes)
    : ByteVector(std::move(bytes)), COtxComparableBehaviour(OTX::BYTEFIELD) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(std::basic_istream<char>& stream, int count)
    : COtxByteFieldBehaviour(ReadStream(stream, count)) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(const std::string& hex)
    : COtxByteFieldBehaviour(ParseLenientHex(hex)) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(const std::string& text,
                                               COtxStringEncoding::Encoding encoding)
    : COtxByteFieldBehaviour(EncodeText(text, encoding)) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(const CKesmar& object)
    : COtxByteFieldBehaviour(
          ParseLenientHex(kesmar::detail::ReadMember<&CKesmar::String>(object, "value"))) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(const unsigned char* data, int length,
                                               OTX::Encoding encoding, int bitLength)
    : COtxByteFieldBehaviour(ArrangeRawData(data, length, encoding, bitLength)) {
  if (encoding == OTX::NoEncoding) return;
  if (!IsBcd(encoding)) throw COtxException(OTX::UnsupportedEncodingException, "");
  ValidateBCD(kesmar::detail::BcdDigitWidth(encoding), Bytes().data(),
              static_cast<int>(Bytes().size()));
}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(const COtxByteFieldBehaviour& other)
    : ByteVector(other.Bytes()), COtxComparableBehaviour(other) {}

COtxByteFieldBehaviour::COtxByteFieldBehaviour(COtxByteFieldBehaviour&& other) noexcept
    : ByteVector(std::move(static_cast<ByteVector&>(other))), COtxComparableBehaviour(other) {}

COtxByteFieldBehaviour& COtxByteFieldBehaviour::operator=(const COtxByteFieldBehaviour& other) {
  COtxComparableBehaviour::operator=(other);
  static_cast<ByteVector&>(*this) = other.Bytes();
  return *this;
}

COtxByteFieldBehaviour& COtxByteFieldBehaviour::operator=(COtxByteFieldBehaviour&& other) noexcept {
  COtxComparableBehaviour::operator=(other);
  static_cast<ByteVector&>(*this) = std::move(static_cast<ByteVector&>(other));
  return *this;
}

COtxByteFieldBehaviour::~COtxByteFieldBehaviour() = default;

// --- Comparison and conversions ---------------------------------------------------------

bool COtxByteFieldBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.Type() != OTX::BYTEFIELD) return Answer(op, std::partial_ordering::unordered);
  return Answer(op, Bytes() <=> static_cast<const ByteVector&>(other.ByteField()));
}

CKesmar COtxByteFieldBehaviour::ToBoolean() const { return COtxBool(!empty()); }

CKesmar COtxByteFieldBehaviour::ToInteger() const {
  if (empty() || size() > 8) ThrowOutOfBounds();
  // Sign-extend from the top bit of the last (most significant) byte.
  const int unused = 64 - 8 * static_cast<int>(size());
  const auto raw = LittleEndianValue<uint64_t>(Bytes()) << unused;
  return COtxInt(static_cast<int64_t>(raw) >> unused, COtxInt::DEC);
}

CKesmar COtxByteFieldBehaviour::ToString() const { return COtxString(std::string(begin(), end())); }

CKesmar COtxByteFieldBehaviour::ToHexBinaryString() const {
  return COtxString(kesmar::detail::HexText(data(), size()));
}

CKesmar COtxByteFieldBehaviour::ToFloat() const {
  if (size() == 4) {
    return COtxFloat(std::bit_cast<float>(LittleEndianValue<uint32_t>(Bytes())), kFullPrecision);
  }
  if (size() == 8) {
    return COtxFloat(std::bit_cast<double>(LittleEndianValue<uint64_t>(Bytes())), kFullPrecision);
  }
  ThrowOutOfBounds();
}

CKesmar COtxByteFieldBehaviour::ToByteField() const { return COtxByteField(Bytes()); }

std::ostream& COtxByteFieldBehaviour::ToStream(std::ostream& stream, int) const {
  return stream << ToHexBinaryString();
}

CKesmar COtxByteFieldBehaviour::ToJSON() const {
  std::string text;
  kesmar::detail::AppendJsonString(text, kesmar::detail::HexText(data(), size()));
  return kesmar::detail::JsonValue(std::move(text));
}

void COtxByteFieldBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  if (kesmar::detail::WroteAsDerivedType(*this, out, objectForm)) return;
  // Hex digits need no escaping: the quoted text is appended as it is.
  if (!objectForm) {
    out += '"';
    kesmar::detail::AppendHexText(out, data(), size());
    out += '"';
    return;
  }
  kesmar::detail::JsonObjectWriter object(out, StringType());
  std::string& value = object.Key("value");
  value += '"';
  kesmar::detail::AppendHexText(value, data(), size());
  value += '"';
  object.End();
}

CKesmar COtxByteFieldBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType())
      .Text("value", kesmar::detail::HexText(data(), size()))
      .End();
  return kesmar::detail::JsonValue(std::move(text));
}

// --- Handle -----------------------------------------------------------------------------

COtxByteField::COtxByteField() : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>()) {}
COtxByteField::COtxByteField(const ByteVector& bytes)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(bytes)) {}
COtxByteField::COtxByteField(ByteVector&& bytes)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(std::move(bytes))) {}
COtxByteField::COtxByteField(std::basic_istream<char>& stream, int count)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(stream, count)) {}
COtxByteField::COtxByteField(const std::string& hex)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(hex)) {}
COtxByteField::COtxByteField(const std::string& text, COtxStringEncoding::Encoding encoding)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(text, encoding)) {}
COtxByteField::COtxByteField(const CKesmar& object)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(object)) {}
COtxByteField::COtxByteField(const unsigned char* data, int length, OTX::Encoding encoding,
                             int bitLength)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(data, length, encoding,
                                                                    bitLength)) {}
COtxByteField::COtxByteField(const long long& value, const int& bitLength, OTX::Encoding encoding,
                             OTX::Endianness endianness)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxByteFieldBehaviour>(value, bitLength, encoding,
                                                                    endianness)) {}
COtxByteField::~COtxByteField() = default;
