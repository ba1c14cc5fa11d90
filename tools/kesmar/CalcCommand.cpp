// kesmar calc A OP B, kesmar calc abs A and kesmar convert A TYPE: the OTX operators,
// comparisons and conversions on JSON operands.
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "ToolSupport.h"

namespace kesmar::tool {

namespace {

using BinaryOperator = std::function<CKesmar(const CKesmar&, const CKesmar&)>;

// A comparison's answer as a BOOLEAN value.
template <bool (CKesmar::*Compare)(const CKesmar&) const>
CKesmar Comparison(const CKesmar& a, const CKesmar& b) {
  return COtxBool((a.*Compare)(b));
}

const std::map<std::string, BinaryOperator>& Operators() {
  static const std::map<std::string, BinaryOperator> kOperators = {
      {"+", [](const CKesmar& a, const CKesmar& b) { return a + b; }},
      {"-", [](const CKesmar& a, const CKesmar& b) { return a - b; }},
      {"*", [](const CKesmar& a, const CKesmar& b) { return a * b; }},
      {"/", [](const CKesmar& a, const CKesmar& b) { return a / b; }},
      {"%", [](const CKesmar& a, const CKesmar& b) { return a % b; }},
      {"==", Comparison<(&CKesmar::operator==)>},
      {"!=", Comparison<(&CKesmar::operator!=)>},
      {"<", Comparison<(&CKesmar::operator<)>},
      {"<=", Comparison<(&CKesmar::operator<=)>},
      {">", Comparison<(&CKesmar::operator>)>},
      {">=", Comparison<(&CKesmar::operator>=)>},
  };
  return kOperators;
}

const std::map<std::string, CKesmar (CKesmar::*)() const>& Conversions() {
  static const std::map<std::string, CKesmar (CKesmar::*)() const> kConversions = {
      {"BOOLEAN", &CKesmar::ToBoolean},     {"INTEGER", &CKesmar::ToInteger},
      {"FLOAT", &CKesmar::ToFloat},         {"STRING", &CKesmar::ToString},
      {"BYTEFIELD", &CKesmar::ToByteField}, {"QUANTITY", &CKesmar::ToQuantity},
  };
  return kConversions;
}

template <class Map>
std::vector<std::string> Keys(const Map& map) {
  std::vector<std::string> keys;
  for (const auto& entry : map) keys.push_back(entry.first);
  return keys;
}

struct CalcArguments {
  std::string left;
  std::string op;
  std::string right;
};

}  // namespace

void AddCalcCommands(CLI::App& app, Context& context) {
  CLI::App* calc = app.add_subcommand(
      "calc", "Apply an operator or comparison: A OP B with OP one of + - * / % == != < <= > >=");
  calc->require_subcommand(0, 1);
  CLI::App* abs = calc->add_subcommand("abs", "The absolute value of A");
  auto operand = std::make_shared<std::string>();
  abs->add_option("A", *operand, "Operand (JSON)")->required();
  auto runAbs = [&context, operand] {
    context.subject = *operand;
    PrintResult(std::cout, ParseValue(*operand).Abs());
    return 0;
  };

  auto arguments = std::make_shared<CalcArguments>();
  calc->add_option("A", arguments->left, "Left operand (JSON)");
  calc->add_option("OP", arguments->op, "Operator")->check(CLI::IsMember(Keys(Operators())));
  calc->add_option("B", arguments->right, "Right operand (JSON)");
  // The subcommand's own callback runs first; calc's then decides what runs.
  calc->callback([&context, arguments, abs, runAbs] {
    context.needsUnits = true;
    if (abs->parsed()) {
      context.action = runAbs;
      return;
    }
    if (arguments->right.empty()) throw CLI::RequiredError("A OP B");
    context.action = [&context, arguments] {
      context.subject = arguments->left;
      const CKesmar left = ParseValue(arguments->left);
      context.subject = arguments->right;
      const CKesmar right = ParseValue(arguments->right);
      context.subject = arguments->left + ' ' + arguments->op + ' ' + arguments->right;
      PrintResult(std::cout, Operators().at(arguments->op)(left, right));
      return 0;
    };
  });

  CLI::App* convert =
      app.add_subcommand("convert", "Convert A into BOOLEAN, INTEGER, FLOAT, STRING, BYTEFIELD "
                                    "or QUANTITY");
  auto conversion = std::make_shared<CalcArguments>();
  convert->add_option("A", conversion->left, "Operand (JSON)")->required();
  convert->add_option("TYPE", conversion->op, "Target type")
      ->required()
      ->check(CLI::IsMember(Keys(Conversions())));
  OnParsed(*convert, context, [&context, conversion] {
    context.subject = conversion->left;
    const CKesmar value = ParseValue(conversion->left);
    context.subject += " to " + conversion->op;
    PrintResult(std::cout, (value.*Conversions().at(conversion->op))());
    return 0;
  });
}

}  // namespace kesmar::tool
