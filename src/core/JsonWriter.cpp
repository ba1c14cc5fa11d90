#include "core/detail/JsonWriter.h"

#include "COtxString.h"

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

CKesmar JsonValue(std::string&& text) { return COtxString(std::move(text)); }

CKesmar RenderJson(const CKesmarBehaviour& behaviour, bool objectForm) {
  std::string text;
  behaviour.WriteJSON(text, objectForm);
  return JsonValue(std::move(text));
}

}  // namespace kesmar::detail
