#include <Kesmar.h>

#include <iostream>

int main() {
  const CKesmar sum = COtxInt(2) + COtxFloat(0.5);
  std::cout << sum << '\n';
  try {
    COtxString(std::string("x")).Int();
  } catch (const COtxException& e) {
    std::cout << e.what() << '\n';
    return sum.Float() == 2.5 ? 0 : 1;
  }
  return 1;
}
