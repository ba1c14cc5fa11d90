// A walk through the library's typical use: values are built, combined with the OTX
// operators, converted into each other and printed; an unsupported operation throws a
// COtxException whose what() names the problem.
#include <Kesmar.h>

#include <iostream>
#include <map>
#include <string>

namespace {

void Show(const std::string& label, const CKesmar& value) {
  std::cout << label << " = " << value << "  [" << value.stringType() << "]\n";
}

}  // namespace

int main() {
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
