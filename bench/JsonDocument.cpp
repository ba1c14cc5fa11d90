#include "JsonDocument.h"

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxConfirmationType.h"
#include "COtxEnumerationItem.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxMessageType.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "OtxUnitSpec.h"

namespace kesmar::bench {
namespace {

// A fixed-seed generator, so every run reads the same document.
class Random {
 public:
  std::uint64_t Next() {
    m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return m_state >> 17;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t m_state = 0x2545F4914F6CDD1DULL;
};

const char* const kTexts[] = {
    "Motorsteuergerät antwortet nicht",
    "Fehlerspeicher gelöscht: \"P0301\" \\ Zylinder 1",
    "line one\nline two\ttabbed",
    "Привет, блок управления",
    "診断セッション開始",
    "ECU 0x7E8 ok",
    "plain ASCII text of a typical message from a test step",
    "emoji \xF0\x9F\x9A\x97 car",
};
const char* const kUnits[] = {"km", "m", "s", "kg", "V", "A", "Pa", "rpm", "degC", "h"};
const char* const kKeys[] = {"speed", "voltage", "name", "dtc", "status", "count", "raw"};

CKesmar Scalar(Random& random) {
  switch (random.Below(9)) {
    case 0:
    case 1:
      return COtxInt(static_cast<long long>(random.Next() % 2000000) - 1000000,
                     static_cast<COtxInt::Radix>(random.Below(4)));
    case 2:
    case 3:
      return COtxFloat(static_cast<double>(random.Next() % 1000000) / 977.0,
                       random.Below(17));
    case 4:
    case 5:
      return COtxString(std::string(kTexts[random.Below(8)]));
    case 6: {
      std::vector<unsigned char> bytes(static_cast<std::size_t>(4 + random.Below(13)));
      for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random.Next());
      return COtxByteField(std::move(bytes));
    }
    case 7:
      return COtxBool(random.Below(2) == 1);
    default:
      return COtxQuantity(static_cast<double>(random.Next() % 100000) / 8.0,
                          COtxUnit(kUnits[random.Below(10)]), random.Below(4));
  }
}

CKesmar Enumerated(Random& random) {
  switch (random.Below(3)) {
    case 0:
      return COtxConfirmationType(static_cast<COtxConfirmationType::ConfirmationType>(
          random.Below(3)));
    case 1:
      return COtxMessageType(static_cast<COtxMessageType::MessageType>(random.Below(5)));
    default:
      return COtxEnumerationItem(COtxString(std::string("GearPosition")),
                                 COtxString(std::string("DRIVE")), COtxInt(random.Below(8)));
  }
}

CKesmar Value(Random& random, int depth) {
  const int kind = random.Below(20);
  if (kind < 14 || depth > 1) return Scalar(random);
  if (kind < 16) return Enumerated(random);
  if (kind < 18) {
    std::vector<CKesmar> elements;
    for (int i = 2 + random.Below(4); i > 0; --i) elements.push_back(Value(random, depth + 1));
    return COtxList(elements);
  }
  std::map<CKesmar, CKesmar> entries;
  for (int i = 2 + random.Below(4); i > 0; --i) {
    entries.emplace(COtxString(std::string(kKeys[random.Below(7)])), Value(random, depth + 1));
  }
  return COtxMap(entries);
}

}  // namespace

void LoadDefaultUnits() {
  const std::string source = __FILE__;
  std::ifstream file(source.substr(0, source.rfind("bench/")) + "data/units.xml");
  std::ostringstream text;
  text << file.rdbuf();
  std::istringstream stream(text.str());
  OTX::Initialise(stream);
}

CKesmar DocumentTree() {
  LoadDefaultUnits();
  Random random;
  std::vector<CKesmar> values;
  values.reserve(kDocumentValues);
  for (int i = 0; i < kDocumentValues; ++i) values.push_back(Value(random, 0));
  CKesmar tree = COtxList(values);
  tree.SetOTXJSON(true);
  return tree;
}

const std::string& DocumentText() {
  static const std::string text = [] {
    std::string out;
    DocumentTree().WriteJSON(out);
    return out;
  }();
  return text;
}

}  // namespace kesmar::bench
