// CKesmarBehaviour: the polymorphic implementation behind every CKesmar handle. The base
// answers the type-independent operations (type, type name, type equality, JSON envelope,
// stream output) and makes every type-specific one throw COtxException
// (TypeMismatchException) with a message naming the value's type; a value type supports an
// operation by overriding it. The only mutable state of the base is the OTX-JSON flag.
// Behaviours always live in a std::shared_ptr (made with std::make_shared or
// std::allocate_shared).
#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CKesmar.h"
#include "KesmarExport.h"

// The base of every value's implementation; each operation a value type does not override
// throws TypeMismatchException naming the value's type.
class KESMAR_API CKesmarBehaviour : public std::enable_shared_from_this<CKesmarBehaviour> {
 public:
  // Type EMPTY, OTX-JSON flag false.
  CKesmarBehaviour();
  explicit CKesmarBehaviour(OTX::ValueType type);
  // Copies type and flag; the copy starts without an owning shared pointer.
  CKesmarBehaviour(const CKesmarBehaviour& other);
  // Copies type and flag.
  CKesmarBehaviour& operator=(const CKesmarBehaviour& other);
  virtual ~CKesmarBehaviour();

  // True iff other is this object.
  virtual bool operator==(const CKesmarBehaviour* other) const;

  // Base: equal iff the other value has the same type; orderings are false.
  virtual bool IsEqual(const CKesmar& other) const;
  // Base: the negation of IsEqual.
  virtual bool IsNotEqual(const CKesmar& other) const;
  virtual bool IsLessThan(const CKesmar& other) const;
  virtual bool IsLessThanOrEqual(const CKesmar& other) const;
  virtual bool IsGreaterThan(const CKesmar& other) const;
  virtual bool IsGreaterThanOrEqual(const CKesmar& other) const;

  // Arithmetic with this value as the left operand; the base throws.
  virtual CKesmar Multiply(const CKesmar& other) const;
  virtual CKesmar Divide(const CKesmar& other) const;
  virtual CKesmar Add(const CKesmar& other) const;
  virtual CKesmar Subtract(const CKesmar& other) const;
  virtual CKesmar Modulo(const CKesmar& other) const;
  virtual CKesmar Abs() const;

  // Conversions into new values; the base throws, except ToString, which gives "EMPTY".
  virtual CKesmar ToBoolean() const;
  virtual CKesmar ToInteger() const;
  virtual CKesmar ToString() const;
  virtual CKesmar ToHexBinaryString() const;
  virtual CKesmar ToFloat() const;
  virtual CKesmar ToByteField() const;
  virtual CKesmar ToQuantity() const;

  // Base: writes the text of ToString(); indent is used by lists and maps.
  virtual std::ostream& ToStream(std::ostream& stream, int indent) const;
  virtual void SetOtxJSON(bool otxJson);
  // Base: the JSON string "not supported", quotes included.
  virtual CKesmar ToJSON() const;
  // Base: {"type":"<type name>","value":<ToJSON()>}.
  virtual CKesmar ToJSONObject() const;

  virtual bool IsContainer() const;
  virtual bool IsInt() const;

  // Accessors of the value's content; the base throws "<T> is not a <TYPE>".
  virtual bool Bool() const;
  virtual long long Int() const;
  virtual double Float() const;
  virtual int Precision() const;
  virtual const OTX::IString& IString() const;
  virtual OTX::IMessage& IMessage();
  virtual OTX::IResult& IResult();
  virtual const OTX::IResponse& IResponse() const;
  virtual OTX::IParameter& IParameter();
  virtual const OTX::IException& IException() const;
  virtual OTX::IEventSource& IEventSource();
  virtual const OTX::IEvent& IEvent() const;
  virtual std::vector<CKesmar>& List();
  virtual std::map<CKesmar, CKesmar>& Map();
  virtual OTX::IByteField& ByteField();
  virtual OTX::IQuantity& Quantity();
  virtual const OTX::IUnit& IUnit() const;
  virtual OTX::IRequest& Request();
  virtual OTX::IParameterContainer& Container();
  virtual OTX::IComChannel& ComChannel();
  virtual OTX::IDiagService& DiagService();
  virtual OTX::IServiceProviderService& ServiceProviderService();
  virtual OTX::IServiceProvider& ServiceProvider();
  virtual OTX::IFlashSession& FlashSession();
  virtual OTX::IComInterface& ComInterface();
  virtual OTX::IFileHandle& FileHandle();
  virtual OTX::IFileReadHandle& FileReadHandle();

  // Appends the object form (objectForm) or the plain form to out. The base appends the
  // text of ToJSONObject() or ToJSON(); containers write their elements in place, so a tree
  // renders in time linear in its text.
  virtual void WriteJSON(std::string& out, bool objectForm) const;

  OTX::ValueType Type() const { return m_type; }
  // The type name; "UNKNOWN" for a type number outside the table.
  const std::string& StringType() const;
  bool OtxJSON() const { return m_otxJson; }
  // ToJSONObject() when the OTX-JSON flag is set, else ToJSON().
  CKesmar JSON() const;

 protected:
  // Throws TypeMismatchException "<T> is not a <expected>".
  [[noreturn]] void ThrowNotA(const char* expected) const;
  // Throws TypeMismatchException "<T> to <target>".
  [[noreturn]] void ThrowNoConversion(const char* target) const;
  // Throws TypeMismatchException "<operation> <T>", e.g. "adding BOOLEAN".
  [[noreturn]] void ThrowNoOperation(const char* operation) const;

 private:
  OTX::ValueType m_type;
  bool m_otxJson = false;
};
