// COtxByteField: the OTX ByteField, an ordered, growable sequence of bytes. Unlike the
// scalar values a byte field is mutable: the operations of OTX::IByteField (reached through
// CKesmar::ByteField()) change it in place, and every handle sharing the behaviour sees the
// change. A field that one thread changes must not be used by another at the same time.
//
// Addressing: byte 0 is the first byte. GetBit/SetBit number the bits of one byte 0 (least
// significant) to 7. Shifts and the bitwise operators read the field as one big-endian
// number (byte 0 most significant). TestBits counts a run of bits upward from a bit of the
// run's last byte toward byte 0.
//
// Every failure is a COtxException with OutOfBoundsException unless stated otherwise, and
// an operation that fails leaves the field as it was.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "COtxStringEncoding.h"
#include "KesmarExport.h"
#include "OtxEncoding.h"

namespace OTX {

// The byte-field interface is the byte vector itself, plus the in-place bit and byte
// operations and the bitwise operators.
class KESMAR_API IByteField : public virtual std::vector<unsigned char> {
 public:
  virtual ~IByteField();

  // A new field with every byte complemented.
  virtual CKesmar operator~() const = 0;
  // New fields from the bytewise AND, OR, XOR with ByteField() of other, the shorter
  // operand first padded with zero bytes at its front. Neither operand changes.
  virtual CKesmar operator&(const CKesmar& other) const = 0;
  virtual CKesmar operator|(const CKesmar& other) const = 0;
  virtual CKesmar operator^(const CKesmar& other) const = 0;

  // "Byte index out of range" / "Bit index out of range" outside the field or 0..7.
  virtual void SetBit(int byteIndex, int bitIndex, bool value) = 0;
  virtual bool GetBit(int byteIndex, int bitIndex) const = 0;
  // Whether count bits, starting at bitIndex of the run's last byte and counting toward
  // byte 0, all equal expected. The last byte is byteIndex + (count - 1 + bitIndex) / 8 and
  // is checked before anything else, also for a count of 0 or less, which then answers true:
  // a very negative count moves it below byte 0, so TestBits(1, 0, -100, b) throws.
  virtual bool TestBits(int byteIndex, int bitIndex, int count, bool expected) const = 0;

  // Shift the whole field by positions bits; the length never changes. Negative positions:
  // "Shift positions out of range".
  virtual void ShiftLeft(int positions) = 0;
  virtual void ShiftRight(int positions) = 0;

  // Overwrites bytes from index on with the source's bytes, growing the field as needed.
  // index must address an existing byte: "Replace index out of range".
  virtual void ReplaceSubByteField(const CKesmar& source, long long index) = 0;
  virtual void AppendByteField(const CKesmar& source) = 0;

  // COtxByteField::MergeByteField applied to this field's bytes.
  virtual int MergeByteField(const std::vector<unsigned char>& source, int position,
                             int shift, int bitLength) = 0;
  // Keeps the bytes whose mask byte is not 0, ANDed with it, packed toward the front.
  virtual void Condense(const CKesmar& mask) = 0;
  // The inverse of Condense: the first keep bytes unchanged, then one byte per mask byte,
  // 0 where the mask byte is 0 and otherwise the next source byte ANDed with it.
  virtual void Expand(const CKesmar& mask, int keep) = 0;
};

}  // namespace OTX

// A new byte field; constructors throw as stated at each. Its object form
// {"type":"BYTEFIELD","value":"<hex>"} reads back.
class KESMAR_API COtxByteField : public CKesmar {
 public:
  COtxByteField();
  explicit COtxByteField(const std::vector<unsigned char>& bytes);
  explicit COtxByteField(std::vector<unsigned char>&& bytes);
  // count bytes read from stream; bytes missing at the end of the stream are 0. A negative
  // count is rejected ("Byte count out of range").
  COtxByteField(std::basic_istream<char>& stream, int count);
  // Lenient hexadecimal text: ceil(n / 2) bytes, an odd first digit alone ("ABC" gives
  // 0A BC), each piece read like std::stoi in base 16 keeping its low 8 bits. A piece without
  // a digit throws std::invalid_argument "invalid stoi argument".
  explicit COtxByteField(const std::string& hex);
  // text converted to bytes in a string encoding; "HEX" reads pairs of hexadecimal digits
  // strictly. BIN, OCT and unknown encodings throw UnsupportedEncodingException.
  COtxByteField(const std::string& text, COtxStringEncoding::Encoding encoding);
  // From the JSON object form: the "value" member read as lenient hexadecimal text.
  explicit COtxByteField(const CKesmar& object);
  // ceil(bitLength / 8) bytes of data (all length bytes for a negative bit length); BCD data
  // shorter than that is right-aligned to bitLength and validated. Encodings other than
  // NoEncoding and BCD throw UnsupportedEncodingException.
  COtxByteField(const unsigned char* data, int length, OTX::Encoding encoding, int bitLength);
  // value written into bitLength bits in an integer encoding and byte order (BCD ignores
  // the byte order). Throws "Value <v> does not fit in <n> bits" when it does not fit.
  COtxByteField(const long long& value, const int& bitLength, OTX::Encoding encoding,
                OTX::Endianness endianness);
  COtxByteField(const COtxByteField&) = default;
  COtxByteField& operator=(const COtxByteField&) = default;
  ~COtxByteField() override;

  // Replaces out by the big-endian bytes of a mask of width set bits shifted left by offset
  // and returns their count, ceil((width + offset) / 8). width + offset above 64 throws
  // std::runtime_error "Bitmask > 64 bits unsupported"; a negative width or offset throws
  // OutOfBoundsException.
  static int CreateBitMask(int width, int offset, std::vector<unsigned char>& out);
  // ORs source into target from byte position (-1: the end of target), growing target to
  // cover k = ceil((bitLength + shift) / 8) bytes. With shift 0 the source bytes are ORed as
  // they are, so a short source lands at the front of the k bytes (01 with bit length 16
  // gives 01 00); with shift 1 to 7 the source is first padded at its front to k bytes and
  // shifted left as one big-endian number, so it lands at the back (01 with bit length 16
  // and shift 1 gives 00 00 02).
  // The source is not masked to the bit length. Returns target's length in bits; a bit
  // length of 0 changes nothing. A result whose length in bits would not fit an int throws
  // OutOfBoundsException "Merged byte field too long" before anything grows.
  static int MergeByteField(std::vector<unsigned char>& target,
                            const std::vector<unsigned char>& source, int position, int shift,
                            int bitLength);
  // ceil((bits + offset) / 8).
  static int NumberOfBytesForBits(int bits, int offset);
};

// The byte field's implementation: the byte vector (OTX::IByteField) that it changes in place.
class KESMAR_API COtxByteFieldBehaviour : public COtxComparableBehaviour, public OTX::IByteField {
 public:
  COtxByteFieldBehaviour();
  explicit COtxByteFieldBehaviour(const std::vector<unsigned char>& bytes);
  explicit COtxByteFieldBehaviour(std::vector<unsigned char>&& bytes);
  COtxByteFieldBehaviour(std::basic_istream<char>& stream, int count);
  explicit COtxByteFieldBehaviour(const std::string& hex);
  COtxByteFieldBehaviour(const std::string& text, COtxStringEncoding::Encoding encoding);
  explicit COtxByteFieldBehaviour(const CKesmar& object);
  COtxByteFieldBehaviour(const unsigned char* data, int length, OTX::Encoding encoding,
                         int bitLength);
  COtxByteFieldBehaviour(const long long& value, const int& bitLength,
                         const OTX::Encoding& encoding, OTX::Endianness endianness);
  COtxByteFieldBehaviour(const COtxByteFieldBehaviour& other);
  COtxByteFieldBehaviour(COtxByteFieldBehaviour&& other) noexcept;
  COtxByteFieldBehaviour& operator=(const COtxByteFieldBehaviour& other);
  COtxByteFieldBehaviour& operator=(COtxByteFieldBehaviour&& other) noexcept;
  ~COtxByteFieldBehaviour() override;

  // True when the field has at least one byte.
  CKesmar ToBoolean() const override;
  // 1 to 8 bytes read little-endian and sign-extended; other lengths throw.
  CKesmar ToInteger() const override;
  // The bytes as the string's bytes, unconverted.
  CKesmar ToString() const override;
  // Two upper-case hexadecimal digits per byte.
  CKesmar ToHexBinaryString() const override;
  // The IEEE 754 single (4 bytes) or double (8 bytes), byte 0 least significant; precision
  // 16. Other lengths throw.
  CKesmar ToFloat() const override;
  // An independent copy.
  CKesmar ToByteField() const override;
  // Writes ToHexBinaryString; the indent is not used.
  std::ostream& ToStream(std::ostream& stream, int indent) const override;
  // Appends the same text as ToJSON() / ToJSONObject() straight to out (the value's own
  // class only; a derived class that renders differently goes through those).
  void WriteJSON(std::string& out, bool objectForm) const override;
  // The ToHexBinaryString text as a JSON string.
  CKesmar ToJSON() const override;
  // {"type":"BYTEFIELD","value":"<hexadecimal>"}.
  CKesmar ToJSONObject() const override;
  OTX::IByteField& ByteField() override { return *this; }

  CKesmar operator~() const override;
  CKesmar operator&(const CKesmar& other) const override;
  CKesmar operator|(const CKesmar& other) const override;
  CKesmar operator^(const CKesmar& other) const override;
  void SetBit(int byteIndex, int bitIndex, bool value) override;
  bool GetBit(int byteIndex, int bitIndex) const override;
  bool TestBits(int byteIndex, int bitIndex, int count, bool expected) const override;
  void ShiftLeft(int positions) override;
  void ShiftRight(int positions) override;
  void ReplaceSubByteField(const CKesmar& source, long long index) override;
  void AppendByteField(const CKesmar& source) override;
  int MergeByteField(const std::vector<unsigned char>& source, int position, int shift,
                     int bitLength) override;
  void Condense(const CKesmar& mask) override;
  void Expand(const CKesmar& mask, int keep) override;

  const std::vector<unsigned char>& Bytes() const { return *this; }

 protected:
  // Byte-field others: equal bytes, or unsigned lexicographic order (a proper prefix first).
  // Anything else is unordered: not equal, neither less nor greater.
  bool Compare(Comparison op, const CKesmar& other) const override;

 private:
  // value in decimal digits of width 4 or 8 bits, right-aligned within the first bitLength
  // bits of ceil(bitLength / 8) bytes.
  void EncodeAsBCD(int width, const long long& value, const int& bitLength,
                   std::vector<unsigned char>& out) const;
  bool doesIntegerFitInBitLength(const long long& magnitude, const int& bitLength,
                                 const OTX::Encoding& encoding, const bool& negative) const;
  // Throws OutOfBoundsException (no message) for a digit above 9 anywhere in data.
  void ValidateBCD(int width, const unsigned char* data, int length) const;
  // Pads the shorter vector with zero bytes at its front.
  void EqualiseLength(std::vector<unsigned char>& a, std::vector<unsigned char>& b) const;
};
