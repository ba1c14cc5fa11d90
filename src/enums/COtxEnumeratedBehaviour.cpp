// The closed enumerations: the behaviour they share, their name tables, handles and
// behaviours.
#include "COtxEnumeratedBehaviour.h"

#include <memory>

#include "COtxComChannelState.h"
#include "COtxConfirmationType.h"
#include "COtxLogLevel.h"
#include "COtxMessageType.h"
#include "COtxResponseState.h"
#include "COtxResultState.h"
#include "COtxString.h"
#include "core/detail/Allocation.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/ObjectForm.h"

namespace {

// Indexed by enumerator. Constant-initialised, so they are ready before any static
// constructor of another file can ask for them.
constexpr std::string_view kConfirmationTypes[] = {"YES", "NO", "CANCEL"};
constexpr std::string_view kMessageTypes[] = {"INFO", "WARNING", "ERROR", "YESNO_QUESTION",
                                              "YESNOCANCEL_QUESTION"};
constexpr std::string_view kLogLevels[] = {"ALL",  "TRACE", "DEBUG", "INFO",
                                           "WARN", "ERROR", "FATAL", "OFF"};
constexpr std::string_view kResultStates[] = {"ALL_FAILED",   "ALL_INVALID", "ALL_NEGATIVE",
                                              "ALL_POSITIVE", "FAILED",      "INVALID",
                                              "NEGATIVE",     "POSITIVE"};
constexpr std::string_view kResponseStates[] = {"FAILED", "INVALID", "NEGATIVE", "POSITIVE"};
constexpr std::string_view kComChannelStates[] = {"COMMUNICATION", "ONLINE", "OFFLINE", "CREATED"};

// The enumerator named name; 0 for any other text.
template <class Enumeration>
Enumeration FromName(std::span<const std::string_view> names, const std::string& name) {
  return static_cast<Enumeration>(COtxEnumeratedBehaviour::Lookup(names, name));
}

// The enumerator named by the "value" member of an object form.
template <class Enumeration>
Enumeration FromForm(std::span<const std::string_view> names, const CKesmar& object) {
  return FromName<Enumeration>(names,
                               kesmar::detail::ReadMember<&CKesmar::String>(object, "value"));
}

}  // namespace

COtxConfirmationType::COtxConfirmationType(ConfirmationType type)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxConfirmationTypeBehaviour>(type)) {}
COtxConfirmationType::COtxConfirmationType(const std::string& name)
    : COtxConfirmationType(FromName<ConfirmationType>(kConfirmationTypes, name)) {}
COtxConfirmationType::COtxConfirmationType(const CKesmar& object)
    : COtxConfirmationType(FromForm<ConfirmationType>(kConfirmationTypes, object)) {}
COtxConfirmationType::~COtxConfirmationType() = default;

COtxConfirmationTypeBehaviour::COtxConfirmationTypeBehaviour(long long type)
    : COtxNamedEnumeratedBehaviour(type, OTX::CONFIRMATION_TYPE) {}
std::span<const std::string_view> COtxConfirmationTypeBehaviour::Names() const {
  return kConfirmationTypes;
}

COtxMessageType::COtxMessageType(MessageType type)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxMessageTypeBehaviour>(type)) {}
COtxMessageType::COtxMessageType(const std::string& name)
    : COtxMessageType(FromName<MessageType>(kMessageTypes, name)) {}
COtxMessageType::COtxMessageType(const CKesmar& object)
    : COtxMessageType(FromForm<MessageType>(kMessageTypes, object)) {}
COtxMessageType::~COtxMessageType() = default;

COtxMessageTypeBehaviour::COtxMessageTypeBehaviour(long long type)
    : COtxNamedEnumeratedBehaviour(type, OTX::MESSAGE_TYPE) {}
std::span<const std::string_view> COtxMessageTypeBehaviour::Names() const { return kMessageTypes; }

COtxLogLevel::COtxLogLevel(LogLevel level)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxLogLevelBehaviour>(level)) {}
COtxLogLevel::COtxLogLevel(const std::string& name)
    : COtxLogLevel(FromName<LogLevel>(kLogLevels, name)) {}
COtxLogLevel::~COtxLogLevel() = default;

COtxLogLevelBehaviour::COtxLogLevelBehaviour(long long level)
    : COtxEnumeratedBehaviour(level, OTX::LOG_LEVEL) {}
std::span<const std::string_view> COtxLogLevelBehaviour::Names() const { return kLogLevels; }

COtxResultState::COtxResultState(ResultState state)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxResultStateBehaviour>(state)) {}
COtxResultState::~COtxResultState() = default;

COtxResultStateBehaviour::COtxResultStateBehaviour(long long state)
    : COtxEnumeratedBehaviour(state, OTX::RESULT_STATE) {}
std::span<const std::string_view> COtxResultStateBehaviour::Names() const { return kResultStates; }

COtxResponseState::COtxResponseState(ResponseState state)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxResponseStateBehaviour>(state)) {}
COtxResponseState::~COtxResponseState() = default;

COtxResponseStateBehaviour::COtxResponseStateBehaviour(long long state)
    : COtxEnumeratedBehaviour(state, OTX::RESPONSE_STATE) {}
std::span<const std::string_view> COtxResponseStateBehaviour::Names() const {
  return kResponseStates;
}

COtxComChannelState::COtxComChannelState(ComChannelState state)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxComChannelStateBehaviour>(state)) {}
COtxComChannelState::~COtxComChannelState() = default;

COtxComChannelStateBehaviour::COtxComChannelStateBehaviour(long long state)
    : COtxEnumeratedBehaviour(state, OTX::COM_CHANNEL_STATE) {}
std::span<const std::string_view> COtxComChannelStateBehaviour::Names() const {
  return kComChannelStates;
}

COtxEnumeratedBehaviour::COtxEnumeratedBehaviour(long long number, OTX::ValueType type)
    : COtxIntBehaviour(number, COtxInt::DEC, type) {}

CKesmar COtxEnumeratedBehaviour::ToString() const {
  const auto names = Names();
  const long long number = Int();
  if (number < 0 || static_cast<unsigned long long>(number) >= names.size()) return COtxString();
  return COtxString(std::string(names[static_cast<std::size_t>(number)]));
}

int COtxEnumeratedBehaviour::EnumeratorFromName(const std::string& name) const {
  return Lookup(Names(), name);
}

int COtxEnumeratedBehaviour::Lookup(std::span<const std::string_view> names,
                                    const std::string& name) {
  for (std::size_t number = 0; number < names.size(); ++number) {
    if (names[number] == name) return static_cast<int>(number);
  }
  return 0;
}

CKesmar COtxNamedEnumeratedBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType()).Text("value", ToString().String()).End();
  return kesmar::detail::JsonValue(std::move(text));
}
