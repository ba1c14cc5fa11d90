#include "COtxFileReadHandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "COtxByteField.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using E = COtxStringEncoding;

// Holds its text, but a read that reaches the end fails as a broken device does.
class FailingBuffer : public std::stringbuf {
 public:
  using std::stringbuf::stringbuf;

 protected:
  int_type underflow() override { throw std::runtime_error("device failure"); }
};

CKesmar Open(const std::shared_ptr<std::istream>& stream, E::Encoding encoding = E::UTF_8) {
  return COtxFileReadHandle(stream, encoding, COtxString("f.txt"s));
}
CKesmar Open(const std::string& bytes, E::Encoding encoding = E::UTF_8) {
  return Open(std::make_shared<std::istringstream>(bytes), encoding);
}

std::string Text(const CKesmar& bytes) {
  return std::string(bytes.ByteField().begin(), bytes.ByteField().end());
}

// Lines read until the end of the file (another reader may take the last one).
std::vector<std::string> ReadLines(const CKesmar& handle) {
  std::vector<std::string> lines;
  try {
    while (!handle.FileReadHandle().IsEndOfFile().Bool()) {
      lines.push_back(handle.FileReadHandle().ReadLine().String());
    }
  } catch (const COtxException& end) {
    if (end.Exception().GetId() != OTX::OutOfBoundsException) throw;
  }
  return lines;
}

TEST(FileReadHandle, LinesEndAtCrLfLfOrALoneCrInEveryUnitSize) {
  const std::string x255(255, 'x'), z300(300, 'z');
  std::string wide;  // 127 units U+4141, then CR LF with the LF past the first 256 bytes
  for (int i = 0; i < 127; ++i) wide += "\xE4\x85\x81";
  struct Case {
    std::string bytes;
    E::Encoding encoding, read;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      // clang-format off
      {"\xEF\xBB\xBF" "a\r\nb", E::UTF_8, E::UTF_8, {"a", "b"}},
      {"a\n\nb\r", E::UTF_8, E::UTF_8, {"a", "", "b"}},
      {"a\rb\r\n\r\n", E::US_ASCII, E::US_ASCII, {"a", "b", ""}},
      {x255 + "\r\ny", E::US_ASCII, E::US_ASCII, {x255, "y"}},
      {z300 + "\n" + z300 + z300, E::US_ASCII, E::US_ASCII, {z300, z300 + z300}},
      {"caf\xE9\n", E::ISO_8859_1, E::ISO_8859_1, {"caf\xC3\xA9"}},
      {"\xFF\xFE" "a\0\r\0\n\0\xE9\0"s, E::UTF_16, E::UTF_16LE, {"a", "\xC3\xA9"}},
      {"\0a\0\n\0b"s, E::UTF_16LE, E::UTF_16BE, {"a", "b"}},
      {"\xFE\xFF\x01\x0D\0\r\0b"s, E::UTF_16BE, E::UTF_16BE, {"\xC4\x8D", "b"}},
      {"\xFE\xFF"s + std::string(254, 'A') + "\0\r\0\n"s, E::UTF_16, E::UTF_16BE, {wide}},
      // clang-format on
  };
  for (const auto& [bytes, encoding, read, lines] : cases) {
    SCOPED_TRACE(lines.front().substr(0, 8));
    const CKesmar handle = Open(bytes, encoding);
    const auto behaviour = handle.GetBehaviourReference();
    EXPECT_EQ(dynamic_cast<COtxFileReadHandleBehaviour&>(*behaviour).GetEncoding(), read);
    EXPECT_EQ(ReadLines(handle), lines);
    EXPECT_OTX_THROW(handle.FileReadHandle().ReadLine(), OTX::OutOfBoundsException, "");
  }
}

TEST(FileReadHandle, StatesAllowOneKindOfReadingUntilClosed) {
  const CKesmar bytes = Open("abcd");
  OTX::IFileReadHandle& reader = bytes.FileReadHandle();
  EXPECT_EQ(Text(reader.ReadBytes(1, 1'000'000'000'000'000)), "bcd");  // allocates for 3
  EXPECT_TRUE(reader.IsEndOfFile().Bool());
  EXPECT_OTX_THROW(reader.ReadBytes(-1, 1), OTX::OutOfBoundsException, "");
  EXPECT_OTX_THROW(reader.ReadLine(), OTX::FileFormatException, "");
  EXPECT_EQ(Text(reader.ReadBytes(0, 2)), "ab");
  bytes.FileHandle().Close();
  EXPECT_OTX_THROW(bytes.FileHandle().Close(), OTX::InvalidReferenceException, "");
  EXPECT_OTX_THROW(reader.IsEndOfFile(), OTX::InvalidReferenceException, "");
  EXPECT_OTX_THROW(reader.ReadLine(), OTX::InvalidReferenceException, "");
  EXPECT_EQ(bytes.ToString().String(), "FileReadHandle f.txt");

  const CKesmar lines = Open("a\nb");
  EXPECT_EQ(lines.FileReadHandle().ReadLine().String(), "a");
  EXPECT_OTX_THROW(lines.FileReadHandle().ReadBytes(0, 1), OTX::FileFormatException, "");
  EXPECT_OTX_THROW(Open("a").FileReadHandle().ReadBytes(0, 0), OTX::FileAccessException, "");
  // Behind a little-endian mark, a negative start is the position after it.
  EXPECT_EQ(Text(Open("\xFF\xFE\x61\0"s, E::UTF_16).FileReadHandle().ReadBytes(-1, -1)), "a\0"s);

  const COtxFileReadHandle closed;
  EXPECT_OTX_THROW(closed.FileReadHandle().IsEndOfFile(), OTX::InvalidReferenceException, "");
  EXPECT_EQ(closed.ToString().String(), "FileReadHandle ");
  EXPECT_OTX_THROW(COtxFileReadHandle(nullptr, E::HEX, COtxString()), OTX::FileOpenException, "");
}

TEST(FileReadHandle, AStreamThatShrinksOrFailsEndsTheReadingWithFileAccess) {
  const auto shrinking = std::make_shared<std::istringstream>("abcdefgh");
  const CKesmar handle = Open(shrinking);
  shrinking->str("ab");  // the handle still counts 8 bytes
  EXPECT_EQ(Text(handle.FileReadHandle().ReadBytes(-1, -1)), "ab");
  EXPECT_FALSE(handle.FileReadHandle().IsEndOfFile().Bool());
  EXPECT_OTX_THROW(handle.FileReadHandle().ReadBytes(-1, -1), OTX::FileAccessException, "");

  FailingBuffer device("abc\ndefgh", std::ios::in);
  const auto failing = std::make_shared<std::istream>(&device);
  failing->exceptions(std::ios::badbit | std::ios::failbit);  // the handle's reads never throw
  const CKesmar broken = Open(failing);
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_OTX_THROW(broken.FileReadHandle().ReadLine(), OTX::FileAccessException, "");
    EXPECT_FALSE(broken.FileReadHandle().IsEndOfFile().Bool());
  }
  EXPECT_EQ(failing->exceptions(), std::ios::badbit | std::ios::failbit);
}

TEST(ThreadsFileReadHandle, ReadersSharingAHandleGetEveryLineOnce) {
  std::string text;
  std::vector<std::string> expected;
  for (int i = 0; i < 2000; ++i) {
    expected.push_back(std::to_string(i) + std::string(static_cast<std::size_t>(i % 300), '.'));
    text += expected.back() + (i % 2 == 0 ? "\r\n" : "\n");
  }
  const CKesmar handle = Open(text);
  std::vector<std::vector<std::string>> read(4);
  std::vector<std::thread> readers;
  for (auto& lines : read) readers.emplace_back([&lines, handle] { lines = ReadLines(handle); });
  for (auto& reader : readers) reader.join();
  std::vector<std::string> all;
  for (const auto& lines : read) all.insert(all.end(), lines.begin(), lines.end());
  std::sort(all.begin(), all.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(all, expected);
}

}  // namespace
