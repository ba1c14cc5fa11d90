// What the subcommands of the `kesmar` tool share: the registration of a subcommand with the
// action it runs after parsing, reading operands (JSON text, "-" for standard input, "@FILE"),
// loading the unit specification, and printing values. The tool keeps no value logic of its
// own: every result is the library's.
#pragma once

#include <CLI/CLI.hpp>
#include <Kesmar.h>

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace kesmar::tool {

// The default unit specification (data/units.xml), compiled in; followed by a zero byte.
extern const unsigned char kDefaultUnits[];
extern const std::size_t kDefaultUnitsSize;

// What one run of the tool does once the command line is parsed.
struct Context {
  // --units FILE; empty selects the compiled-in specification.
  std::string unitsFile;
  // The action of the subcommand that was given, and whether it needs the unit tables.
  std::function<int()> action;
  bool needsUnits = true;
  // What the action is working on, named in front of a failure's message.
  std::string subject;
};

// Makes action the run's action when sub is the subcommand parsed.
void OnParsed(CLI::App& sub, Context& context, std::function<int()> action,
              bool needsUnits = true);

// The text of an operand: the argument itself, standard input for "-", the file's content
// for "@FILE". Throws std::runtime_error when the file cannot be read.
std::string ReadOperand(const std::string& argument);
// The value of a JSON operand, object forms (maps with "type" and "value") at any depth
// turned into the typed values they describe. Throws std::runtime_error with the parser's
// message for text that is not JSON; the library's failures pass through.
CKesmar ParseValue(const std::string& argument);

// Loads the --units document, or the compiled-in one. Throws std::runtime_error.
void LoadUnits(const Context& context);
// The content of the --units document, or of the compiled-in one.
std::string UnitsDocument(const Context& context);

// "TYPE form": the value's type name and its stream form (hexadecimal digits for a byte
// field, the lines of a list or map).
void PrintResult(std::ostream& out, const CKesmar& value);
// The ToString text of a value.
std::string TextOf(const CKesmar& value);
// The object-form JSON text of a value (the value's flag is set for the call and cleared).
std::string ObjectJSON(const CKesmar& value);
std::string PlainJSON(const CKesmar& value);

// The string encoding named exactly name ("UTF-8", "ISO-8859-1", ...); CLI11's validation
// of such names is EncodingNames().
COtxStringEncoding::Encoding EncodingNamed(const std::string& name);
std::vector<std::string> EncodingNames();

// The subcommands.
void AddShowCommand(CLI::App& app, Context& context);
void AddCalcCommands(CLI::App& app, Context& context);  // calc and convert
void AddBytesCommand(CLI::App& app, Context& context);
void AddTextCommand(CLI::App& app, Context& context);
void AddUnitsCommand(CLI::App& app, Context& context);
void AddDemoCommand(CLI::App& app, Context& context);

}  // namespace kesmar::tool
