// kesmar bytes encode VALUE BITS ENCODING ENDIAN and kesmar bytes decode HEX BITS ENCODING
// ENDIAN: integers written into and read from byte fields.
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ToolSupport.h"

namespace kesmar::tool {

namespace {

const std::map<std::string, OTX::Encoding> kEncodings = {
    {"NoEncoding", OTX::NoEncoding},
    {"SignedBinary", OTX::SignedBinary},
    {"OnesComplement", OTX::OnesComplement},
    {"TwosComplement", OTX::TwosComplement},
    {"Unsigned", OTX::Unsigned},
    {"PackedBinaryCodedDecimal", OTX::PackedBinaryCodedDecimal},
    {"UnpackedBinaryCodedDecimal", OTX::UnpackedBinaryCodedDecimal},
};

const std::map<std::string, OTX::Endianness> kEndians = {
    {"BigEndian", OTX::BigEndian},
    {"LittleEndian", OTX::LittleEndian},
};

struct BytesArguments {
  std::string operand;
  int bits = 0;
  OTX::Encoding encoding = OTX::NoEncoding;
  OTX::Endianness endianness = OTX::BigEndian;
};

// The four arguments both directions take; the first is named operand.
std::shared_ptr<BytesArguments> AddArguments(CLI::App& sub, const std::string& operand,
                                             const std::string& description) {
  auto arguments = std::make_shared<BytesArguments>();
  sub.add_option(operand, arguments->operand, description)->required();
  sub.add_option("BITS", arguments->bits, "Bit length")->required();
  sub.add_option("ENCODING", arguments->encoding,
                 "Integer encoding: NoEncoding, SignedBinary, OnesComplement, TwosComplement, "
                 "Unsigned, PackedBinaryCodedDecimal, UnpackedBinaryCodedDecimal")
      ->required()
      ->transform(CLI::CheckedTransformer(kEncodings, CLI::ignore_case).description(""));
  sub.add_option("ENDIAN", arguments->endianness, "Byte order: BigEndian or LittleEndian")
      ->required()
      ->transform(CLI::CheckedTransformer(kEndians, CLI::ignore_case).description(""));
  return arguments;
}

}  // namespace

void AddBytesCommand(CLI::App& app, Context& context) {
  CLI::App* bytes =
      app.add_subcommand("bytes", "Write integers into byte fields and read them back");
  bytes->require_subcommand(1);

  CLI::App* encode = bytes->add_subcommand(
      "encode", "The byte field of an integer in BITS bits, an encoding and a byte order");
  auto encoding = AddArguments(*encode, "VALUE", "Integer (JSON)");
  OnParsed(*encode, context, [&context, encoding] {
    context.subject = encoding->operand;
    const long long value = ParseValue(encoding->operand).Int();
    PrintResult(std::cout,
                COtxByteField(value, encoding->bits, encoding->encoding, encoding->endianness));
    return 0;
  }, false);

  CLI::App* decode = bytes->add_subcommand(
      "decode", "The integer in the first BITS bits of hexadecimal bytes, in an encoding and a "
                "byte order");
  auto decoding = AddArguments(*decode, "HEX", "Bytes as hexadecimal digits, e.g. 012C");
  OnParsed(*decode, context, [&context, decoding] {
    context.subject = decoding->operand;
    const CKesmar field = COtxByteField(decoding->operand, COtxStringEncoding::HEX);
    const std::vector<unsigned char>& data = field.ByteField();
    PrintResult(std::cout,
                COtxInt(data, decoding->bits, decoding->encoding, decoding->endianness));
    return 0;
  }, false);
}

}  // namespace kesmar::tool
