#include "KesmarFactory.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

#include "COtxInt.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

const CKesmar kSeven = COtxMap(std::map<const std::string, CKesmar>{
    {"value", COtxInt(7)}, {"displayRadix", COtxString(std::string("HEX"))}});

class Fixed : public KesmarCreatorBase {
 public:
  using KesmarCreatorBase::KesmarCreatorBase;
  CKesmar Create(const CKesmar&) override { return COtxString(std::string("fixed")); }
};

}  // namespace

TEST(Factory, KeysMatchExactlyAndALaterCreatorReplacesTheEarlierOne) {
  KesmarFactory* factory = KesmarFactory::Instance();
  EXPECT_EQ(factory->Create("INTEGER", kSeven).Int(), 7);
  EXPECT_STD_THROW(factory->Create("FLOAT", kSeven), std::out_of_range, "invalid map<K, T> key");
  for (const char* key : {"integer", "EMPTY", "INTEGER ", "STRING_ENCODING", "LOG_LEVEL"}) {
    EXPECT_STD_THROW(factory->Create(key, kSeven), std::runtime_error,
                     std::string("Class key not registered: ") + key);
  }
  // Constructing a creator registers it; the last one restores integers as the library reads them.
  static Fixed fixed(OTX::INTEGER);
  static KesmarCreator<COtxInt> integers(OTX::INTEGER);
  factory->Register(OTX::INTEGER, &fixed);
  EXPECT_EQ(static_cast<const std::string&>(factory->Create("INTEGER", kSeven).String()), "fixed");
  factory->Register(OTX::INTEGER, &integers);
  EXPECT_EQ(factory->Create("INTEGER", kSeven).Int(), 7);
}
