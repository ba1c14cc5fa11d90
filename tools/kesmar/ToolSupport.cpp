#include "ToolSupport.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace kesmar::tool {

namespace {

// Whether value is an object form: a MAP with STRING keys "type" and "value".
bool IsObjectForm(const CKesmar& value) {
  if (value.Type() != OTX::MAP) return false;
  const auto& map = value.Map();
  return map.count(COtxString(std::string("type"))) == 1 &&
         map.count(COtxString(std::string("value"))) == 1;
}

// value with every object form inside it, at any depth, made typed. An object form is handed
// to the library whole: the object forms of lists and maps read their own elements.
CKesmar Typed(const CKesmar& value, int depth) {
  if (depth > OTX::kMaxJSONDepth) throw std::runtime_error("nested too deep");
  if (IsObjectForm(value)) return OTX::OtxMapToKesmar(value);
  if (value.Type() == OTX::LIST) {
    for (CKesmar& element : value.List()) element = Typed(element, depth + 1);
  } else if (value.Type() == OTX::MAP) {
    for (auto& entry : value.Map()) entry.second = Typed(entry.second, depth + 1);
  }
  return value;
}

}  // namespace

void OnParsed(CLI::App& sub, Context& context, std::function<int()> action, bool needsUnits) {
  sub.callback([&context, action = std::move(action), needsUnits] {
    context.action = action;
    context.needsUnits = needsUnits;
  });
}

std::string ReadOperand(const std::string& argument) {
  if (argument == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  if (argument.size() > 1 && argument.front() == '@') {
    std::ifstream file(argument.substr(1), std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + argument.substr(1));
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return argument;
}

CKesmar ParseValue(const std::string& argument) {
  CKesmar tree;
  if (!OTX::FromJSON(ReadOperand(argument).c_str(), tree)) {
    throw std::runtime_error(tree.String());
  }
  return Typed(tree, 0);
}

std::string UnitsDocument(const Context& context) {
  if (context.unitsFile.empty()) {
    return std::string(reinterpret_cast<const char*>(kDefaultUnits), kDefaultUnitsSize);
  }
  return ReadOperand('@' + context.unitsFile);
}

void LoadUnits(const Context& context) {
  std::istringstream document(UnitsDocument(context));
  OTX::Initialise(document);
}

std::string TextOf(const CKesmar& value) { return value.ToString().String(); }

std::string PlainJSON(const CKesmar& value) {
  value.SetOTXJSON(false);
  return value.ToJSON().String();
}

std::string ObjectJSON(const CKesmar& value) {
  value.SetOTXJSON(true);
  std::string text = value.ToJSON().String();
  value.SetOTXJSON(false);
  return text;
}

void PrintResult(std::ostream& out, const CKesmar& value) {
  out << value.stringType() << ' ' << value << '\n';
}

std::vector<std::string> EncodingNames() {
  std::vector<std::string> names;
  for (int number = COtxStringEncoding::US_ASCII; number <= COtxStringEncoding::WINDOWS_1252;
       ++number) {
    names.push_back(COtxStringEncoding::String(static_cast<COtxStringEncoding::Encoding>(number)));
  }
  return names;
}

COtxStringEncoding::Encoding EncodingNamed(const std::string& name) {
  const std::vector<std::string> names = EncodingNames();
  for (std::size_t number = 0; number < names.size(); ++number) {
    if (names[number] == name) return static_cast<COtxStringEncoding::Encoding>(number);
  }
  throw std::runtime_error("unknown string encoding " + name);
}

}  // namespace kesmar::tool
