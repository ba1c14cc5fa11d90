// COtxStringEncoding: the OTX StringEncoding value, one of the eleven character-encoding
// names that text in byte fields and files may use. It is an integer value (the encoding's
// number, radix DEC) of type STRING_ENCODING whose text is the name. Immutable; the name table
// is read-only after load, so values and names may be used from any thread.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxInt.h"
#include "KesmarExport.h"

// A new encoding value; never throws. Its object form does not read back: the value factory
// makes no STRING_ENCODING ("Class key not registered"); the number in "value" rebuilds it.
class KESMAR_API COtxStringEncoding : public CKesmar {
 public:
  // Numbered as the name table; the names are "US-ASCII", "ISO-8859-1", "UTF-8", "UTF-16BE",
  // "UTF-16LE", "UTF-16", "BIN", "OCT", "HEX", "ISO-8859-2", "WINDOWS-1252".
  enum Encoding : int {
    US_ASCII = 0,
    ISO_8859_1 = 1,
    UTF_8 = 2,
    UTF_16BE = 3,
    UTF_16LE = 4,
    UTF_16 = 5,
    BIN = 6,
    OCT = 7,
    HEX = 8,
    ISO_8859_2 = 9,
    WINDOWS_1252 = 10,
  };

  explicit COtxStringEncoding(Encoding encoding);
  // The encoding whose name equals name exactly (case-sensitive); US-ASCII for any other text.
  explicit COtxStringEncoding(const std::string& name);
  COtxStringEncoding(const COtxStringEncoding&) = default;
  COtxStringEncoding(COtxStringEncoding&&) = default;
  COtxStringEncoding& operator=(const COtxStringEncoding&) = default;
  COtxStringEncoding& operator=(COtxStringEncoding&&) = default;
  ~COtxStringEncoding() override;

  // The name of an encoding; "" for a number outside the table. The table is shared and
  // read-only.
  static const std::string& String(Encoding encoding);
  using CKesmar::String;
};

// The encoding's implementation: the integer behaviour with the name table.
class KESMAR_API COtxStringEncodingBehaviour : public COtxIntBehaviour {
 public:
  explicit COtxStringEncodingBehaviour(int encoding);

  // The encoding's name; "" for a number outside the table.
  CKesmar ToString() const override;
  // {"type":"STRING_ENCODING","value":"<number>"}.
  CKesmar ToJSONObject() const override;
  // The number of the encoding named name (exact match), 0 (US-ASCII) for any other text.
  virtual int EncodingFromName(const std::string& name) const;
};
