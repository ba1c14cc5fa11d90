#include "OtxJSON.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "COtxBool.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "KesmarFactory.h"
#include "core/detail/Log.h"
#include "core/detail/ObjectForm.h"
#include "numbers/detail/NumberRules.h"

namespace {

// Full precision makes every float read back bit for bit. The iterative parser keeps its
// state on the heap instead of the call stack; the builder's depth limit still matters, as
// copying, rendering and releasing a value tree recurse once per level.
constexpr unsigned kParseFlags =
    rapidjson::kParseFullPrecisionFlag | rapidjson::kParseIterativeFlag;

// JSON strings may carry \u0000; the value's text ends there.
std::string CutAtNul(const char* text, rapidjson::SizeType length) {
  const std::string_view view(text, length);
  return std::string(view.substr(0, view.find('\0')));
}

// Builds the value tree of one document from the reader's events. Each open array or
// object is one frame; a finished value goes into the innermost frame, or becomes the root.
class TreeBuilder {
 public:
  bool Null() { return Deliver(CKesmar()); }
  bool Bool(bool value) { return Deliver(COtxBool(value)); }
  bool Int(int value) { return Deliver(COtxInt(value)); }
  bool Uint(unsigned value) { return Deliver(COtxInt(value)); }
  bool Int64(std::int64_t value) { return Deliver(COtxInt(value)); }
  // Values above the signed range keep their bits and so turn negative.
  bool Uint64(std::uint64_t value) { return Deliver(COtxInt(static_cast<long long>(value))); }
  bool Double(double value) { return Deliver(COtxFloat(value, kesmar::detail::kFullPrecision)); }
  // Only sent with kParseNumbersAsStringsFlag, which is not used.
  bool RawNumber(const char*, rapidjson::SizeType, bool) { return false; }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    return Deliver(COtxString(CutAtNul(text, length)));
  }

  bool StartObject() { return Open(COtxMap()); }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    m_open.back().key = CutAtNul(text, length);
    return true;
  }
  bool EndObject(rapidjson::SizeType) { return Close(); }
  bool StartArray() { return Open(COtxList()); }
  bool EndArray(rapidjson::SizeType) { return Close(); }

  // The finished document; EMPTY until a root value has been read.
  const CKesmar& Root() const { return m_root; }
  // True when the parse stopped because the document nests deeper than kMaxJSONDepth.
  bool TooDeep() const { return m_tooDeep; }

 private:
  struct Frame {
    CKesmar container;  // the LIST or MAP being filled
    std::string key;    // in an object: the name of the member whose value comes next
  };

  bool Open(CKesmar container) {
    if (m_open.size() >= static_cast<std::size_t>(OTX::kMaxJSONDepth)) {
      m_tooDeep = true;
      return false;  // stops the reader with kParseErrorTermination
    }
    m_open.push_back(Frame{std::move(container), {}});
    return true;
  }

  bool Close() {
    CKesmar finished = std::move(m_open.back().container);
    m_open.pop_back();
    return Deliver(std::move(finished));
  }

  bool Deliver(CKesmar value) {
    if (m_open.empty()) {
      m_root = std::move(value);
      return true;
    }
    Frame& frame = m_open.back();
    if (frame.container.Type() == OTX::MAP) {
      // emplace leaves an existing member alone, so a repeated name keeps its first value.
      frame.container.Map().emplace(COtxString(std::move(frame.key)), std::move(value));
    } else {
      frame.container.List().push_back(std::move(value));
    }
    return true;
  }

  std::vector<Frame> m_open;
  CKesmar m_root;
  bool m_tooDeep = false;
};

// The reader's English message for its error, or the depth limit's own message.
std::string ErrorMessage(const rapidjson::Reader& reader, const TreeBuilder& builder,
                         const char* text) {
  if (builder.TooDeep()) {
    return "Nesting deeper than " + std::to_string(OTX::kMaxJSONDepth) + " levels.";
  }
  rapidjson::ParseErrorCode code = reader.GetParseErrorCode();
  // The iterative parser reports a document that starts with ']', '}', ',' or ':' as empty;
  // it is an invalid value, as the recursive parser says. An empty document ends at the offset.
  if (code == rapidjson::kParseErrorDocumentEmpty && text[reader.GetErrorOffset()] != '\0') {
    code = rapidjson::kParseErrorValueInvalid;
  }
  return rapidjson::GetParseError_En(code);
}

// Writes one error line for OtxObjectMapToOtxMap. The file name and line numbers are fixed
// texts that readers of the log search for.
void LogConversionFailure(int line, const std::string& message) {
  using namespace kesmar::detail;
  if (!LogEnabled(kLogError)) return;
  PelmUtil::CLog log(kLogSubsystem, stderr);
  LogFunctionPrefix(log.Get(kLogError, kLogSubsystem), "JSONtoKesmar", line,
                    "OTX::OtxObjectMapToOtxMap")
      << message;
}

}  // namespace

namespace OTX {

bool FromJSON(const char* text, CKesmar& result) {
  if (text == nullptr) text = "";
  TreeBuilder builder;
  rapidjson::Reader reader;
  rapidjson::StringStream stream(text);
  reader.Parse<kParseFlags>(stream, builder);
  if (reader.HasParseError()) {
    result = COtxString("JSON parse error: " + ErrorMessage(reader, builder, text) +
                        " offset: " + std::to_string(reader.GetErrorOffset()));
    return false;
  }
  result = builder.Root();
  return true;
}

CKesmar FromJSON(const std::string& text) {
  CKesmar result;
  FromJSON(text.c_str(), result);  // c_str() ends the text at its first NUL
  return result;
}

CKesmar OtxMapToKesmar(const CKesmar& object) {
  // Outside the try: an object that is no map or lacks "value" is reported as it is.
  kesmar::detail::ObjectMember(object, "value");
  try {
    const CKesmar type = kesmar::detail::ObjectMember(object, "type");
    return KesmarFactory::Instance()->Create(type.String(), object);
  } catch (const std::exception& caught) {
    // what() of a value is only valid until the next call, so copy it before ToString().
    std::string message = "Error: ";
    message += caught.what();
    message += " Parsing ";
    message += object.ToString().String();
    throw COtxException(OTX::TypeMismatchException, message);
  }
}

void OtxObjectMapToOtxMap(CKesmar& map) {
  for (auto& entry : map.Map()) {
    try {
      entry.second = OtxMapToKesmar(entry.second);
    } catch (const COtxException& caught) {
      LogConversionFailure(250, caught.Exception().GetText());
    } catch (const std::exception& caught) {
      LogConversionFailure(252, caught.what());
    }
  }
}

std::map<const std::string, CKesmar> OtxObjectMapToOtxVarMap(const CKesmar& map) {
  std::map<const std::string, CKesmar> named;
  for (const auto& [key, object] : map.Map()) {
    CKesmar value = OtxMapToKesmar(object);
    named.emplace(key.String(), std::move(value));
  }
  return named;
}

}  // namespace OTX
