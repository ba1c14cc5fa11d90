#include "COtxFileReadHandle.h"

#include <algorithm>
#include <ios>
#include <utility>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxString.h"
#include "core/detail/Allocation.h"
#include "core/detail/Log.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Encoding = COtxStringEncoding::Encoding;

// A byte read sizes its first buffer by the length the stream announced, but never above
// this: a stream may announce more than it holds, and beyond this bound memory grows only
// with the bytes that actually arrive.
constexpr std::size_t kTrustedLength = std::size_t{16} << 20;
// Once the announced length is used up, a byte read goes on in chunks of at least this size.
constexpr std::size_t kMinChunk = std::size_t{64} << 10;
// A line is looked for in the first 256 bytes, then in twice as many while none ends.
constexpr std::size_t kFirstLineChunk = 256;

[[noreturn]] void Fail(OTX::Exceptions_e id) { throw COtxException(id); }

bool IsUtf16(Encoding encoding) {
  return encoding == COtxStringEncoding::UTF_16BE || encoding == COtxStringEncoding::UTF_16LE ||
         encoding == COtxStringEncoding::UTF_16;
}

// One use of the caller's stream, starting at offset. The stream's error state is cleared and
// its exceptions are switched off while it is used: a short read at the end is expected, and a
// device failing in the middle shows as a short read. The caller's exception mask comes back
// when the use ends.
class StreamUse {
 public:
  StreamUse(std::istream& stream, std::streamoff offset, std::ios::seekdir from = std::ios::beg)
      : m_stream(stream), m_mask(stream.exceptions()) {
    m_stream.exceptions(std::ios::goodbit);
    m_stream.clear();
    m_stream.seekg(offset, from);
  }
  ~StreamUse() {
    m_stream.clear();  // so that restoring the mask cannot throw
    m_stream.exceptions(m_mask);
  }
  StreamUse(const StreamUse&) = delete;
  StreamUse& operator=(const StreamUse&) = delete;

  // Appends up to count bytes to bytes and returns how many arrived.
  std::size_t Append(Bytes& bytes, std::size_t count) {
    const std::size_t old = bytes.size();
    bytes.resize(old + count);
    m_stream.read(reinterpret_cast<char*>(bytes.data() + old), static_cast<std::streamsize>(count));
    const auto got = static_cast<std::size_t>(m_stream.gcount());
    bytes.resize(old + got);
    return got;
  }

  // True iff the stream has no further byte to deliver.
  bool AtEnd() {
    using Traits = std::istream::traits_type;
    return Traits::eq_int_type(m_stream.peek(), Traits::eof());
  }

  // The offset of the end; 0 for a stream that cannot tell it.
  long long EndOffset() { return std::max<long long>(m_stream.tellg(), 0); }

 private:
  std::istream& m_stream;
  std::ios::iostate m_mask;
};

// Up to count bytes from the start of stream.
Bytes ReadPrefix(std::istream& stream, std::size_t count) {
  Bytes bytes;
  StreamUse(stream, 0).Append(bytes, count);
  return bytes;
}

}  // namespace

COtxFileReadHandle::COtxFileReadHandle()
    : CKesmar(kesmar::detail::MakeBehaviour<COtxFileReadHandleBehaviour>()) {}

COtxFileReadHandle::COtxFileReadHandle(const std::shared_ptr<std::istream>& stream,
                                       COtxStringEncoding::Encoding encoding, const CKesmar& name)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxFileReadHandleBehaviour>(stream, encoding,
                                                            std::string(name.String()))) {}

COtxFileReadHandle::~COtxFileReadHandle() = default;

COtxFileReadHandleBehaviour::COtxFileReadHandleBehaviour()
    : COtxFileReadHandleBehaviour(nullptr, COtxStringEncoding::UTF_8, std::string()) {}

COtxFileReadHandleBehaviour::COtxFileReadHandleBehaviour(std::shared_ptr<std::istream> stream,
                                                         COtxStringEncoding::Encoding encoding,
                                                         std::string name)
    : CKesmarBehaviour(OTX::FILE_READ_HANDLE),
      m_encoding(encoding),
      m_name(std::move(name)),
      m_state(stream ? State::Fresh : State::Closed),
      m_stream(std::move(stream)) {
  if (encoding == COtxStringEncoding::BIN || encoding == COtxStringEncoding::OCT ||
      encoding == COtxStringEncoding::HEX) {
    Fail(OTX::FileOpenException);
  }
  if (IsUtf16(encoding)) m_unitSize = 2;
  if (m_stream) {
    m_size = StreamUse(*m_stream, 0, std::ios::end).EndOffset();
    // A byte-order mark is skipped. UTF-16 without the little-endian mark reads big-endian,
    // whichever UTF-16 name was given.
    if (encoding == COtxStringEncoding::UTF_8) {
      if (ReadPrefix(*m_stream, 3) == Bytes{0xEF, 0xBB, 0xBF}) m_position = 3;
    } else if (IsUtf16(encoding)) {
      const Bytes mark = ReadPrefix(*m_stream, 2);
      const bool little = mark == Bytes{0xFF, 0xFE};
      if (little || mark == Bytes{0xFE, 0xFF}) m_position = 2;
      m_encoding = little ? COtxStringEncoding::UTF_16LE : COtxStringEncoding::UTF_16BE;
    }
  }
  KESMAR_LOG_OBJECT(kesmar::detail::kLogDetail, *this,
                    "COtxFileReadHandleBehaviour::COtxFileReadHandleBehaviour",
                    "Encoding: " << COtxStringEncoding::String(m_encoding));
}

COtxFileReadHandleBehaviour::~COtxFileReadHandleBehaviour() = default;

CKesmar COtxFileReadHandleBehaviour::ToString() const {
  return COtxString("FileReadHandle " + m_name);
}

void COtxFileReadHandleBehaviour::Close() {
  const std::lock_guard lock(m_mutex);
  if (m_state == State::Closed) Fail(OTX::InvalidReferenceException);
  m_state = State::Closed;
}

CKesmar COtxFileReadHandleBehaviour::IsEndOfFile() const {
  bool atEnd;
  {
    const std::lock_guard lock(m_mutex);
    if (m_state == State::Closed) Fail(OTX::InvalidReferenceException);
    atEnd = m_position >= m_size;
  }
  return COtxBool(atEnd);
}

void COtxFileReadHandleBehaviour::Enter(State reading) {
  if (m_state == State::Closed) Fail(OTX::InvalidReferenceException);
  if (m_state != State::Fresh && m_state != reading) Fail(OTX::FileFormatException);
  m_state = reading;
}

CKesmar COtxFileReadHandleBehaviour::ReadBytes(long long start, long long count) {
  Bytes bytes;
  {
    const std::lock_guard lock(m_mutex);
    Enter(State::ReadingBytes);
    if (start < 0) start = m_position;
    if (count < 0) count = m_size - start;
    if (start >= m_size) Fail(OTX::OutOfBoundsException);
    // The buffer grows with the bytes that arrive, not with the count asked for: a count far
    // beyond the stream must not allocate for it.
    const auto wanted = static_cast<unsigned long long>(count);
    const auto announced = static_cast<unsigned long long>(m_size - start);
    bytes.reserve(static_cast<std::size_t>(
        std::min({wanted, announced, static_cast<unsigned long long>(kTrustedLength)})));
    StreamUse use(*m_stream, start);
    while (bytes.size() < wanted) {
      if (!bytes.empty() && use.AtEnd()) break;
      const std::size_t room = bytes.capacity() - bytes.size();
      const std::size_t chunk = static_cast<std::size_t>(std::min<unsigned long long>(
          wanted - bytes.size(), room > 0 ? room : std::max(bytes.size(), kMinChunk)));
      if (use.Append(bytes, chunk) < chunk) break;
    }
    if (bytes.empty()) Fail(OTX::FileAccessException);
    // A stream that announced more than it held leaves the trusted buffer mostly empty.
    if (bytes.capacity() / 2 > bytes.size()) bytes.shrink_to_fit();
    m_position = start + static_cast<long long>(bytes.size());
  }
  return COtxByteField(std::move(bytes));
}

CKesmar COtxFileReadHandleBehaviour::ReadLine() {
  Bytes line;
  {
    const std::lock_guard lock(m_mutex);
    Enter(State::ReadingLines);
    if (m_position >= m_size) Fail(OTX::OutOfBoundsException);
    line = NextLine();
  }
  // Decoded outside the lock; a line that does not decode has been consumed all the same.
  return COtxString(line, m_encoding);
}

unsigned COtxFileReadHandleBehaviour::UnitAt(const Bytes& bytes, std::size_t offset) const {
  if (m_unitSize == 1) return bytes[offset];
  const unsigned first = bytes[offset];
  const unsigned second = bytes[offset + 1];
  return m_encoding == COtxStringEncoding::UTF_16LE ? first | second << 8 : first << 8 | second;
}

std::vector<unsigned char> COtxFileReadHandleBehaviour::NextLine() {
  constexpr unsigned kCarriageReturn = 13;
  constexpr unsigned kLineFeed = 10;
  const auto unit = static_cast<std::size_t>(m_unitSize);
  // The line is bytes [0, end); consumed bytes, its line end included, are skipped.
  const auto take = [this](Bytes& bytes, std::size_t end, std::size_t consumed) {
    m_position += static_cast<long long>(consumed);
    bytes.resize(end);
    return std::move(bytes);
  };

  StreamUse use(*m_stream, m_position);
  Bytes bytes;
  std::size_t chunk = kFirstLineChunk;
  if (use.Append(bytes, chunk) == 0) Fail(OTX::FileAccessException);
  std::size_t at = 0;  // the first code unit not examined yet
  for (;;) {
    const std::size_t n = bytes.size();
    const bool more = n == chunk;  // a full chunk: the stream may hold more of the line
    while (at + unit <= n && UnitAt(bytes, at) != kCarriageReturn &&
           UnitAt(bytes, at) != kLineFeed) {
      at += unit;
    }
    const bool found = at + unit <= n;
    if (found && UnitAt(bytes, at) == kLineFeed) return take(bytes, at, at + unit);
    // A carriage return ends the line, together with a line feed right after it.
    if (found && at + 2 * unit <= n) {
      return take(bytes, at, at + (UnitAt(bytes, at + unit) == kLineFeed ? 2 : 1) * unit);
    }
    if (!more) return take(bytes, found ? at : n, n);
    // Nothing decides yet: read as many bytes again and look on from the undecided unit.
    use.Append(bytes, chunk);
    chunk *= 2;
  }
}
