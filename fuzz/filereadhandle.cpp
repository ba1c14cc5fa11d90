// Fuzzes the file read handle: arbitrary file contents in any encoding, read by a random
// sequence of lines, byte ranges, end-of-file checks and closes through the handle and its
// copies. Lines must be whole: the bytes of every line read, the ends of line and any
// byte-order mark never exceed the file.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "COtxByteField.h"
#include "COtxFileReadHandle.h"
#include "COtxString.h"
#include "FuzzCommon.h"

namespace {

using kesmar_fuzz::Finding;
using kesmar_fuzz::Try;

long long PickOffset(FuzzedDataProvider& input) {
  static constexpr long long kExtremes[] = {LLONG_MIN, -1, 0, 1, INT_MAX, LLONG_MAX};
  if (input.ConsumeIntegralInRange(0, 7) == 0) return input.PickValueInArray(kExtremes);
  return input.ConsumeIntegralInRange(-2, 64);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kesmar_fuzz::QuietLogging();
  FuzzedDataProvider input(data, size);
  const auto encoding =
      static_cast<COtxStringEncoding::Encoding>(input.ConsumeIntegralInRange(-1, 11));
  const int kind = input.ConsumeIntegralInRange(0, 7);
  const std::string contents = input.ConsumeRandomLengthString(1024);
  std::shared_ptr<std::istream> stream;
  if (kind != 0) stream = std::make_shared<std::istringstream>(contents);
  if (kind == 1) stream->setstate(std::ios::failbit);  // a stream that already failed

  CKesmar handle;
  if (!Try([&] { handle = COtxFileReadHandle(stream, encoding, COtxString(std::string("f"))); })) {
    return 0;
  }
  CKesmar copy = handle;  // copies share the stream and position
  long long bytesRead = 0;
  for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
    CKesmar& which = input.ConsumeBool() ? handle : copy;
    switch (input.ConsumeIntegralInRange(0, 4)) {
      case 0:
      case 1:
        Try([&] {
          const CKesmar line = which.FileReadHandle().ReadLine();
          bytesRead += static_cast<long long>(line.String().size());
        });
        break;
      case 2: {
        const long long start = PickOffset(input);
        const long long count = PickOffset(input);
        Try([&] {
          const CKesmar bytes = which.FileReadHandle().ReadBytes(start, count);
          const auto got = static_cast<long long>(bytes.ByteField().size());
          if (got > static_cast<long long>(contents.size())) {
            Finding("read more bytes than the file holds", std::to_string(got));
          }
          if (count >= 0 && got > count) Finding("read more bytes than asked", std::to_string(got));
        });
        break;
      }
      case 3:
        Try([&] { (void)which.FileReadHandle().IsEndOfFile(); });
        Try([&] { (void)which.ToString(); });
        break;
      default:
        if (input.ConsumeIntegralInRange(0, 3) == 0) Try([&] { which.FileHandle().Close(); });
        break;
    }
  }
  // Decoded lines are at most three bytes of UTF-8 per byte of the file.
  if (bytesRead > 3 * static_cast<long long>(contents.size())) {
    Finding("lines hold more than the file", std::to_string(bytesRead));
  }
  return 0;
}
