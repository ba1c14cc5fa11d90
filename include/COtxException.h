// COtxException: the EXCEPTION value that the library throws for every failure of its own
// rules. It carries an identifier of OTX::Exceptions_e, an optional type text and a
// message, never changes after construction, and can be stored, compared and rendered like
// any other value. COtxExceptions is the process-wide registry of identifier names and of
// the run-time types that the surrounding runtime registers; it is safe to use from any
// thread at any time.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <typeinfo>
#include <vector>

#include "CKesmar.h"
#include "CKesmarBehaviour.h"
#include "KesmarExport.h"

namespace OTX {

// Exception identifiers; MaxExceptionId ends the list and names no exception kind.
enum Exceptions_e : int {
  Exception = 0,
  InvalidReferenceException = 1,
  OutOfBoundsException = 2,
  ArithmeticException = 3,
  AmbiguousCallException = 4,
  TypeMismatchException = 5,
  UserException = 6,
  DiagComException = 7,
  UnknownTargetException = 8,
  AmbiguousSemanticException = 9,
  UnknownResponseException = 10,
  IncompleteParameterizationException = 11,
  InvalidStateException = 12,
  GetDiagServiceFromException = 13,
  UnknownComChannelException = 14,
  LossOfComException = 15,
  QuantityException = 16,
  UnknownUnitException = 17,
  InvalidConversionException = 18,
  StringUtilException = 19,
  UnsupportedEncodingException = 20,
  ProviderException = 21,
  ProviderServiceException = 22,
  ProviderDisposedException = 23,
  ConfigurationException = 24,
  ExecuteException = 25,
  FlashException = 26,
  UnsupportedFormatException = 27,
  PersistenceException = 28,
  PersistenceSaveException = 29,
  ActivateEthernetException = 30,
  ComInterfaceException = 31,
  IgnitionStateException = 32,
  NoDefaultComInterfaceException = 33,
  VCINotConnectedException = 34,
  FileAccessException = 35,
  FileException = 36,
  FileFormatException = 37,
  FileLockException = 38,
  FileNotFoundException = 39,
  FileOpenException = 40,
  FileSaveException = 41,
  MaxExceptionId = 42,
};

// What an EXCEPTION value tells about itself.
class KESMAR_API IException {
 public:
  virtual Exceptions_e GetId() const = 0;
  // The registered name of the identifier, e.g. "TypeMismatchException".
  virtual const std::string& GetType() const = 0;
  // The type text given at construction (may be empty).
  virtual const std::string& GetTypeText() const = 0;
  // The message.
  virtual const std::string& GetText() const = 0;
  // The run-time type registered for the identifier; throws std::runtime_error if none.
  virtual const std::type_info& GetTypeInfo() const = 0;

 protected:
  ~IException() = default;
};

}  // namespace OTX

// The registry of exception identifiers. Names are fixed at load; run-time types are added
// by the runtime with Add. All members are static and guarded, so any thread may register
// or look up at any time.
class KESMAR_API COtxExceptions {
 public:
  COtxExceptions() = default;
  COtxExceptions(const COtxExceptions&) = default;
  COtxExceptions& operator=(const COtxExceptions&) = default;
  virtual ~COtxExceptions();

  // Registers the run-time type of an identifier; the first registration of an id stays.
  static void Add(OTX::Exceptions_e id, const std::type_info& type);
  // The registered type; throws std::runtime_error "Unregistered exception: <name>".
  static const std::type_info& Get(OTX::Exceptions_e id);
  // The identifier (1 to 41) of a name, matched exactly; throws std::runtime_error
  // "Unregistered exception: <name>" for any other text.
  static OTX::Exceptions_e GetId(const std::string& name);
  // The name of an identifier; throws std::out_of_range outside 0 to 42.
  static const std::string& GetType(OTX::Exceptions_e id);

  // The 43 identifier names, index = identifier.
  static const std::vector<std::string>& m_ExceptionType;

 private:
  static std::map<OTX::Exceptions_e, std::reference_wrapper<const std::type_info>> m_ExceptionId;
  static std::mutex m_mutex;
};

// The exception's implementation: identifier, type text and message, fixed at construction.
class KESMAR_API COtxExceptionBehaviour : public CKesmarBehaviour, public OTX::IException {
 public:
  COtxExceptionBehaviour(OTX::Exceptions_e id, std::string typeText, std::string text);

  // Equal to another EXCEPTION with the same identifier; messages are not compared.
  bool IsEqual(const CKesmar& other) const override;
  // "<registered name>: <message>".
  CKesmar ToString() const override;
  // The ToString() text as a JSON string.
  CKesmar ToJSON() const override;
  // {"type":"EXCEPTION","value":"<message>","exceptionType":"<registered name>"}.
  CKesmar ToJSONObject() const override;
  const OTX::IException& IException() const override;

  OTX::Exceptions_e GetId() const override { return m_id; }
  const std::string& GetType() const override;
  const std::string& GetTypeText() const override { return m_typeText; }
  const std::string& GetText() const override { return m_text; }
  const std::type_info& GetTypeInfo() const override;

 private:
  OTX::Exceptions_e m_id;
  std::string m_typeText;
  std::string m_text;
};

// A new exception value. Its object form reads back for the identifiers 1 to 41; that of
// the generic Exception (0) throws "Unregistered exception: Exception" (GetId skips it).
class KESMAR_API COtxException : public CKesmar {
 public:
  explicit COtxException(OTX::Exceptions_e id);
  COtxException(OTX::Exceptions_e id, const std::string& message);
  COtxException(OTX::Exceptions_e id, const std::string& type, const std::string& message);
  // The identifier is looked up by the type name; throws std::runtime_error if unknown.
  COtxException(const std::string& type, const std::string& message);
  // From the JSON object form: "exceptionType" and "value", both strings. Throws
  // std::out_of_range "invalid map<K, T> key" for a missing member.
  explicit COtxException(const CKesmar& object);
  COtxException(const COtxException&) = default;
  COtxException& operator=(const COtxException&) = default;
  ~COtxException() override;
};
