// COtxFileReadHandle: the OTX FileReadHandle, through which a test sequence reads a file
// that the runtime opened: as lines of text in a character encoding or as raw bytes, never
// both. The caller hands over the opened stream; the handle shares it, measures its size once
// and skips a byte-order mark. Copies share the stream, the read position and the state.
// Failures are COtxException values (see OTX::IFileReadHandle). One mutex per handle guards
// every operation, so threads may share a handle: each read is whole and no line is read
// twice. The caller must not use the stream while the handle reads it.
#pragma once

#include <istream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CKesmar.h"
#include "CKesmarBehaviour.h"
#include "COtxStringEncoding.h"
#include "KesmarExport.h"
#include "OtxFileHandle.h"

// A new handle on an opened stream; throws as stated at the constructor. It has no JSON
// form of its own ("not supported"), and the object form does not read back.
class KESMAR_API COtxFileReadHandle : public CKesmar {
 public:
  // A closed handle: no stream, UTF-8, empty name.
  COtxFileReadHandle();
  // A handle on stream (closed when stream is null) whose text is in encoding; name is the
  // String() text of the third argument. UTF-8 skips the mark EF BB BF; the UTF-16 names
  // read FF FE as UTF-16LE and anything else (FE FF skipped) as UTF-16BE. Throws
  // FileOpenException for BIN, OCT and HEX, TypeMismatchException for a name that is no
  // string.
  COtxFileReadHandle(const std::shared_ptr<std::istream>& stream,
                     COtxStringEncoding::Encoding encoding, const CKesmar& name);
  COtxFileReadHandle(const COtxFileReadHandle&) = default;
  COtxFileReadHandle& operator=(const COtxFileReadHandle&) = default;
  ~COtxFileReadHandle() override;
};

// The handle's implementation: the shared stream, its size, the read position and state.
class KESMAR_API COtxFileReadHandleBehaviour : public CKesmarBehaviour,
                                               public OTX::IFileHandle,
                                               public OTX::IFileReadHandle {
 public:
  // A closed handle, see COtxFileReadHandle().
  COtxFileReadHandleBehaviour();
  // See COtxFileReadHandle; logs the encoding chosen at level 4.
  COtxFileReadHandleBehaviour(std::shared_ptr<std::istream> stream,
                              COtxStringEncoding::Encoding encoding, std::string name);
  ~COtxFileReadHandleBehaviour() override;

  // "FileReadHandle <name>".
  CKesmar ToString() const override;
  OTX::IFileHandle& FileHandle() override { return *this; }
  OTX::IFileReadHandle& FileReadHandle() override { return *this; }

  void Close() override;
  CKesmar IsEndOfFile() const override;
  CKesmar ReadBytes(long long start, long long count) override;
  CKesmar ReadLine() override;

  // The encoding of the text after the byte-order mark was looked at.
  COtxStringEncoding::Encoding GetEncoding() const { return m_encoding; }

 private:
  enum class State { Fresh, ReadingBytes, ReadingLines, Closed };

  // Moves into a reading state. Throws InvalidReferenceException when closed and
  // FileFormatException when the other kind of reading has begun. REQUIRES: m_mutex held.
  void Enter(State reading);
  // The bytes of the next line without its end; advances the position past the end.
  // REQUIRES: m_mutex held, a stream, the position before the size.
  std::vector<unsigned char> NextLine();
  // The value of the code unit at offset of bytes, in the encoding's byte order.
  unsigned UnitAt(const std::vector<unsigned char>& bytes, std::size_t offset) const;

  mutable std::mutex m_mutex;
  COtxStringEncoding::Encoding m_encoding;
  long long m_unitSize = 1;  // bytes per code unit: 2 for UTF-16, else 1
  std::string m_name;
  long long m_size = 0;      // measured once at construction
  long long m_position = 0;  // where the next read starts
  State m_state;
  std::shared_ptr<std::istream> m_stream;
};
