// COtxInt: the OTX Integer, a signed 64-bit number with a display radix. Immutable;
// arithmetic wraps around modulo 2^64 and mixes with floats. The integer behaviour is also
// the base of the enumerated value types. Safe to share between threads.
#pragma once

#include <string>
#include <vector>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"
#include "OtxEncoding.h"

// A new integer; only the object-form and byte-field constructors throw. The object form
// reads back with its radix.
class KESMAR_API COtxInt : public CKesmar {
 public:
  // Display radix: carried into the JSON object form, changes no arithmetic or text.
  enum Radix : int { BIN = 0, OCT = 1, DEC = 2, HEX = 3 };

  explicit COtxInt(long long value = 0, Radix radix = DEC);
  // From the JSON object form: "displayRadix" ("BIN", "OCT", "DEC", "HEX", else DEC) and
  // "value" (an integer). Throws std::out_of_range "invalid map<K, T> key" for a missing
  // member and TypeMismatchException for a non-integer value.
  explicit COtxInt(const CKesmar& object);
  // The value decoded from the last bitLength bits of bytes (the least significant end in
  // the given byte order) in an integer encoding; BCD reads digits from the start of the
  // field and ignores the byte order. NoEncoding or an unknown encoding gives 0. Throws
  // OutOfBoundsException for too few bytes, invalid BCD, a value beyond 64 bits or a bit
  // length outside 0 to 64 (BCD: any length from 0 on).
  COtxInt(const std::vector<unsigned char>& bytes, int bitLength, OTX::Encoding encoding,
          OTX::Endianness endianness, Radix radix = DEC);
  COtxInt(const COtxInt&) = default;
  COtxInt& operator=(const COtxInt&) = default;
  ~COtxInt() override;

  // "BIN", "OCT", "DEC" or "HEX"; "DEC" for a number outside the enumeration.
  static const std::string& RadixName(Radix radix);
};

// The integer's implementation: the 64-bit value, the radix and the value type it carries
// (INTEGER, or an enumerated type built on it).
class KESMAR_API COtxIntBehaviour : public COtxArithmeticBehaviour {
 public:
  // 0, radix DEC, type INTEGER.
  COtxIntBehaviour();
  COtxIntBehaviour(long long value, COtxInt::Radix radix, OTX::ValueType type = OTX::INTEGER);
  // From the JSON object form, see COtxInt(const CKesmar&).
  explicit COtxIntBehaviour(const CKesmar& object, OTX::ValueType type = OTX::INTEGER);
  // See COtxInt(const std::vector<unsigned char>&, int, OTX::Encoding, ...).
  COtxIntBehaviour(const std::vector<unsigned char>& bytes, int bitLength,
                   OTX::Encoding encoding, OTX::Endianness endianness, COtxInt::Radix radix);

  // The magnitude, this radix; the minimum value stays the minimum value.
  CKesmar Abs() const override;
  // True iff the value is not 0.
  CKesmar ToBoolean() const override;
  // The same value, radix DEC.
  CKesmar ToInteger() const override;
  // Decimal digits with an optional "-"; the radix is not applied.
  CKesmar ToString() const override;
  // The nearest double, precision 16.
  CKesmar ToFloat() const override;
  // The LittleEndianBytes form.
  CKesmar ToByteField() const override;
  // A quantity of the value in "scalar", precision 0.
  CKesmar ToQuantity() const override;
  // Appends the same text as ToJSON() / ToJSONObject() straight to out (the value's own
  // class only; a derived class that renders differently goes through those).
  void WriteJSON(std::string& out, bool objectForm) const override;
  // The value in decimal.
  CKesmar ToJSON() const override;
  // {"type":"<type>","value":<decimal>,"displayRadix":"<radix name>"}.
  CKesmar ToJSONObject() const override;
  bool IsInt() const override { return true; }
  long long Int() const override { return m_value; }

  COtxInt::Radix GetRadix() const { return m_radix; }

  // The bytes of a byte-field rendering of value, least significant first: two's
  // complement, ending once the rest is sign fill and the last magnitude byte is below
  // 0x80 (0 gives 00, 128 gives 80 00, -128 gives 80 FF), and never longer than 8 bytes.
  static std::vector<unsigned char> LittleEndianBytes(long long value);

 protected:
  // Decoders of a run of bits (see the byte constructor). They read only their arguments.
  long long GetUnsignedValueFromByteField(const std::vector<unsigned char>& bytes,
                                          const int& bitLength, const bool& littleEndian,
                                          const bool& checkUnsigned) const;
  long long GetSignedBinaryValueFromByteField(const std::vector<unsigned char>& bytes,
                                              const int& bitLength,
                                              const bool& littleEndian) const;
  long long GetOnesComplementValueFromByteField(const std::vector<unsigned char>& bytes,
                                                const int& bitLength,
                                                const bool& littleEndian) const;
  long long GetTwosComplementValueFromByteField(const std::vector<unsigned char>& bytes,
                                                const int& bitLength,
                                                const bool& littleEndian) const;
  long long GetBinaryCodedDecimalValueFromByteField(int width,
                                                    const std::vector<unsigned char>& bytes,
                                                    const int& bitLength) const;
  long long GetPackedBinaryCodedDecimalValueFromByteField(
      const std::vector<unsigned char>& bytes, const int& bitLength) const;
  long long GetUnpackedBinaryCodedDecimalValueFromByteField(
      const std::vector<unsigned char>& bytes, const int& bitLength) const;
  // Whether bit (bitLength - 1) of value is set.
  bool IsNegative(const long long& value, const int& bitLength) const;

  // Integer others compare as 64-bit numbers; float others compare as floats, quantity
  // others as quantities.
  bool Compare(Comparison op, const CKesmar& other) const override;
  // Integer others: wrapping 64-bit arithmetic, truncating division, radix DEC. Float
  // others: float arithmetic; quantity others: quantity arithmetic. Throws
  // ArithmeticException for a zero divisor.
  CKesmar Calculate(Arithmetic op, const CKesmar& other) const override;

 private:
  COtxInt::Radix m_radix;
  long long m_value;
};
