// kesmar text OP TEXT ARGS...: the string operations, and kesmar text decode HEX ENCODING /
// encode TEXT ENCODING: text to and from bytes in a character encoding.
#include <array>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ToolSupport.h"

namespace kesmar::tool {

namespace {

// How an argument after TEXT is read: verbatim as a string, or as a JSON number.
enum class Kind { kText, kNumber };

struct Operation {
  const char* name;
  const char* description;
  std::vector<std::pair<const char*, Kind>> arguments;
  std::function<CKesmar(const OTX::IString&, const std::vector<CKesmar>&)> apply;
};

const std::array<Operation, 8>& Operations() {
  using Args = const std::vector<CKesmar>&;
  static const std::array<Operation, 8> kOperations = {{
      {"length", "The number of code points", {},
       [](const OTX::IString& s, Args) { return s.LengthOfString(); }},
      {"index-of", "The index of the first occurrence of FIND, -1 when there is none",
       {{"FIND", Kind::kText}}, [](const OTX::IString& s, Args a) { return s.IndexOf(a[0]); }},
      {"substring", "At most LENGTH code points from START",
       {{"START", Kind::kNumber}, {"LENGTH", Kind::kNumber}},
       [](const OTX::IString& s, Args a) { return s.SubString(a[0], a[1]); }},
      {"replace", "The text with REPLACEMENT written over it from START",
       {{"REPLACEMENT", Kind::kText}, {"START", Kind::kNumber}},
       [](const OTX::IString& s, Args a) { return s.ReplaceSubString(a[0], a[1]); }},
      {"split", "The parts between DELIMITERs", {{"DELIMITER", Kind::kText}},
       [](const OTX::IString& s, Args a) { return s.SplitString(a[0]); }},
      {"upper", "The text in upper case", {},
       [](const OTX::IString& s, Args) { return s.ToUpper(); }},
      {"lower", "The text in lower case", {},
       [](const OTX::IString& s, Args) { return s.ToLower(); }},
      {"match", "Whether the regular expression PATTERN matches anywhere in the text",
       {{"PATTERN", Kind::kText}},
       [](const OTX::IString& s, Args a) { return s.MatchToRegularExpression(a[0]); }},
  }};
  return kOperations;
}

struct TextArguments {
  std::string text;
  std::vector<std::string> arguments;
};

void AddOperation(CLI::App& text, Context& context, const Operation& operation) {
  CLI::App* sub = text.add_subcommand(operation.name, operation.description);
  auto arguments = std::make_shared<TextArguments>();
  arguments->arguments.resize(operation.arguments.size());
  sub->add_option("TEXT", arguments->text, "The text (taken as it is)")->required();
  for (std::size_t i = 0; i < operation.arguments.size(); ++i) {
    const bool number = operation.arguments[i].second == Kind::kNumber;
    sub->add_option(operation.arguments[i].first, arguments->arguments[i],
                    number ? "Integer (JSON)" : "Text (taken as it is)")
        ->required();
  }
  OnParsed(*sub, context, [&context, &operation, arguments] {
    context.subject = arguments->text;
    std::vector<CKesmar> values;
    for (std::size_t i = 0; i < operation.arguments.size(); ++i) {
      const std::string& argument = arguments->arguments[i];
      values.push_back(operation.arguments[i].second == Kind::kNumber ? ParseValue(argument)
                                                                      : COtxString(argument));
    }
    PrintResult(std::cout, operation.apply(COtxString(arguments->text).String(), values));
    return 0;
  }, false);
}

}  // namespace

void AddTextCommand(CLI::App& app, Context& context) {
  CLI::App* text = app.add_subcommand(
      "text", "String operations, and text to and from bytes in a character encoding");
  text->require_subcommand(1);
  for (const Operation& operation : Operations()) AddOperation(*text, context, operation);

  auto arguments = std::make_shared<TextArguments>();
  arguments->arguments.resize(1);
  CLI::App* decode = text->add_subcommand("decode", "The text of hexadecimal bytes in ENCODING");
  decode->add_option("HEX", arguments->text, "Bytes as hexadecimal digits")->required();
  decode->add_option("ENCODING", arguments->arguments[0], "Character encoding")
      ->required()
      ->check(CLI::IsMember(EncodingNames()));
  OnParsed(*decode, context, [&context, arguments] {
    context.subject = arguments->text;
    const CKesmar field = COtxByteField(arguments->text, COtxStringEncoding::HEX);
    const std::vector<unsigned char>& bytes = field.ByteField();
    PrintResult(std::cout, COtxString(bytes, EncodingNamed(arguments->arguments[0])));
    return 0;
  }, false);

  CLI::App* encode = text->add_subcommand("encode", "The bytes of TEXT in ENCODING");
  encode->add_option("TEXT", arguments->text, "The text (taken as it is)")->required();
  encode->add_option("ENCODING", arguments->arguments[0], "Character encoding")
      ->required()
      ->check(CLI::IsMember(EncodingNames()));
  OnParsed(*encode, context, [&context, arguments] {
    context.subject = arguments->text;
    PrintResult(std::cout,
                COtxByteField(arguments->text, EncodingNamed(arguments->arguments[0])));
    return 0;
  }, false);
}

}  // namespace kesmar::tool
