// The integer encodings and byte orders in which integers are written into and read from
// byte fields.
#pragma once

namespace OTX {

// The integer encodings that byte fields and integers convert between.
enum Encoding : int {
  NoEncoding = 0,                  // raw bytes
  SignedBinary = 1,                // sign and magnitude
  OnesComplement = 2,
  TwosComplement = 3,
  Unsigned = 4,
  PackedBinaryCodedDecimal = 5,    // two 4-bit digits per byte
  UnpackedBinaryCodedDecimal = 6,  // one 8-bit digit per byte
};

// The byte order of an integer written into a byte field.
enum Endianness : int { LittleEndian = 0, BigEndian = 1 };

}  // namespace OTX
