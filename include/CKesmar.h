// CKesmar: the handle through which every OTX run-time value is used. A handle is one shared
// pointer to a polymorphic CKesmarBehaviour; copies share the value, and every operation is
// one virtual call on the behaviour. A value of a type that lacks an operation throws
// COtxException (TypeMismatchException). Handles may be copied and released on any thread;
// a mutable value (byte field, list, map) used by two threads needs the caller's locking.
#pragma once

#include <cstdint>
#include <exception>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "KesmarExport.h"
#include "OtxInterfaces.h"

namespace OTX {

// The value types. The number indexes the table of type names, which also serve as the
// JSON "type" member and the factory's class key.
enum ValueType : std::int32_t {
  EMPTY = 0,
  BOOLEAN = 1,
  INTEGER = 2,
  STRING = 3,
  RESULT = 4,
  RESPONSE = 5,
  LIST = 6,
  MAP = 7,
  BYTEFIELD = 8,
  PARAMETER = 9,
  RESULT_STATE = 10,
  RESPONSE_STATE = 11,
  EXCEPTION = 12,
  EVENT_SOURCE = 13,
  EVENT = 14,
  FLOAT = 15,
  QUANTITY = 16,
  UNIT = 17,
  REQUEST = 18,
  CONTAINER = 19,
  COM_CHANNEL = 20,
  DIAG_SERVICE = 21,
  CONFIRMATION_TYPE = 22,
  MESSAGE_TYPE = 23,
  SERVICE_PROVIDER = 24,
  SERVICE_PROVIDER_SERVICE = 25,
  STRING_ENCODING = 26,
  LOG_LEVEL = 27,
  FLASH_SESSION = 28,
  AUDIENCE = 29,
  ENUMERATION_ITEM = 30,
  CONNECTION_STATUS = 31,
  COM_INTERFACE = 32,
  FILE_HANDLE = 33,
  FILE_READ_HANDLE = 34,
  COM_CHANNEL_STATE = 35,
  UNKNOWN = 36,
};

}  // namespace OTX

class CKesmarBehaviour;

// A shared handle on one value. It is a std::exception so that a COtxException is thrown
// and caught as one; an operation the value's type lacks throws TypeMismatchException.
class KESMAR_API CKesmar : public std::exception {
 public:
  // A new value of type EMPTY.
  CKesmar();
  CKesmar(const CKesmar& other);
  // Takes over other's value without touching its reference count. other is left holding no
  // behaviour and acts as an EMPTY value (its SetOTXJSON does nothing) until it is assigned.
  CKesmar(CKesmar&& other) noexcept;
  // Shares the given behaviour; a null behaviour acts as an EMPTY value, as a moved-from
  // handle does.
  CKesmar(const std::shared_ptr<CKesmarBehaviour>& behaviour);
  // Takes over the given behaviour (null acts as an EMPTY value, as above).
  CKesmar(std::shared_ptr<CKesmarBehaviour>&& behaviour) noexcept;
  CKesmar& operator=(const CKesmar& other);
  CKesmar& operator=(CKesmar&& other) noexcept;
  ~CKesmar() override;

  // A new strong reference to the shared behaviour.
  std::shared_ptr<CKesmarBehaviour> GetBehaviourReference() const;
  // A weak reference to the shared behaviour.
  std::weak_ptr<CKesmarBehaviour> GetWeakBehaviourReference() const;

  OTX::ValueType Type() const;
  // The name of this value's type, "UNKNOWN" for numbers outside the table.
  const std::string& stringType() const;
  // The name of a value type; "UNKNOWN" for numbers outside 0 to 36.
  static const std::string& StringType(OTX::ValueType type);

  // For an EXCEPTION: "<registered name>: <message>"; for any other value a note that it
  // should not be used as an exception. The text stays valid until this thread's next call.
  const char* what() const noexcept override;

  // Forwarded unchanged to the behaviour; unsupported ones throw TypeMismatchException.
  CKesmar Abs() const;
  bool Bool() const;
  long long Int() const;
  double Float() const;
  int Precision() const;
  bool IsInt() const;
  bool IsContainer() const;
  const OTX::IString& String() const;
  OTX::IMessage& Message() const;
  OTX::IResult& Result() const;
  const OTX::IResponse& Response() const;
  OTX::IParameter& Parameter() const;
  const OTX::IException& Exception() const;
  OTX::IEventSource& EventSource() const;
  const OTX::IEvent& Event() const;
  std::vector<CKesmar>& List() const;
  std::map<CKesmar, CKesmar>& Map() const;
  OTX::IByteField& ByteField() const;
  OTX::IQuantity& Quantity() const;
  const OTX::IUnit& Unit() const;
  OTX::IRequest& Request() const;
  OTX::IParameterContainer& Container() const;
  OTX::IComChannel& ComChannel() const;
  OTX::IDiagService& DiagService() const;
  OTX::IServiceProviderService& ServiceProviderService() const;
  OTX::IServiceProvider& ServiceProvider() const;
  OTX::IFlashSession& FlashSession() const;
  OTX::IComInterface& ComInterface() const;
  OTX::IFileHandle& FileHandle() const;
  OTX::IFileReadHandle& FileReadHandle() const;
  std::ostream& ToStream(std::ostream& stream, int indent) const;
  // Selects the JSON object form (true) or the plain form (false) for ToJSON(); lists and
  // maps pass the flag on to their elements.
  void SetOTXJSON(bool otxJson) const;
  // The JSON text of the value as a STRING, in the form the OTX-JSON flag selects.
  CKesmar ToJSON() const;
  // Appends the ToJSON() text to out, writing containers element by element into the same
  // buffer.
  void WriteJSON(std::string& out) const;

  // Conversions: this handle itself when the value already has the target type, otherwise
  // the behaviour's conversion.
  CKesmar ToBoolean() const;
  CKesmar ToInteger() const;
  CKesmar ToFloat() const;
  CKesmar ToString() const;
  CKesmar ToByteField() const;
  CKesmar ToQuantity() const;

  // Each operator asks the left operand's behaviour; none is derived from another, so
  // a > b and b < a may differ for values of different types.
  bool operator==(const CKesmar& other) const;
  bool operator!=(const CKesmar& other) const;
  bool operator<(const CKesmar& other) const;
  bool operator<=(const CKesmar& other) const;
  bool operator>(const CKesmar& other) const;
  bool operator>=(const CKesmar& other) const;
  CKesmar operator*(const CKesmar& other) const;
  CKesmar operator/(const CKesmar& other) const;
  CKesmar operator+(const CKesmar& other) const;
  CKesmar operator-(const CKesmar& other) const;
  CKesmar operator%(const CKesmar& other) const;

 private:
  std::shared_ptr<CKesmarBehaviour> m_behaviour;
};

// Writes the value's stream form (the behaviour's ToStream at indent 0).
KESMAR_API std::ostream& operator<<(std::ostream& stream, const CKesmar& value);

namespace OTX {

// The order of map keys: a strict total order that agrees with operator< wherever that
// orders two values (keys of one type; integers and floats by exact value), and orders
// values that operator< leaves unordered by their type number, integers and floats counting
// as one type and NaN after every number. Lists and maps order element by element in it.
KESMAR_API bool KeyLess(const CKesmar& a, const CKesmar& b);

}  // namespace OTX

// std::map<CKesmar, ...> and every other ordered container of values orders by KeyLess, so
// keys of types that do not compare with each other stay distinct.
template <>
struct std::less<CKesmar> {
  bool operator()(const CKesmar& a, const CKesmar& b) const { return OTX::KeyLess(a, b); }
};
