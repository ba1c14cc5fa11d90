// COtxEnumeratedBehaviour: the behaviour shared by the closed OTX enumerations (confirmation
// type, message type, log level, result state, response state, communication-channel state).
// Each is an integer of its own value type: the number is the enumerator, the radix is DEC,
// and the text is the enumerator's name. Arithmetic, comparison and conversion are the
// integer's. Immutable; the name tables are constants, so values may be used from any thread.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "CKesmar.h"
#include "COtxInt.h"
#include "KesmarExport.h"

// The integer behaviour with a name table for the text form; never throws beyond the
// integer's operations. Its object form is the integer's, with its own type name.
class KESMAR_API COtxEnumeratedBehaviour : public COtxIntBehaviour {
 public:
  // The enumerator's name; "" for a number outside the table.
  CKesmar ToString() const override;
  // The enumerator whose name equals name byte for byte; 0 for any other text.
  virtual int EnumeratorFromName(const std::string& name) const;

  // The position of name in names (exact match), 0 when it is not there.
  static int Lookup(std::span<const std::string_view> names, const std::string& name);

 protected:
  COtxEnumeratedBehaviour(long long number, OTX::ValueType type);

  // The enumeration's names, indexed by enumerator.
  virtual std::span<const std::string_view> Names() const = 0;
};

// An enumeration whose object form carries its name instead of its number:
// {"type":"<type>","value":"<name>"}; it reads back through the name.
class KESMAR_API COtxNamedEnumeratedBehaviour : public COtxEnumeratedBehaviour {
 public:
  CKesmar ToJSONObject() const override;

 protected:
  using COtxEnumeratedBehaviour::COtxEnumeratedBehaviour;
};
