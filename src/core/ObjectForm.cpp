#include "core/detail/ObjectForm.h"

#include <stdexcept>
#include <string>
#include <string_view>

#include "COtxString.h"
#include "core/detail/Errors.h"

namespace kesmar::detail {

CKesmar ObjectMember(const CKesmar& object, const char* key) {
  const auto& members = object.Map();
  // An object form has a handful of members. Scanning them compares texts directly, where
  // find would first make a key value; in the key order a key is equivalent to this one
  // exactly when it is a STRING of the same text, so both find the same member.
  constexpr std::size_t kScanLimit = 8;
  if (members.size() <= kScanLimit) {
    const std::string_view name(key);
    for (const auto& [member, value] : members) {
      if (member.Type() == OTX::STRING &&
          static_cast<const std::string&>(member.String()) == name) {
        return value;
      }
    }
    throw std::out_of_range(kMissingMapKey);
  }
  const auto found = members.find(COtxString(std::string(key)));
  if (found == members.end()) throw std::out_of_range(kMissingMapKey);
  return found->second;
}

}  // namespace kesmar::detail
