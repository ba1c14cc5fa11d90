// The fast paths must give exactly what the general code gives: code points counted in place
// (with every fault the decoder reports), byte search against code-point search (over-long
// forms included), scalars written straight into the buffer against their
// ToJSON()/ToJSONObject() texts, and parsed maps that share their key values against the texts
// they were read from. The one-pass byte-field shifts are checked against a bit-by-bit
// reference in the byte-field tests.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxConfirmationType.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxString.h"
#include "OtxJSON.h"

namespace {

constexpr long long kThrows = -2;

// What run() answers as an integer, or kThrows when it throws the decoder's range_error.
long long Answer(const std::function<CKesmar()>& run) {
  try {
    return run().Int();
  } catch (const std::range_error&) {
    return kThrows;
  }
}

// Texts around the eight-byte ASCII steps, every sequence length, and every fault.
TEST(FastPathTest, LengthCountsCodePoints) {
  const struct {
    std::string text;
    long long length;
  } cases[] = {
      {"", 0},
      {"abcdefg", 7},
      {"abcdefgh", 8},
      {"abcdefghi", 9},
      {"abcdefghijklmnopq", 17},
      {"abcdefg\xC3\xBC", 8},
      {"abcdefgh\xC3\xBC", 9},
      {"Gr\xC3\xBC\xC3\x9F" "e Welt, and more ASCII", 26},
      {"\xE6\x97\xA5\xE6\x9C\xAC", 2},
      {"car \xF0\x9F\x9A\x97!", 6},
      {"\xED\xA0\x80", 1},                        // a surrogate, decoded as written
      {"a\xC1\x81" "b", 3},                        // over-long 'A'
      {"\xF8\x80\x80\x80\x80" "abcdefgh", 9},      // five-byte form
      {"abcdefgh\x80", kThrows},                    // stray continuation byte
      {"abcdefghij\xE6\x97", kThrows},              // cut short
      {"\xF4\x90\x80\x80", kThrows},               // above U+10FFFF
      {"\xC3(", kThrows},                           // bad continuation byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(Answer([&] { return COtxString(c.text).String().LengthOfString(); }), c.length);
  }
}

TEST(FastPathTest, IndexOfCountsCodePoints) {
  const struct {
    std::string text, wanted;
    long long index;
  } cases[] = {
      {"Gr\xC3\xBC\xC3\x9F" "e Welt", "Welt", 6},
      {"Gr\xC3\xBC\xC3\x9F" "e Welt", "\xC3\x9F", 3},
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\xE8\xAA\x9E", 2},
      {"abc", "", 0},
      {"", "", 0},
      {"abc", "abcd", -1},
      {"abcabc", "ca", 2},
      {"\xC3\xBC", "\xBC", kThrows},  // a stray continuation byte
      {"a\xC1\x81" "b", "Ab", 1},        // over-long form in the text
      {"xAb", "\xC1\x81" "b", 1},        // over-long form in the wanted text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " / " + testing::PrintToString(c.wanted));
    EXPECT_EQ(Answer([&] { return COtxString(c.text).String().IndexOf(COtxString(c.wanted)); }),
              c.index);
  }
}

TEST(FastPathTest, ScalarsWriteWhatToJsonGives) {
  const std::vector<CKesmar> values = {
      COtxInt(0),
      COtxInt(-9223372036854775807LL - 1, COtxInt::HEX),
      COtxInt(255, COtxInt::BIN),
      COtxFloat(1.0 / 3.0, 16),
      COtxFloat(-0.0, 3),
      COtxFloat(2.5, 0),
      COtxFloat(1e300 * 1e10, 16),
      COtxString(std::string("quote \" backslash \\ tab \t nul-free \x01 Gr\xC3\xBC\xC3\x9F" "e")),
      COtxString(std::string()),
      COtxBool(true),
      COtxBool(false),
      COtxByteField(std::vector<unsigned char>{0x00, 0x7F, 0xAB, 0xFF}),
      COtxByteField(std::vector<unsigned char>{}),
      COtxConfirmationType(COtxConfirmationType::CANCEL),  // built on the integer
  };
  for (const bool objectForm : {false, true}) {
    for (const CKesmar& value : values) {
      value.SetOTXJSON(objectForm);
      std::string written = "[";
      value.WriteJSON(written);
      EXPECT_EQ(written, "[" + static_cast<const std::string&>(value.ToJSON().String()));
    }
  }
}

TEST(FastPathTest, SharedKeysReadBackAsWritten) {
  const std::string text =
      R"([{"type":"a","value":1},{"value":2,"type":"b","type":"c"},{"k\u0000x":3}])";
  const CKesmar document = OTX::FromJSON(text);
  ASSERT_EQ(document.Type(), OTX::LIST);
  std::string written;
  document.WriteJSON(written);
  EXPECT_EQ(written, R"([{"type":"a","value":1},{"type":"b","value":2},{"k":3}])");
  // Changing one map leaves the others, which share its key values, as they were.
  document.List()[0].Map().clear();
  EXPECT_EQ(document.List()[1].Map().size(), 2u);
}

}  // namespace
