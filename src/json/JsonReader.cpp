#include "OtxJSON.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
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
#include "core/detail/Allocation.h"
#include "core/detail/Log.h"
#include "core/detail/ObjectForm.h"
#include "numbers/detail/NumberRules.h"

namespace {

// Numbers arrive as their text and are converted here (see NumberValue): the reader's own
// conversions are not correctly rounded by default and are unsafe on long digit strings with
// full precision. The iterative parser keeps its state on the heap instead of the call stack;
// the builder's depth limit still matters, as copying, rendering and releasing a value tree
// recurse once per level.
constexpr unsigned kParseFlags =
    rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseIterativeFlag;

// True when text, a JSON number that does not fit a double, is too large rather than too
// small: its decimal order (digits before the first significant one, shifted by the
// exponent) is positive.
bool BeyondDoubleRange(std::string_view text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  for (; i < text.size() && text[i] == '0'; ++i) {
  }
  const std::size_t integerStart = i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
  }
  long long order = static_cast<long long>(i - integerStart);  // significant integer digits
  if (order == 0 && i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] == '0'; ++i) --order;  // zeros after the point
  }
  const std::size_t e = text.find_first_of("eE");
  if (e == std::string_view::npos) return order > 0;
  std::size_t digit = e + 1;
  const bool negative = digit < text.size() && text[digit] == '-';
  if (digit < text.size() && (text[digit] == '-' || text[digit] == '+')) ++digit;
  long long exponent = 0;
  constexpr long long kSaturated = 1'000'000'000'000LL;  // far beyond any order of a text
  for (; digit < text.size(); ++digit) {
    exponent = std::min(kSaturated, exponent * 10 + (text[digit] - '0'));
  }
  return order + (negative ? -exponent : exponent) > 0;
}

// The value of a JSON number text, which the reader has checked against the JSON grammar.
// Without fraction and exponent and within 64 bits: an INTEGER (values from 2^63 to 2^64 - 1
// keep their bits and so turn negative). Otherwise a FLOAT, correctly rounded; a text too
// small for a double reads as a zero of its sign. Returns EMPTY when it is too large.
CKesmar NumberValue(std::string_view text) {
  const char* const end = text.data() + text.size();
  if (text.find_first_of(".eE") == std::string_view::npos) {
    const bool negative = text.starts_with('-');
    std::uint64_t magnitude = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + (negative ? 1 : 0), end, magnitude);
    constexpr std::uint64_t kNegativeLimit = std::uint64_t{1} << 63;
    if (ec == std::errc() && ptr == end && (!negative || magnitude <= kNegativeLimit)) {
      // Two's complement negation in unsigned arithmetic also reaches -2^63.
      const std::uint64_t bits = negative ? 0 - magnitude : magnitude;
      return COtxInt(static_cast<long long>(bits));
    }
  }
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec == std::errc::result_out_of_range) {
    if (BeyondDoubleRange(text)) return CKesmar();
    value = text.starts_with('-') ? -0.0 : 0.0;
  }
  return COtxFloat(value, kesmar::detail::kFullPrecision);
}

// JSON strings may carry \u0000; the value's text ends there.
std::string_view CutAtNul(const char* text, rapidjson::SizeType length) {
  // Most names and texts are short: a loop costs less than a call to memchr.
  constexpr rapidjson::SizeType kShort = 16;
  if (length <= kShort) {
    for (rapidjson::SizeType i = 0; i < length; ++i) {
      if (text[i] == '\0') return std::string_view(text, i);
    }
    return std::string_view(text, length);
  }
  const std::string_view view(text, length);
  return view.substr(0, view.find('\0'));
}

// A STRING value of text, its behaviour made directly (no handle class in between).
CKesmar StringValue(std::string_view text) {
  return CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(std::string(text)));
}

// Builds the value tree of one document from the reader's events. Each open array or
// object is one frame; a finished value goes into the innermost frame, or becomes the root.
class TreeBuilder {
 public:
  bool Null() { return Deliver(CKesmar()); }
  bool Bool(bool value) { return Deliver(COtxBool(value)); }
  // Numbers come as text (kParseNumbersAsStringsFlag), so the typed callbacks never run.
  bool Int(int) { return false; }
  bool Uint(unsigned) { return false; }
  bool Int64(std::int64_t) { return false; }
  bool Uint64(std::uint64_t) { return false; }
  bool Double(double) { return false; }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    CKesmar value = NumberValue(std::string_view(text, length));
    if (value.Type() == OTX::EMPTY) {
      m_stop = Stop::NumberTooBig;
      return false;  // stops the reader at the number's first character
    }
    return Deliver(std::move(value));
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    return Deliver(StringValue(CutAtNul(text, length)));
  }

  bool StartObject() {
    auto map = kesmar::detail::MakeBehaviour<COtxMapBehaviour>();
    std::map<CKesmar, CKesmar>* entries = map.get();
    return Open(CKesmar(std::move(map)), entries, nullptr);
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    m_open.back().key = SharedKey(CutAtNul(text, length));
    return true;
  }
  bool EndObject(rapidjson::SizeType) { return Close(); }
  bool StartArray() {
    auto list = kesmar::detail::MakeBehaviour<COtxListBehaviour>();
    std::vector<CKesmar>* elements = list.get();
    return Open(CKesmar(std::move(list)), nullptr, elements);
  }
  bool EndArray(rapidjson::SizeType) { return Close(); }

  // The finished document; EMPTY until a root value has been read.
  const CKesmar& Root() const { return m_root; }
  // Why the builder stopped the reader, if it did.
  enum class Stop { None, TooDeep, NumberTooBig };
  Stop StopReason() const { return m_stop; }

 private:
  struct Frame {
    CKesmar container;                    // the LIST or MAP being filled
    std::map<CKesmar, CKesmar>* entries;  // the MAP's entries, or null
    std::vector<CKesmar>* elements;       // the LIST's elements, or null
    CKesmar key;  // in an object: the name of the member whose value comes next
  };

  // Member names repeat across the objects of a document ("type", "value", ...). STRING
  // values never change, so the maps of one document share one key value per short name
  // instead of allocating it for every object.
  static constexpr std::size_t kMaxSharedKeyBytes = 32;
  static constexpr std::size_t kMaxSharedKeys = 1024;

  CKesmar SharedKey(std::string_view name) {
    if (name.size() > kMaxSharedKeyBytes) return StringValue(name);
    const auto found = m_keys.find(name);
    if (found != m_keys.end()) return found->second;
    CKesmar key = StringValue(name);
    if (m_keys.size() < kMaxSharedKeys) {
      // The view points into the value's own text, which lives as long as the entry.
      m_keys.emplace(std::string_view(static_cast<const std::string&>(key.String())), key);
    }
    return key;
  }

  bool Open(CKesmar container, std::map<CKesmar, CKesmar>* entries,
            std::vector<CKesmar>* elements) {
    if (m_open.size() >= static_cast<std::size_t>(OTX::kMaxJSONDepth)) {
      m_stop = Stop::TooDeep;
      return false;  // stops the reader with kParseErrorTermination
    }
    m_open.push_back(Frame{std::move(container), entries, elements, CKesmar(nullptr)});
    return true;
  }

  bool Close() {
    CKesmar finished = std::move(m_open.back().container);
    m_open.pop_back();
    return Deliver(std::move(finished));
  }

  bool Deliver(CKesmar&& value) {
    if (m_open.empty()) {
      m_root = std::move(value);
      return true;
    }
    Frame& frame = m_open.back();
    if (frame.entries != nullptr) {
      // emplace leaves an existing member alone, so a repeated name keeps its first value.
      frame.entries->emplace(std::move(frame.key), std::move(value));
    } else {
      frame.elements->push_back(std::move(value));
    }
    return true;
  }

  std::vector<Frame> m_open;
  std::unordered_map<std::string_view, CKesmar> m_keys;
  CKesmar m_root;
  Stop m_stop = Stop::None;
};

// The reader's English message for its error, or the depth limit's own message.
std::string ErrorMessage(const rapidjson::Reader& reader, const TreeBuilder& builder,
                         const char* text) {
  switch (builder.StopReason()) {
    case TreeBuilder::Stop::TooDeep:
      return "Nesting deeper than " + std::to_string(OTX::kMaxJSONDepth) + " levels.";
    case TreeBuilder::Stop::NumberTooBig:
      return rapidjson::GetParseError_En(rapidjson::kParseErrorNumberTooBig);
    case TreeBuilder::Stop::None:
      break;
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
