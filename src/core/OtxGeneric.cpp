#include "OtxGeneric.h"

#include <stdexcept>
#include <vector>

#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "core/detail/NestingGuard.h"

namespace OTX {
namespace {

// Found with Map().at(); every failure of the lookup counts as a missing parameter.
bool FindParameter(const CKesmar& params, const std::string& name, CKesmar& found) {
  try {
    found = params.Map().at(COtxString(name));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

const CKesmar& CheckedType(const CKesmar& value, OTX::ValueType type) {
  if (type != OTX::EMPTY && value.Type() != type) {
    throw std::runtime_error("Incorrect parameter type: " + value.stringType());
  }
  return value;
}

}  // namespace

CKesmar DeepCopy(const CKesmar& value) {
  if (value.Type() == OTX::MAP) {
    const kesmar::detail::NestingGuard guard(&value.Map(), "MAP");
    std::map<CKesmar, CKesmar> entries;
    for (const auto& [key, mapped] : value.Map())
      entries.emplace_hint(entries.end(), key, DeepCopy(mapped));
    return COtxMap(entries);
  }
  if (value.Type() == OTX::LIST) {
    const kesmar::detail::NestingGuard guard(&value.List(), "LIST");
    std::vector<CKesmar> elements;
    elements.reserve(value.List().size());
    for (const CKesmar& element : value.List()) elements.push_back(DeepCopy(element));
    return COtxList(elements);
  }
  return value;
}

CKesmar GetParameter(const CKesmar& params, const std::string& name, OTX::ValueType type) {
  CKesmar found;
  if (!FindParameter(params, name, found)) throw std::runtime_error("Missing parameter: " + name);
  return CheckedType(found, type);
}

CKesmar GetOptionalParameter(const CKesmar& params, const std::string& name,
                             const CKesmar& defaultValue, OTX::ValueType type) {
  CKesmar found;
  if (!FindParameter(params, name, found)) found = defaultValue;
  return CheckedType(found, type);
}

std::map<const std::string, CKesmar> ValMap(const CKesmar& map) {
  std::map<const std::string, CKesmar> values;
  for (const auto& [key, value] : map.Map()) values.insert_or_assign(key.String(), value);
  return values;
}

CKesmar OtxMap(const std::map<const std::string, CKesmar>& values) { return COtxMap(values); }

}  // namespace OTX

namespace Kesmar {

const std::string& GetComponentName() {
  static const std::string name = "Kesmar";
  return name;
}

const std::string& GetComponentVersion() {
  static const std::string version = KESMAR_VERSION;
  return version;
}

const std::string& GetComponentDate() {
  static const std::string date = __DATE__ " " __TIME__;
  return date;
}

}  // namespace Kesmar
