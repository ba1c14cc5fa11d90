// COtxString: the OTX String. The text is a byte string read as UTF-8 by the text
// operations; constructors store bytes as given. Immutable: every operation returns a new
// value, so a string may be shared between threads. OTX::IString, which CKesmar::String()
// returns, is the text itself (a std::string) together with the text operations.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"

namespace OTX {

// The OTX text operations of a string value.
class KESMAR_API IStringUtil {
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
  COtxStringBehaviour(const COtxStringBehaviour& other);
  COtxStringBehaviour& operator=(const COtxStringBehaviour& other);
  ~COtxStringBehaviour() override;

  // strtoll with base 0 over the whole text; throws TypeMismatchException unless the
  // text is exactly one integer within 64 bits.
  CKesmar ToInteger() const override;
  // A copy of the text in a new value.
  CKesmar ToString() const override;
  // strtod in the classic locale; one trailing 'f' or 'd' (any case) is allowed. Throws
  // TypeMismatchException for no number or a range error.
  CKesmar ToFloat() const override;
  // Writes the text as a formatted insertion (width, fill and adjustment apply).
  std::ostream& ToStream(std::ostream& stream, int indent) const override;
  const OTX::IString& IString() const override { return *this; }

  // The text.
  const std::string& Text() const { return *this; }

 protected:
  // Byte-wise comparison with other strings (bytes unsigned, shorter prefix first).
  bool Compare(Comparison op, const CKesmar& other) const override;
};

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
  // From the JSON object form: shares the behaviour of the map's "value" member, whatever
  // its type. Throws std::out_of_range "invalid map<K, T> key" when it is missing.
  explicit COtxString(const CKesmar& object);
  COtxString(const COtxString&) = default;
  COtxString& operator=(const COtxString&) = default;
  ~COtxString() override;
};
