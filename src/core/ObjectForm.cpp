#include "core/detail/ObjectForm.h"

#include <stdexcept>

#include "COtxString.h"
#include "core/detail/Errors.h"

namespace kesmar::detail {

CKesmar ObjectMember(const CKesmar& object, const char* key) {
  const auto& members = object.Map();
  const auto found = members.find(COtxString(std::string(key)));
  if (found == members.end()) throw std::out_of_range(kMissingMapKey);
  return found->second;
}

}  // namespace kesmar::detail
