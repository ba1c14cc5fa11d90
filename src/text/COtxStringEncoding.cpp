#include "COtxStringEncoding.h"

#include <array>

#include "COtxString.h"
#include "core/detail/Allocation.h"
#include "core/detail/JsonWriter.h"

namespace {

const std::array<std::string, 11>& EncodingNames() {
  static const std::array<std::string, 11> names = {
      "US-ASCII", "ISO-8859-1", "UTF-8", "UTF-16BE", "UTF-16LE",    "UTF-16",
      "BIN",      "OCT",        "HEX",   "ISO-8859-2", "WINDOWS-1252",
  };
  return names;
}

int FindEncoding(const std::string& name) {
  const auto& names = EncodingNames();
  for (std::size_t number = 0; number < names.size(); ++number) {
    if (names[number] == name) return static_cast<int>(number);
  }
  return COtxStringEncoding::US_ASCII;
}

}  // namespace

COtxStringEncoding::COtxStringEncoding(Encoding encoding)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringEncodingBehaviour>(encoding)) {}

COtxStringEncoding::COtxStringEncoding(const std::string& name)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxStringEncodingBehaviour>(FindEncoding(name))) {}

COtxStringEncoding::~COtxStringEncoding() = default;

const std::string& COtxStringEncoding::String(Encoding encoding) {
  static const std::string kNoName;
  const auto& names = EncodingNames();
  const auto index = static_cast<std::size_t>(encoding);
  return index < names.size() ? names[index] : kNoName;
}

COtxStringEncodingBehaviour::COtxStringEncodingBehaviour(int encoding)
    : COtxIntBehaviour(encoding, COtxInt::DEC, OTX::STRING_ENCODING) {}

CKesmar COtxStringEncodingBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType()).Text("value", ToJSON().String()).End();
  return kesmar::detail::JsonValue(std::move(text));
}

CKesmar COtxStringEncodingBehaviour::ToString() const {
  // The number came from an int at construction.
  const auto encoding = static_cast<COtxStringEncoding::Encoding>(Int());
  return COtxString(COtxStringEncoding::String(encoding));
}

int COtxStringEncodingBehaviour::EncodingFromName(const std::string& name) const {
  return FindEncoding(name);
}
