#include "CKesmar.h"

#include <array>
#include <ostream>
#include <utility>

#include "CKesmarBehaviour.h"
#include "COtxException.h"
#include "core/detail/Allocation.h"

namespace {

// Thread-local, so that concurrent what() calls never overwrite each other's text; the
// pointer stays valid until the same thread calls what() again.
thread_local std::string t_whatText;

// Value-type names; built once on first use (thread-safe static initialisation).
const std::array<std::string, OTX::UNKNOWN + 1>& TypeNames() {
  static const std::array<std::string, OTX::UNKNOWN + 1> names = {
      "EMPTY",
      "BOOLEAN",
      "INTEGER",
      "STRING",
      "RESULT",
      "RESPONSE",
      "LIST",
      "MAP",
      "BYTEFIELD",
      "PARAMETER",
      "RESULT_STATE",
      "RESPONSE_STATE",
      "EXCEPTION",
      "EVENT_SOURCE",
      "EVENT",
      "FLOAT",
      "QUANTITY",
      "UNIT",
      "REQUEST",
      "CONTAINER",
      "COM_CHANNEL",
      "DIAG_SERVICE",
      "CONFIRMATION_TYPE",
      "MESSAGE_TYPE",
      "SERVICE_PROVIDER",
      "SERVICE_PROVIDER_SERVICE",
      "STRING_ENCODING",
      "LOG_LEVEL",
      "FLASH_SESSION",
      "AUDIENCE",
      "ENUMERATION_ITEM",
      "CONNECTION_STATUS",
      "COM_INTERFACE",
      "FILE_HANDLE",
      "FILE_READ_HANDLE",
      "COM_CHANNEL_STATE",
      "UNKNOWN",
  };
  return names;
}

// The behaviour of a handle; the stand-in EMPTY behaviour for a handle that holds none (it
// was moved from). Nothing changes the stand-in: SetOTXJSON skips it and
// GetBehaviourReference hands out a fresh EMPTY behaviour instead.
CKesmarBehaviour& Self(const std::shared_ptr<CKesmarBehaviour>& behaviour) {
  if (behaviour) [[likely]] return *behaviour;
  static CKesmarBehaviour* const empty = new CKesmarBehaviour();
  return *empty;
}

}  // namespace

CKesmar::CKesmar() : m_behaviour(kesmar::detail::MakeBehaviour<CKesmarBehaviour>()) {}

CKesmar::CKesmar(const CKesmar& other) = default;

CKesmar::CKesmar(CKesmar&& other) noexcept = default;

CKesmar::CKesmar(const std::shared_ptr<CKesmarBehaviour>& behaviour) : m_behaviour(behaviour) {}

CKesmar::CKesmar(std::shared_ptr<CKesmarBehaviour>&& behaviour) noexcept
    : m_behaviour(std::move(behaviour)) {}

CKesmar& CKesmar::operator=(const CKesmar& other) = default;

CKesmar& CKesmar::operator=(CKesmar&& other) noexcept = default;

CKesmar::~CKesmar() = default;

std::shared_ptr<CKesmarBehaviour> CKesmar::GetBehaviourReference() const {
  // A handle without a behaviour hands out an EMPTY value of its own, so that nobody changes
  // the shared stand-in.
  return m_behaviour ? m_behaviour : kesmar::detail::MakeBehaviour<CKesmarBehaviour>();
}

std::weak_ptr<CKesmarBehaviour> CKesmar::GetWeakBehaviourReference() const { return m_behaviour; }

OTX::ValueType CKesmar::Type() const { return Self(m_behaviour).Type(); }

const std::string& CKesmar::stringType() const { return Self(m_behaviour).StringType(); }

const std::string& CKesmar::StringType(OTX::ValueType type) {
  const auto& names = TypeNames();
  if (type < 0 || type >= static_cast<int>(names.size())) return names[OTX::UNKNOWN];
  return names[static_cast<std::size_t>(type)];
}

const char* CKesmar::what() const noexcept {
  try {
    if (Type() != OTX::EXCEPTION) {
      t_whatText = stringType() + " should not be used as an EXCEPTION";
    } else {
      const OTX::IException& thrown = Exception();
      t_whatText = thrown.GetType() + ": " + thrown.GetText();
    }
  } catch (...) {
    // An identifier outside the registry, or no memory: still answer, with a text that
    // needs no allocation.
    return "UNKNOWN exception";
  }
  return t_whatText.c_str();
}

CKesmar CKesmar::Abs() const { return Self(m_behaviour).Abs(); }
bool CKesmar::Bool() const { return Self(m_behaviour).Bool(); }
long long CKesmar::Int() const { return Self(m_behaviour).Int(); }
double CKesmar::Float() const { return Self(m_behaviour).Float(); }
int CKesmar::Precision() const { return Self(m_behaviour).Precision(); }
bool CKesmar::IsInt() const { return Self(m_behaviour).IsInt(); }
bool CKesmar::IsContainer() const { return Self(m_behaviour).IsContainer(); }
const OTX::IString& CKesmar::String() const { return Self(m_behaviour).IString(); }
OTX::IMessage& CKesmar::Message() const { return Self(m_behaviour).IMessage(); }
OTX::IResult& CKesmar::Result() const { return Self(m_behaviour).IResult(); }
const OTX::IResponse& CKesmar::Response() const { return Self(m_behaviour).IResponse(); }
OTX::IParameter& CKesmar::Parameter() const { return Self(m_behaviour).IParameter(); }
const OTX::IException& CKesmar::Exception() const { return Self(m_behaviour).IException(); }
OTX::IEventSource& CKesmar::EventSource() const { return Self(m_behaviour).IEventSource(); }
const OTX::IEvent& CKesmar::Event() const { return Self(m_behaviour).IEvent(); }
std::vector<CKesmar>& CKesmar::List() const { return Self(m_behaviour).List(); }
std::map<CKesmar, CKesmar>& CKesmar::Map() const { return Self(m_behaviour).Map(); }
OTX::IByteField& CKesmar::ByteField() const { return Self(m_behaviour).ByteField(); }
OTX::IQuantity& CKesmar::Quantity() const { return Self(m_behaviour).Quantity(); }
const OTX::IUnit& CKesmar::Unit() const { return Self(m_behaviour).IUnit(); }
OTX::IRequest& CKesmar::Request() const { return Self(m_behaviour).Request(); }
OTX::IParameterContainer& CKesmar::Container() const { return Self(m_behaviour).Container(); }
OTX::IComChannel& CKesmar::ComChannel() const { return Self(m_behaviour).ComChannel(); }
OTX::IDiagService& CKesmar::DiagService() const { return Self(m_behaviour).DiagService(); }
OTX::IServiceProviderService& CKesmar::ServiceProviderService() const {
  return Self(m_behaviour).ServiceProviderService();
}
OTX::IServiceProvider& CKesmar::ServiceProvider() const {
  return Self(m_behaviour).ServiceProvider();
}
OTX::IFlashSession& CKesmar::FlashSession() const { return Self(m_behaviour).FlashSession(); }
OTX::IComInterface& CKesmar::ComInterface() const { return Self(m_behaviour).ComInterface(); }
OTX::IFileHandle& CKesmar::FileHandle() const { return Self(m_behaviour).FileHandle(); }
OTX::IFileReadHandle& CKesmar::FileReadHandle() const { return Self(m_behaviour).FileReadHandle(); }

std::ostream& CKesmar::ToStream(std::ostream& stream, int indent) const {
  return Self(m_behaviour).ToStream(stream, indent);
}

void CKesmar::SetOTXJSON(bool otxJson) const {
  if (m_behaviour) Self(m_behaviour).SetOtxJSON(otxJson);
}

CKesmar CKesmar::ToJSON() const { return Self(m_behaviour).JSON(); }

void CKesmar::WriteJSON(std::string& out) const {
  const CKesmarBehaviour& self = Self(m_behaviour);
  self.WriteJSON(out, self.OtxJSON());
}

CKesmar CKesmar::ToBoolean() const {
  return Type() == OTX::BOOLEAN ? *this : Self(m_behaviour).ToBoolean();
}
CKesmar CKesmar::ToInteger() const {
  return Type() == OTX::INTEGER ? *this : Self(m_behaviour).ToInteger();
}
CKesmar CKesmar::ToFloat() const {
  return Type() == OTX::FLOAT ? *this : Self(m_behaviour).ToFloat();
}
CKesmar CKesmar::ToString() const {
  return Type() == OTX::STRING ? *this : Self(m_behaviour).ToString();
}
CKesmar CKesmar::ToByteField() const {
  return Type() == OTX::BYTEFIELD ? *this : Self(m_behaviour).ToByteField();
}
CKesmar CKesmar::ToQuantity() const {
  return Type() == OTX::QUANTITY ? *this : Self(m_behaviour).ToQuantity();
}

bool CKesmar::operator==(const CKesmar& other) const { return Self(m_behaviour).IsEqual(other); }
bool CKesmar::operator!=(const CKesmar& other) const { return Self(m_behaviour).IsNotEqual(other); }
bool CKesmar::operator<(const CKesmar& other) const { return Self(m_behaviour).IsLessThan(other); }
bool CKesmar::operator<=(const CKesmar& other) const {
  return Self(m_behaviour).IsLessThanOrEqual(other);
}
bool CKesmar::operator>(const CKesmar& other) const {
  return Self(m_behaviour).IsGreaterThan(other);
}
bool CKesmar::operator>=(const CKesmar& other) const {
  return Self(m_behaviour).IsGreaterThanOrEqual(other);
}
CKesmar CKesmar::operator*(const CKesmar& other) const { return Self(m_behaviour).Multiply(other); }
CKesmar CKesmar::operator/(const CKesmar& other) const { return Self(m_behaviour).Divide(other); }
CKesmar CKesmar::operator+(const CKesmar& other) const { return Self(m_behaviour).Add(other); }
CKesmar CKesmar::operator-(const CKesmar& other) const { return Self(m_behaviour).Subtract(other); }
CKesmar CKesmar::operator%(const CKesmar& other) const { return Self(m_behaviour).Modulo(other); }

std::ostream& operator<<(std::ostream& stream, const CKesmar& value) {
  return value.ToStream(stream, 0);
}
