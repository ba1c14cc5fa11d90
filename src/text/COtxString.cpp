#include "COtxString.h"

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <ostream>
#include <utility>

#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "PelmUtils.h"
#include "core/detail/Allocation.h"
#include "core/detail/Errors.h"
#include "core/detail/Hex.h"
#include "core/detail/ObjectForm.h"
#include "core/detail/JsonWriter.h"
#include "text/detail/CharacterSets.h"
#include "numbers/detail/NumberRules.h"

namespace {

using kesmar::detail::ThrowTypeMismatch;

// Keeps the low 8 bits of every code unit.
template <class WideString>
std::string Narrow(const WideString& text) {
  std::string bytes(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[i] = static_cast<char>(static_cast<unsigned char>(text[i] & 0xFF));
  }
  return bytes;
}

// The "C" locale, so that number parsing never depends on the process's locale (a decimal
// comma would otherwise reject "1.5").
locale_t ClassicLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

// Decodes bytes of an encoding into UTF-8 text.
std::string DecodeBytes(const std::vector<unsigned char>& bytes,
                        COtxStringEncoding::Encoding encoding) {
  using namespace kesmar::detail;
  if (bytes.empty()) return {};
  if (encoding == COtxStringEncoding::US_ASCII || encoding == COtxStringEncoding::UTF_8) {
    return std::string(bytes.begin(), bytes.end());
  }
  if (encoding == COtxStringEncoding::HEX) return HexText(bytes.data(), bytes.size());
  if (!IsCharacterSet(encoding)) ThrowUnsupportedEncoding(encoding);
  const std::string& name = COtxStringEncoding::String(encoding);
  std::string text;
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
      !PelmUtil::toUTF8(name, bytes.data(), static_cast<int>(bytes.size()), text)) {
    throw COtxException(OTX::OutOfBoundsException, name);
  }
  return text;
}

}  // namespace

COtxStringBehaviour::COtxStringBehaviour() : COtxComparableBehaviour(OTX::STRING) {}

COtxStringBehaviour::COtxStringBehaviour(const std::string& text)
    : std::string(text), COtxComparableBehaviour(OTX::STRING) {}

COtxStringBehaviour::COtxStringBehaviour(std::string&& text)
    : COtxComparableBehaviour(OTX::STRING) {
  swap(text);
}

COtxStringBehaviour::COtxStringBehaviour(const char* data, int length)
    : std::string(length > 0 ? std::string(data, static_cast<std::size_t>(length))
                             : std::string()),
      COtxComparableBehaviour(OTX::STRING) {}

COtxStringBehaviour::COtxStringBehaviour(const std::wstring& text)
    : std::string(Narrow(text)), COtxComparableBehaviour(OTX::STRING) {}

COtxStringBehaviour::COtxStringBehaviour(const std::u16string& text)
    : std::string(Narrow(text)), COtxComparableBehaviour(OTX::STRING) {}

COtxStringBehaviour::COtxStringBehaviour(const std::u32string& text)
    : std::string(Narrow(text)), COtxComparableBehaviour(OTX::STRING) {}

COtxStringBehaviour::COtxStringBehaviour(const std::vector<unsigned char>& bytes,
                                         COtxStringEncoding::Encoding encoding)
    : std::string(DecodeBytes(bytes, encoding)), COtxComparableBehaviour(OTX::STRING) {}

COtxStringBehaviour::COtxStringBehaviour(const COtxStringBehaviour& other)
    : std::string(other.Text()), OTX::IString(), COtxComparableBehaviour(other) {}

COtxStringBehaviour& COtxStringBehaviour::operator=(const COtxStringBehaviour& other) {
  if (this != &other) {
    std::string::operator=(other.Text());
    COtxComparableBehaviour::operator=(other);
  }
  return *this;
}

COtxStringBehaviour::~COtxStringBehaviour() = default;

bool COtxStringBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.Type() != OTX::STRING) return Answer(op, std::partial_ordering::unordered);
  // std::string compares bytes as unsigned char (char_traits<char>::lt), shorter prefix first.
  return Answer(op, Text().compare(other.String()) <=> 0);
}

CKesmar COtxStringBehaviour::ToInteger() const {
  const char* begin = c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, 0);
  // No digits, out of range, or anything left (an embedded zero byte included).
  if (end == begin || errno == ERANGE || end != begin + size()) ThrowTypeMismatch();
  return COtxInt(value, COtxInt::DEC);
}

CKesmar COtxStringBehaviour::ToString() const { return COtxString(Text()); }

CKesmar COtxStringBehaviour::ToJSON() const {
  std::string text;
  kesmar::detail::AppendJsonString(text, *this);
  return kesmar::detail::JsonValue(std::move(text));
}

void COtxStringBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  if (kesmar::detail::WroteAsDerivedType(*this, out, objectForm)) return;
  if (!objectForm) {
    kesmar::detail::AppendJsonString(out, Text());
    return;
  }
  kesmar::detail::JsonObjectWriter object(out, StringType());
  kesmar::detail::AppendJsonString(object.Key("value"), Text());
  object.End();
}

CKesmar COtxStringBehaviour::ToByteField() const {
  return COtxByteField(std::vector<unsigned char>(begin(), end()));
}

CKesmar COtxStringBehaviour::ToFloat() const {
  const char* begin = c_str();
  char* end = nullptr;
  errno = 0;
  const double value = strtod_l(begin, &end, ClassicLocale());
  // ERANGE also reports an underflow, whose result (subnormal or zero) is the value: the
  // text of a subnormal float converts back. Only an overflow fails.
  if (end == begin || (errno == ERANGE && std::fabs(value) == HUGE_VAL)) ThrowTypeMismatch();
  // A float or double marker may follow the number; only its first character is examined.
  if (end != begin + size()) {
    const char suffix = static_cast<char>(std::tolower(static_cast<unsigned char>(*end)));
    if (suffix != 'f' && suffix != 'd') ThrowTypeMismatch();
  }
  return COtxFloat(value, kesmar::detail::kFullPrecision);
}

std::ostream& COtxStringBehaviour::ToStream(std::ostream& stream, int) const {
  return stream << Text();
}

COtxString::COtxString() : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>()) {}
COtxString::COtxString(const std::string& text)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(text)) {}
COtxString::COtxString(std::string&& text)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(std::move(text))) {}
COtxString::COtxString(const char* data, int length)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(data, length)) {}
COtxString::COtxString(const std::wstring& text)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(text)) {}
COtxString::COtxString(const std::u16string& text)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(text)) {}
COtxString::COtxString(const std::u32string& text)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(text)) {}
COtxString::COtxString(const std::vector<unsigned char>& bytes,
                       COtxStringEncoding::Encoding encoding)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringBehaviour>(bytes, encoding)) {}
COtxString::COtxString(const CKesmar& object)
    : CKesmar(kesmar::detail::ObjectMember(object, "value")) {}
COtxString::~COtxString() = default;
