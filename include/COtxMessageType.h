// COtxMessageType: the OTX MessageType, the kind of a message shown to the user. An integer
// of type MESSAGE_TYPE whose text is "INFO", "WARNING", "ERROR", "YESNO_QUESTION" or
// "YESNOCANCEL_QUESTION"; its object form carries the name. Immutable and safe to share
// between threads.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxEnumeratedBehaviour.h"
#include "KesmarExport.h"

// A new message type. Its object form reads back through the name.
class KESMAR_API COtxMessageType : public CKesmar {
 public:
  enum MessageType : int {
    INFO = 0,
    WARNING = 1,
    ERROR = 2,
    YESNO_QUESTION = 3,
    YESNOCANCEL_QUESTION = 4,
  };

  // A number outside the enumeration is kept and renders as "".
  explicit COtxMessageType(MessageType type);
  // The kind named name exactly (case-sensitive); INFO for any other text.
  explicit COtxMessageType(const std::string& name);
  // From the JSON object form: the name in "value". Throws std::out_of_range
  // "invalid map<K, T> key" when it is missing, TypeMismatchException when object is not a
  // map or the name not a string.
  explicit COtxMessageType(const CKesmar& object);
  COtxMessageType(const COtxMessageType&) = default;
  COtxMessageType(COtxMessageType&&) = default;
  COtxMessageType& operator=(const COtxMessageType&) = default;
  COtxMessageType& operator=(COtxMessageType&&) = default;
  ~COtxMessageType() override;
};

// The message type's implementation: its name table over the integer behaviour.
class KESMAR_API COtxMessageTypeBehaviour : public COtxNamedEnumeratedBehaviour {
 public:
  explicit COtxMessageTypeBehaviour(long long type);

 protected:
  std::span<const std::string_view> Names() const override;
};
