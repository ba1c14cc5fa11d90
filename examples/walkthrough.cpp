// A walk through the library's typical use: values are built, combined with the OTX
// operators, converted into each other and printed; an unsupported operation throws a
// COtxException whose what() names the problem.
#include <Kesmar.h>

#include <clocale>
#include <iostream>
#include <map>
#include <string>

namespace {

void Show(const std::string& label, const CKesmar& value) {
  std::cout << label << " = " << value << "  [" << value.stringType() << "]\n";
}

}  // namespace

int main() {
  // Case mapping beyond ASCII follows the process locale.
  std::setlocale(LC_ALL, "C.UTF-8");
  std::cout << "Values and operators\n";
  const COtxInt five(5, COtxInt::HEX);
  const COtxFloat half(0.5);
  Show("5 + 0.5", five + half);
  Show("7 / 2", COtxInt(7) / COtxInt(2));
  Show("-7 % 2", COtxInt(-7) % COtxInt(2));
  Show("9223372036854775807 + 1", COtxInt(9223372036854775807LL) + COtxInt(1));
  Show("3.14159 at precision 2", COtxFloat(3.14159, 2));
  Show("1234.5 at precision -1", COtxFloat(1234.5, -1));
  std::cout << "0.1 + 0.2 == 0.3: " << std::boolalpha
            << (COtxFloat(0.1) + COtxFloat(0.2) == COtxFloat(0.3)) << '\n';

  std::cout << "\nConversions\n";
  Show("\"0x1F\" to integer", COtxString(std::string("0x1F")).ToInteger());
  Show("\"2.5f\" to float", COtxString(std::string("2.5f")).ToFloat());
  Show("true to float", COtxBool(true).ToFloat());
  Show("-2.7 to integer", COtxFloat(-2.7).ToInteger());

  std::cout << "\nContainers\n";
  const COtxList inner({COtxInt(2), COtxInt(3)});
  const COtxList list({COtxInt(1), inner, COtxString(std::string("text"))});
  Show("list", list.ToString());
  std::cout << "list as a stream:\n" << list << '\n';
  const COtxMap map(std::map<const std::string, CKesmar>{{"b", inner}, {"a", COtxBool(true)}});
  Show("map", map.ToString());
  std::cout << "map as a stream:\n" << map << '\n';

  std::cout << "\nText\n";
  const COtxString greeting(std::string("Grüße aus Köln"));
  Show("upper case", greeting.String().ToUpper());
  Show("code points", greeting.String().LengthOfString());
  // Patterns match bytes: the ö of Köln is two of them.
  Show("matches K..ln$", greeting.String().MatchToRegularExpression(COtxString(std::string("K..ln$"))));
  Show("as ISO-8859-1 bytes", COtxByteField(greeting.String(), COtxStringEncoding::ISO_8859_1));

  std::cout << "\nByte fields\n";
  const COtxByteField field(std::string("12F0"));
  Show("12F0 shifted left by 4", [&] {
    CKesmar copy = field.GetBehaviourReference()->ToByteField();
    copy.ByteField().ShiftLeft(4);
    return copy;
  }());
  Show("-5 as 8-bit ones' complement", COtxByteField(-5LL, 8, OTX::OnesComplement, OTX::BigEndian));
  Show("bytes 01 23 as packed BCD", COtxInt(std::vector<unsigned char>{0x01, 0x23}, 16,
                                            OTX::PackedBinaryCodedDecimal, OTX::BigEndian));
  Show("12F0 as a little-endian integer", field.ToInteger());

  std::cout << "\nJSON\n";
  const COtxMap record(std::map<const std::string, CKesmar>{
      {"speed", COtxFloat(0.1 + 0.2)}, {"id", COtxInt(255, COtxInt::HEX)}, {"raw", field}});
  std::cout << "plain:  " << record.ToJSON().String() << '\n';
  record.SetOTXJSON(true);
  const std::string objectForm = record.ToJSON().String();
  std::cout << "object: " << objectForm << '\n';
  const CKesmar back = OTX::OtxMapToKesmar(OTX::FromJSON(objectForm));
  std::cout << "read back equal: " << (back == record) << '\n';
  Show("parse error", OTX::FromJSON(std::string("{\"a\":}")));

  std::cout << "\nFailures\n";
  try {
    COtxString(std::string("five")).Int();
  } catch (const COtxException& failure) {
    std::cout << "Int() of a string: " << failure.what() << '\n';
  }
  try {
    std::cout << COtxInt(7) % COtxInt(0) << '\n';
  } catch (const std::exception& failure) {
    std::cout << "7 % 0: " << failure.what() << '\n';
  }
  return 0;
}
