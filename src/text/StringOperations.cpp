// The OTX text operations of string values, on Unicode code points.
#include <cstdint>
#include <cwctype>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "COtxBool.h"
#include "COtxException.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxString.h"
#include "text/detail/Regex.h"
#include "text/detail/Utf8.h"

namespace {

using kesmar::detail::CountCodePoints;
using kesmar::detail::DecodeUtf8;
using kesmar::detail::EncodeUtf8;

// A numeric argument: its low 32 bits, unsigned, so that -1 reaches past every text.
std::size_t Position(const CKesmar& argument) {
  return static_cast<std::uint32_t>(static_cast<unsigned long long>(argument.Int()));
}

// A start position that must lie within the text or just past its end.
std::size_t CheckedStart(const CKesmar& argument, std::size_t length) {
  const std::size_t start = Position(argument);
  if (start > length) throw std::out_of_range("invalid string position");
  return start;
}

CKesmar MakeString(std::u32string_view codePoints) { return COtxString(EncodeUtf8(codePoints)); }

template <class Mapping>
CKesmar MapCodePoints(const std::string& text, Mapping mapping) {
  std::u32string codePoints = DecodeUtf8(text);
  for (char32_t& c : codePoints) {
    c = static_cast<char32_t>(mapping(static_cast<std::wint_t>(c)));
  }
  return MakeString(codePoints);
}

}  // namespace

CKesmar COtxStringBehaviour::LengthOfString() const {
  return COtxInt(static_cast<long long>(CountCodePoints(Text())), COtxInt::DEC);
}

CKesmar COtxStringBehaviour::IndexOf(const CKesmar& text) const {
  // Both texts are checked as DecodeUtf8 would check them, in the same order. In shortest
  // form (nearly always), the first byte match is the first code-point match, and its index
  // is the number of code points before it.
  const std::string_view ownText = Text();
  bool ownShortest = false;
  CountCodePoints(ownText, &ownShortest);
  const std::string_view wantedText = static_cast<const std::string&>(text.String());
  bool wantedShortest = false;
  CountCodePoints(wantedText, &wantedShortest);
  if (ownShortest && wantedShortest) {
    const std::size_t at = ownText.find(wantedText);
    return COtxInt(at == std::string_view::npos
                       ? -1
                       : static_cast<long long>(CountCodePoints(ownText.substr(0, at))),
                   COtxInt::DEC);
  }
  // Over-long forms decode to the code points they spell, which a byte search would miss.
  const std::u32string own = DecodeUtf8(ownText);
  const std::u32string wanted = DecodeUtf8(wantedText);
  const std::size_t found = own.find(wanted);
  return COtxInt(found == std::u32string::npos ? -1 : static_cast<long long>(found),
                 COtxInt::DEC);
}

CKesmar COtxStringBehaviour::SubString(const CKesmar& start, const CKesmar& length) const {
  const std::u32string own = DecodeUtf8(Text());
  const std::size_t from = CheckedStart(start, own.size());
  return MakeString(std::u32string_view(own).substr(from, Position(length)));
}

CKesmar COtxStringBehaviour::ReplaceSubString(const CKesmar& replacement,
                                              const CKesmar& start) const {
  std::u32string own = DecodeUtf8(Text());
  const std::u32string with = DecodeUtf8(replacement.String());
  const std::size_t from = CheckedStart(start, own.size());
  own.replace(from, with.size(), with);  // replaces fewer where the text ends first
  return MakeString(own);
}

CKesmar COtxStringBehaviour::SplitString(const CKesmar& delimiter) const {
  const std::u32string own = DecodeUtf8(Text());
  const std::u32string separator = DecodeUtf8(delimiter.String());
  std::vector<CKesmar> parts;
  const std::u32string_view text(own);
  std::size_t position = 0;
  while (position < text.size()) {
    if (separator.empty()) {
      parts.push_back(MakeString(text.substr(position, 1)));
      ++position;
      continue;
    }
    const std::size_t found = text.find(separator, position);
    if (found == std::u32string_view::npos) {
      parts.push_back(MakeString(text.substr(position)));
      break;
    }
    parts.push_back(MakeString(text.substr(position, found - position)));
    position = found + separator.size();
  }
  return COtxList(parts);
}

CKesmar COtxStringBehaviour::ToUpper() const {
  return MapCodePoints(Text(), [](std::wint_t c) { return std::towupper(c); });
}

CKesmar COtxStringBehaviour::ToLower() const {
  return MapCodePoints(Text(), [](std::wint_t c) { return std::towlower(c); });
}

CKesmar COtxStringBehaviour::MatchToRegularExpression(const CKesmar& pattern) const {
  // Every failure, reading the pattern included, reports the same invalid expression.
  try {
    return COtxBool(kesmar::detail::SearchRegularExpression(pattern.String(), Text()));
  } catch (const std::exception&) {
    throw COtxException(OTX::OutOfBoundsException, "invalid regular expression");
  }
}

CKesmar COtxStringBehaviour::ToBoolean() const {
  return COtxBool(ToLower().String() == std::string_view("true"));
}
