// JSON objects written from maps of named values: the free functions that render an entry
// map whose keys are names.
#include "OtxJSON.h"

#include <string>
#include <utility>

#include "COtxString.h"
#include "core/detail/JsonWriter.h"

namespace {

// {"name":value,...} over (name, value) pairs; nameOf(key) gives the member name.
template <class Map, class NameOf>
CKesmar JsonObjectOf(const Map& map, NameOf nameOf) {
  std::string out = "{";
  for (const auto& entry : map) {
    if (out.size() > 1) out += ',';
    kesmar::detail::AppendJsonString(out, nameOf(entry.first));
    out += ':';
    entry.second.WriteJSON(out);
  }
  out += '}';
  return kesmar::detail::JsonValue(std::move(out));
}

}  // namespace

CKesmar OTX::OtxMapToJSON(const CKesmar& map) {
  return JsonObjectOf(map.Map(),
                      [](const CKesmar& key) -> const std::string& { return key.String(); });
}

CKesmar OTX::OtxVarMapToJSON(std::map<const std::string, CKesmar>& map) {
  return JsonObjectOf(map, [](const std::string& name) -> const std::string& { return name; });
}
