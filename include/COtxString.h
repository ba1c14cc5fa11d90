// COtxString: the OTX String. The text is a byte string read as UTF-8 by the text
// operations; constructors store bytes as given. Immutable: every operation returns a new
// value, so a string may be shared between threads. OTX::IString, which CKesmar::String()
// returns, is the text itself (a std::string) together with the text operations.
#pragma once

#include <string>

#include <vector>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "COtxStringEncoding.h"
#include "KesmarExport.h"

namespace OTX {

// The OTX text operations of a string value. Positions and lengths count Unicode code
// points; numeric arguments are integers of which the low 32 bits count, unsigned (so -1 is
// 4294967295). Text that is not valid UTF-8 throws std::range_error "bad conversion"; an
// argument of the wrong type throws TypeMismatchException. None changes the value.
class KESMAR_API IStringUtil {
 public:
  // The number of code points (INTEGER).
  virtual CKesmar LengthOfString() const = 0;
  // The index of the first occurrence of text (INTEGER), 0 for an empty text, else -1.
  virtual CKesmar IndexOf(const CKesmar& text) const = 0;
  // At most length code points from start (STRING). Throws std::out_of_range
  // "invalid string position" when start is beyond the end.
  virtual CKesmar SubString(const CKesmar& start, const CKesmar& length) const = 0;
  // The text with replacement written over it from start, growing where it reaches past the
  // end (STRING). Throws std::out_of_range "invalid string position" beyond the end.
  virtual CKesmar ReplaceSubString(const CKesmar& replacement, const CKesmar& start) const = 0;
  // The parts between delimiters (LIST of STRING); an empty delimiter splits into code
  // points, a delimiter at the end adds no empty part, an empty text gives no parts.
  virtual CKesmar SplitString(const CKesmar& delimiter) const = 0;
  // The text mapped by towupper / towlower under the process's locale (STRING).
  virtual CKesmar ToUpper() const = 0;
  virtual CKesmar ToLower() const = 0;
  // Whether the ECMAScript-style pattern matches anywhere in the bytes of the text
  // (BOOLEAN). Throws OutOfBoundsException "invalid regular expression" for a pattern that
  // does not compile, is not a string, or exceeds the engine's limits or time budget.
  virtual CKesmar MatchToRegularExpression(const CKesmar& pattern) const = 0;

 protected:
  ~IStringUtil() = default;
};

// A string value's interface: the text, readable as a std::string, and its operations.
class KESMAR_API IString : public IStringUtil, public virtual std::string {
 protected:
  IString() = default;
  ~IString() = default;
};

}  // namespace OTX

// The string's implementation: the text itself (OTX::IString), fixed at construction.
class KESMAR_API COtxStringBehaviour : public OTX::IString, public COtxComparableBehaviour {
 public:
  COtxStringBehaviour();
  explicit COtxStringBehaviour(const std::string& text);
  // Takes the text over, leaving text empty.
  explicit COtxStringBehaviour(std::string&& text);
  // REQUIRES: data points to length bytes (length <= 0 makes an empty text).
  COtxStringBehaviour(const char* data, int length);
  // One byte per code unit: its low 8 bits.
  explicit COtxStringBehaviour(const std::wstring& text);
  explicit COtxStringBehaviour(const std::u16string& text);
  explicit COtxStringBehaviour(const std::u32string& text);
  // The bytes decoded from the encoding into UTF-8, see COtxString.
  COtxStringBehaviour(const std::vector<unsigned char>& bytes,
                      COtxStringEncoding::Encoding encoding);
  COtxStringBehaviour(const COtxStringBehaviour& other);
  COtxStringBehaviour& operator=(const COtxStringBehaviour& other);
  ~COtxStringBehaviour() override;

  // strtoll with base 0 (decimal, 0x hexadecimal, 0 octal); leading white space and a sign
  // are accepted. Throws TypeMismatchException when no digit is read, the number leaves the
  // 64-bit range or anything follows it.
  CKesmar ToInteger() const override;
  // True iff the lower-case text is "true". Throws std::range_error "bad conversion" for
  // text that is not valid UTF-8.
  CKesmar ToBoolean() const override;
  // A copy of the text in a new value.
  CKesmar ToString() const override;
  // strtod in the classic locale. When anything follows the number, only its first character
  // is examined and must be 'f' or 'd' (any case): "1.5fxyz" is 1.5. A number too small for a
  // double reads as its subnormal value or zero. Throws TypeMismatchException when there is
  // no number, it overflows the double range, or another character follows it.
  CKesmar ToFloat() const override;
  // The text's bytes, unconverted.
  CKesmar ToByteField() const override;
  // Appends the same text as ToJSON() / ToJSONObject() straight to out (the value's own
  // class only; a derived class that renders differently goes through those).
  void WriteJSON(std::string& out, bool objectForm) const override;
  // The text as a JSON string: quoted and escaped, bytes from 0x80 up copied unchanged.
  CKesmar ToJSON() const override;
  // Writes the text as a formatted insertion (width, fill and adjustment apply).
  std::ostream& ToStream(std::ostream& stream, int indent) const override;
  const OTX::IString& IString() const override { return *this; }

  // The text.
  const std::string& Text() const { return *this; }

  CKesmar LengthOfString() const override;
  CKesmar IndexOf(const CKesmar& text) const override;
  CKesmar SubString(const CKesmar& start, const CKesmar& length) const override;
  CKesmar ReplaceSubString(const CKesmar& replacement, const CKesmar& start) const override;
  CKesmar SplitString(const CKesmar& delimiter) const override;
  CKesmar ToUpper() const override;
  CKesmar ToLower() const override;
  CKesmar MatchToRegularExpression(const CKesmar& pattern) const override;

 protected:
  // Byte-wise comparison with other strings (bytes unsigned, shorter prefix first).
  bool Compare(Comparison op, const CKesmar& other) const override;
};

// A new string; constructors throw as stated at each. The object form reads back.
class KESMAR_API COtxString : public CKesmar {
 public:
  // The empty text.
  COtxString();
  explicit COtxString(const std::string& text);
  explicit COtxString(std::string&& text);
  // length bytes from data, zero bytes included. REQUIRES: data points to length bytes.
  COtxString(const char* data, int length);
  // One byte per code unit: its low 8 bits (no encoding).
  explicit COtxString(const std::wstring& text);
  explicit COtxString(const std::u16string& text);
  explicit COtxString(const std::u32string& text);
  // The bytes decoded from the encoding: US-ASCII and UTF-8 copy them unchecked, HEX writes
  // two upper-case digits per byte, the character sets convert strictly. Empty bytes give
  // "" whatever the encoding. Throws OutOfBoundsException (message: the encoding's name)
  // when the bytes do not convert, UnsupportedEncodingException for BIN, OCT and numbers
  // outside the table.
  COtxString(const std::vector<unsigned char>& bytes, COtxStringEncoding::Encoding encoding);
  // From the JSON object form: shares the behaviour of the map's "value" member, whatever
  // its type. Throws std::out_of_range "invalid map<K, T> key" when it is missing.
  explicit COtxString(const CKesmar& object);
  COtxString(const COtxString&) = default;
  COtxString& operator=(const COtxString&) = default;
  ~COtxString() override;
};
