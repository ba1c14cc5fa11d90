#include "CKesmarBehaviour.h"

#include <ostream>

#include "COtxException.h"
#include "COtxString.h"
#include "core/detail/Errors.h"
#include "core/detail/JsonWriter.h"

namespace kesmar::detail {

void ThrowTypeMismatch(const std::string& message) {
  throw COtxException(OTX::TypeMismatchException, message);
}

void ThrowOutOfBounds(const std::string& message) {
  throw COtxException(OTX::OutOfBoundsException, message);
}

}  // namespace kesmar::detail

using kesmar::detail::ThrowTypeMismatch;

CKesmarBehaviour::CKesmarBehaviour() : m_type(OTX::EMPTY) {}

CKesmarBehaviour::CKesmarBehaviour(OTX::ValueType type) : m_type(type) {}

CKesmarBehaviour::CKesmarBehaviour(const CKesmarBehaviour& other)
    : std::enable_shared_from_this<CKesmarBehaviour>(),
      m_type(other.m_type),
      m_otxJson(other.m_otxJson) {}

CKesmarBehaviour& CKesmarBehaviour::operator=(const CKesmarBehaviour& other) {
  m_type = other.m_type;
  m_otxJson = other.m_otxJson;
  return *this;
}

CKesmarBehaviour::~CKesmarBehaviour() = default;

void CKesmarBehaviour::ThrowNotA(const char* expected) const {
  ThrowTypeMismatch(StringType() + " is not a " + expected);
}

void CKesmarBehaviour::ThrowNoConversion(const char* target) const {
  ThrowTypeMismatch(StringType() + " to " + target);
}

void CKesmarBehaviour::ThrowNoOperation(const char* operation) const {
  ThrowTypeMismatch(std::string(operation) + " " + StringType());
}

bool CKesmarBehaviour::operator==(const CKesmarBehaviour* other) const { return other == this; }

bool CKesmarBehaviour::IsEqual(const CKesmar& other) const { return other.Type() == m_type; }
bool CKesmarBehaviour::IsNotEqual(const CKesmar& other) const { return !IsEqual(other); }
bool CKesmarBehaviour::IsLessThan(const CKesmar&) const { return false; }
bool CKesmarBehaviour::IsLessThanOrEqual(const CKesmar&) const { return false; }
bool CKesmarBehaviour::IsGreaterThan(const CKesmar&) const { return false; }
bool CKesmarBehaviour::IsGreaterThanOrEqual(const CKesmar&) const { return false; }

CKesmar CKesmarBehaviour::Multiply(const CKesmar&) const { ThrowNoOperation("multiplying"); }
CKesmar CKesmarBehaviour::Divide(const CKesmar&) const { ThrowNoOperation("dividing"); }
CKesmar CKesmarBehaviour::Add(const CKesmar&) const { ThrowNoOperation("adding"); }
CKesmar CKesmarBehaviour::Subtract(const CKesmar&) const { ThrowNoOperation("subtracting"); }
CKesmar CKesmarBehaviour::Modulo(const CKesmar&) const { ThrowNoOperation("modulo of"); }
CKesmar CKesmarBehaviour::Abs() const { ThrowNoOperation("abs of"); }

CKesmar CKesmarBehaviour::ToBoolean() const { ThrowNoConversion("BOOLEAN"); }
CKesmar CKesmarBehaviour::ToInteger() const { ThrowNoConversion("INTEGER"); }
CKesmar CKesmarBehaviour::ToString() const { return COtxString(std::string("EMPTY")); }
CKesmar CKesmarBehaviour::ToHexBinaryString() const { ThrowNoConversion("HEXBIN"); }
CKesmar CKesmarBehaviour::ToFloat() const { ThrowNoConversion("FLOAT"); }
CKesmar CKesmarBehaviour::ToByteField() const { ThrowNoConversion("BYTEFIELD"); }
CKesmar CKesmarBehaviour::ToQuantity() const { ThrowNoConversion("QUANTITY"); }

std::ostream& CKesmarBehaviour::ToStream(std::ostream& stream, int) const {
  return stream << ToString();
}

void CKesmarBehaviour::SetOtxJSON(bool otxJson) { m_otxJson = otxJson; }

CKesmar CKesmarBehaviour::ToJSON() const { return COtxString(std::string("\"not supported\"")); }

CKesmar CKesmarBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType()).Raw("value", ToJSON().String()).End();
  return kesmar::detail::JsonValue(std::move(text));
}

void CKesmarBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  out += (objectForm ? ToJSONObject() : ToJSON()).String();
}

bool CKesmarBehaviour::IsContainer() const { return false; }
bool CKesmarBehaviour::IsInt() const { return false; }

bool CKesmarBehaviour::Bool() const { ThrowNotA("BOOLEAN"); }
long long CKesmarBehaviour::Int() const { ThrowNotA("INTEGER"); }
double CKesmarBehaviour::Float() const { ThrowNotA("FLOAT"); }
int CKesmarBehaviour::Precision() const {
  ThrowTypeMismatch(StringType() + " does not have precision");
}
const OTX::IString& CKesmarBehaviour::IString() const { ThrowNotA("STRING"); }
OTX::IMessage& CKesmarBehaviour::IMessage() { ThrowNotA("MESSAGE_TYPE"); }
OTX::IResult& CKesmarBehaviour::IResult() { ThrowNotA("RESULT"); }
const OTX::IResponse& CKesmarBehaviour::IResponse() const { ThrowNotA("RESPONSE"); }
OTX::IParameter& CKesmarBehaviour::IParameter() { ThrowNotA("PARAMETER"); }
const OTX::IException& CKesmarBehaviour::IException() const { ThrowNotA("EXCEPTION"); }
OTX::IEventSource& CKesmarBehaviour::IEventSource() { ThrowNotA("EVENT_SOURCE"); }
const OTX::IEvent& CKesmarBehaviour::IEvent() const { ThrowNotA("EVENT"); }
std::vector<CKesmar>& CKesmarBehaviour::List() { ThrowNotA("LIST"); }
std::map<CKesmar, CKesmar>& CKesmarBehaviour::Map() { ThrowNotA("MAP"); }
OTX::IByteField& CKesmarBehaviour::ByteField() { ThrowNotA("BYTEFIELD"); }
OTX::IQuantity& CKesmarBehaviour::Quantity() { ThrowNotA("QUANTITY"); }
const OTX::IUnit& CKesmarBehaviour::IUnit() const { ThrowNotA("UNIT"); }
OTX::IRequest& CKesmarBehaviour::Request() { ThrowNotA("REQUEST"); }
OTX::IParameterContainer& CKesmarBehaviour::Container() { ThrowNotA("CONTAINER"); }
OTX::IComChannel& CKesmarBehaviour::ComChannel() { ThrowNotA("COM_CHANNEL"); }
OTX::IDiagService& CKesmarBehaviour::DiagService() { ThrowNotA("DIAG_SERVICE"); }
OTX::IServiceProviderService& CKesmarBehaviour::ServiceProviderService() {
  ThrowNotA("SERVICE_PROVIDER_SERVICE");
}
OTX::IServiceProvider& CKesmarBehaviour::ServiceProvider() { ThrowNotA("SERVICE_PROVIDER"); }
OTX::IFlashSession& CKesmarBehaviour::FlashSession() { ThrowNotA("FLASH_SESSION"); }
OTX::IComInterface& CKesmarBehaviour::ComInterface() { ThrowNotA("COM_INTERFACE"); }
OTX::IFileHandle& CKesmarBehaviour::FileHandle() { ThrowNotA("FILE_HANDLE"); }
OTX::IFileReadHandle& CKesmarBehaviour::FileReadHandle() { ThrowNotA("FILE_READ_HANDLE"); }

const std::string& CKesmarBehaviour::StringType() const { return CKesmar::StringType(m_type); }

CKesmar CKesmarBehaviour::JSON() const { return m_otxJson ? ToJSONObject() : ToJSON(); }

// The runtime's interfaces are abstract through their destructors, which still need a body.
OTX::IMessage::~IMessage() = default;
OTX::IResult::~IResult() = default;
OTX::IResponse::~IResponse() = default;
OTX::IParameter::~IParameter() = default;
OTX::IRequest::~IRequest() = default;
OTX::IParameterContainer::~IParameterContainer() = default;
OTX::IComChannel::~IComChannel() = default;
OTX::IDiagService::~IDiagService() = default;
OTX::IServiceProvider::~IServiceProvider() = default;
OTX::IServiceProviderService::~IServiceProviderService() = default;
OTX::IFlashSession::~IFlashSession() = default;
OTX::IComInterface::~IComInterface() = default;
