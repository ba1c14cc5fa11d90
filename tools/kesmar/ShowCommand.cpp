// kesmar show JSON...: every form in which a value writes itself.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ToolSupport.h"

namespace kesmar::tool {

namespace {

void Show(const CKesmar& value) {
  std::cout << "type:   " << value.stringType() << '\n'
            << "string: " << TextOf(value) << '\n'
            << "stream:\n  ";
  // Indented by two, as the lines of a container's form are.
  value.ToStream(std::cout, 2);
  std::cout << '\n'
            << "plain:  " << PlainJSON(value) << '\n'
            << "object: " << ObjectJSON(value) << '\n';
}

}  // namespace

void AddShowCommand(CLI::App& app, Context& context) {
  CLI::App* show = app.add_subcommand(
      "show", "Print each value's type, text, stream form (indented) and plain and object JSON");
  auto operands = std::make_shared<std::vector<std::string>>();
  show->add_option("JSON", *operands,
                   "JSON text (plain or object form), '-' for standard input, '@FILE' for a file")
      ->required()
      // Takes the first operand alone: CLI11 would read a JSON array given to a list option
      // as its own list syntax. The rest stay extras, taken as they are.
      ->allow_extra_args(false);
  show->allow_extras();
  show->fallthrough(false);  // so the extras stay here; --units goes before "show"
  OnParsed(*show, context, [&context, operands, show] {
    for (const std::string& extra : show->remaining()) operands->push_back(extra);
    bool first = true;
    for (const std::string& operand : *operands) {
      context.subject = operand;
      const CKesmar value = ParseValue(operand);
      if (!first) std::cout << '\n';
      first = false;
      Show(value);
    }
    return 0;
  });
}

}  // namespace kesmar::tool
