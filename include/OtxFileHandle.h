// The interfaces of a file that the runtime opened for a test sequence: closing it
// (OTX::IFileHandle) and reading it (OTX::IFileReadHandle). A value hands them out through
// CKesmar::FileHandle() and CKesmar::FileReadHandle(); the value's own header says how it
// implements them and which threads may use it. Failures are COtxException values.
#pragma once

#include "CKesmar.h"
#include "KesmarExport.h"

namespace OTX {

// Closing a file (CKesmar::FileHandle()).
class KESMAR_API IFileHandle {
 public:
  // Marks the file closed; every later operation but the text form fails. Throws
  // InvalidReferenceException when it already is closed.
  virtual void Close() = 0;

 protected:
  ~IFileHandle() = default;
};

// Reading a file (CKesmar::FileReadHandle()); every member throws as stated once closed.
class KESMAR_API IFileReadHandle {
 public:
  // BOOLEAN: whether the read position has reached the file's size. Throws
  // InvalidReferenceException when closed.
  virtual CKesmar IsEndOfFile() const = 0;
  // BYTEFIELD: up to count bytes from start (a negative start: the read position; a negative
  // count: up to the end). Throws InvalidReferenceException when closed, FileFormatException
  // once lines were read, OutOfBoundsException for a start at or beyond the size and
  // FileAccessException when no byte could be read.
  virtual CKesmar ReadBytes(long long start, long long count) = 0;
  // STRING: the next line, decoded, without its end (CR LF, LF or a lone CR). Throws
  // InvalidReferenceException when closed, FileFormatException once bytes were read,
  // OutOfBoundsException at the end of the file and FileAccessException when no byte could be
  // read; a line that does not decode throws as COtxString from bytes does, and is skipped.
  virtual CKesmar ReadLine() = 0;

 protected:
  ~IFileReadHandle() = default;
};

}  // namespace OTX
