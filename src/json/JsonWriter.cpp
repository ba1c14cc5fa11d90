#include "json/detail/JsonWriter.h"

#include <array>
#include <charconv>
#include <cmath>

#include "COtxFloat.h"
#include "COtxString.h"
#include "OtxJSON.h"
#include "numbers/detail/NumberRules.h"

namespace kesmar::detail {

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.reserve(out.size() + text.size() + 2);
  out += '"';
  size_t plain = 0;  // start of the run of bytes copied unchanged
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
    out.append(text, plain, i - plain);
    plain = i + 1;
    out += '\\';
    switch (byte) {
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case '\b': out += 'b'; break;
      case '\t': out += 't'; break;
      case '\n': out += 'n'; break;
      case '\f': out += 'f'; break;
      case '\r': out += 'r'; break;
      default:
        out += "u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
  }
  out.append(text, plain);
  out += '"';
}

JsonObjectWriter::JsonObjectWriter(std::string& out, std::string_view type) : m_out(out) {
  m_out += "{\"type\":";
  AppendJsonString(m_out, type);
}

std::string& JsonObjectWriter::Key(std::string_view name) {
  m_out += ',';
  AppendJsonString(m_out, name);
  m_out += ':';
  return m_out;
}

JsonObjectWriter& JsonObjectWriter::Raw(std::string_view name, std::string_view json) {
  Key(name) += json;
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Text(std::string_view name, std::string_view text) {
  AppendJsonString(Key(name), text);
  return *this;
}

void JsonObjectWriter::End() { m_out += '}'; }

namespace {

// The shortest text that reads back to value (finite).
std::string ShortestText(double value) {
  // -0.0 needs its fraction: "-0" would read back as the integer 0 and lose the sign.
  if (value == 0.0) return std::signbit(value) ? "-0.0" : "0.0";
  std::array<char, 32> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string JsonFloatText(double value, int precision, bool objectForm) {
  if (std::isnan(value)) return objectForm ? "\"NaN\"" : "null";
  if (std::isinf(value)) {
    if (!objectForm) return "null";
    return value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
  }
  std::string text = objectForm && precision >= kesmar::detail::kFullPrecision
                         ? ShortestText(value)
                         : COtxFloatBehaviour::Format(value, precision);
  // A text without fraction or exponent reads back as an integer; from 2^63 on the reader
  // would keep only the unsigned 64-bit pattern (a negative integer), so such texts get a
  // fraction and read back as floats.
  constexpr double kSignedLimit = 9223372036854775808.0;
  if (objectForm && value >= kSignedLimit &&
      text.find_first_of(".eE") == std::string::npos) {
    text += ".0";
  }
  return text;
}

CKesmar JsonValue(std::string&& text) { return COtxString(std::move(text)); }

CKesmar RenderJson(const CKesmarBehaviour& behaviour, bool objectForm) {
  std::string text;
  behaviour.WriteJSON(text, objectForm);
  return JsonValue(std::move(text));
}

namespace {

// {"name":value,...} over (name, value) pairs; Name(pair) gives the member name.
template <class Map, class NameOf>
CKesmar JsonObjectOf(const Map& map, NameOf nameOf) {
  std::string out = "{";
  for (const auto& entry : map) {
    if (out.size() > 1) out += ',';
    AppendJsonString(out, nameOf(entry.first));
    out += ':';
    entry.second.WriteJSON(out);
  }
  out += '}';
  return JsonValue(std::move(out));
}

}  // namespace
}  // namespace kesmar::detail

CKesmar OTX::OtxMapToJSON(const CKesmar& map) {
  return kesmar::detail::JsonObjectOf(
      map.Map(), [](const CKesmar& key) -> const std::string& { return key.String(); });
}

CKesmar OTX::OtxVarMapToJSON(std::map<const std::string, CKesmar>& map) {
  return kesmar::detail::JsonObjectOf(
      map, [](const std::string& name) -> const std::string& { return name; });
}
