#include "COtxException.h"

#include <stdexcept>

#include "COtxString.h"
#include "core/detail/Allocation.h"
#include "core/detail/ObjectForm.h"
#include "core/detail/JsonWriter.h"

namespace {

const std::vector<std::string>& ExceptionNames() {
  static const std::vector<std::string> names = {
      "Exception",
      "InvalidReferenceException",
      "OutOfBoundsException",
      "ArithmeticException",
      "AmbiguousCallException",
      "TypeMismatchException",
      "UserException",
      "DiagComException",
      "UnknownTargetException",
      "AmbiguousSemanticException",
      "UnknownResponseException",
      "IncompleteParameterizationException",
      "InvalidStateException",
      "GetDiagServiceFromException",
      "UnknownComChannelException",
      "LossOfComException",
      "QuantityException",
      "UnknownUnitException",
      "InvalidConversionException",
      "StringUtilException",
      "UnsupportedEncodingException",
      "ProviderException",
      "ProviderServiceException",
      "ProviderDisposedException",
      "ConfigurationException",
      "ExecuteException",
      "FlashException",
      "UnsupportedFormatException",
      "PersistenceException",
      "PersistenceSaveException",
      "ActivateEthernetException",
      "ComInterfaceException",
      "IgnitionStateException",
      "NoDefaultComInterfaceException",
      "VCINotConnectedException",
      "FileAccessException",
      "FileException",
      "FileFormatException",
      "FileLockException",
      "FileNotFoundException",
      "FileOpenException",
      "FileSaveException",
      "MaxExceptionId",
  };
  return names;
}

constexpr const char* kUnregistered = "Unregistered exception: ";

}  // namespace

const std::vector<std::string>& COtxExceptions::m_ExceptionType = ExceptionNames();
std::map<OTX::Exceptions_e, std::reference_wrapper<const std::type_info>>
    COtxExceptions::m_ExceptionId;
std::mutex COtxExceptions::m_mutex;

COtxExceptions::~COtxExceptions() = default;

void COtxExceptions::Add(OTX::Exceptions_e id, const std::type_info& type) {
  std::lock_guard lock(m_mutex);
  m_ExceptionId.emplace(id, std::cref(type));
}

const std::type_info& COtxExceptions::Get(OTX::Exceptions_e id) {
  {
    std::lock_guard lock(m_mutex);
    if (auto found = m_ExceptionId.find(id); found != m_ExceptionId.end()) return found->second;
  }
  throw std::runtime_error(kUnregistered + GetType(id));
}

OTX::Exceptions_e COtxExceptions::GetId(const std::string& name) {
  const auto& names = ExceptionNames();
  // Identifier 0 and the end marker are not exception kinds a name can select.
  for (int id = OTX::InvalidReferenceException; id < OTX::MaxExceptionId; ++id) {
    if (names[static_cast<std::size_t>(id)] == name) return static_cast<OTX::Exceptions_e>(id);
  }
  throw std::runtime_error(kUnregistered + name);
}

const std::string& COtxExceptions::GetType(OTX::Exceptions_e id) {
  const auto& names = ExceptionNames();
  if (id < 0 || id > OTX::MaxExceptionId) {
    throw std::out_of_range("exception identifier " + std::to_string(static_cast<int>(id)) +
                            " is outside 0 to 42");
  }
  return names[static_cast<std::size_t>(id)];
}

COtxExceptionBehaviour::COtxExceptionBehaviour(OTX::Exceptions_e id, std::string typeText,
                                               std::string text)
    : CKesmarBehaviour(OTX::EXCEPTION),
      m_id(id),
      m_typeText(std::move(typeText)),
      m_text(std::move(text)) {}

bool COtxExceptionBehaviour::IsEqual(const CKesmar& other) const {
  return other.Type() == OTX::EXCEPTION && other.Exception().GetId() == m_id;
}

CKesmar COtxExceptionBehaviour::ToString() const { return COtxString(GetType() + ": " + m_text); }

CKesmar COtxExceptionBehaviour::ToJSON() const {
  std::string text;
  kesmar::detail::AppendJsonString(text, GetType() + ": " + m_text);
  return kesmar::detail::JsonValue(std::move(text));
}

CKesmar COtxExceptionBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType())
      .Text("value", m_text)
      .Text("exceptionType", GetType())
      .End();
  return kesmar::detail::JsonValue(std::move(text));
}

const OTX::IException& COtxExceptionBehaviour::IException() const { return *this; }

const std::string& COtxExceptionBehaviour::GetType() const {
  return COtxExceptions::GetType(m_id);
}

const std::type_info& COtxExceptionBehaviour::GetTypeInfo() const {
  return COtxExceptions::Get(m_id);
}

COtxException::COtxException(OTX::Exceptions_e id)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxExceptionBehaviour>(id, std::string(),
                                                                    std::string())) {}

COtxException::COtxException(OTX::Exceptions_e id, const std::string& message)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxExceptionBehaviour>(id, std::string(), message)) {}

COtxException::COtxException(OTX::Exceptions_e id, const std::string& type,
                             const std::string& message)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxExceptionBehaviour>(id, type, message)) {}

COtxException::COtxException(const std::string& type, const std::string& message)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxExceptionBehaviour>(COtxExceptions::GetId(type),
                                                                    type, message)) {}

namespace {

std::shared_ptr<CKesmarBehaviour> ExceptionFromObject(const CKesmar& object) {
  using kesmar::detail::ReadMember;
  const std::string& type = ReadMember<&CKesmar::String>(object, "exceptionType");
  const std::string& text = ReadMember<&CKesmar::String>(object, "value");
  return kesmar::detail::MakeBehaviour<COtxExceptionBehaviour>(COtxExceptions::GetId(type), type,
                                                               text);
}

}  // namespace

COtxException::COtxException(const CKesmar& object) : CKesmar(ExceptionFromObject(object)) {}

COtxException::~COtxException() = default;
