// kesmar units convert|list|groups|check: quantities between units, the loaded units and
// groups, and what the library would pass over in a unit specification.
#include <charconv>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "ToolSupport.h"
#include "UnitSpecOutline.h"

namespace kesmar::tool {

namespace {

// The shortest text that reads back as number.
std::string Number(double number) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, number);
  return std::string(text, result.ptr);
}

// Whether the library throws when asked.
template <class Ask>
bool Fails(Ask ask) {
  try {
    ask();
    return false;
  } catch (const std::exception&) {
    return true;
  }
}

// What the library, having loaded the document of outline, silently passes over or
// resolves; one line each, in the order of the kinds of problem.
std::vector<std::string> Problems(const UnitSpecOutline& outline) {
  const OTX::COtxUnitSpec& spec = OTX::COtxUnitSpec::Instance();
  std::vector<std::string> problems = outline.ignored;
  // Each table keeps the first entry for an id.
  auto duplicates = [&problems](const Located& id, const std::string& kind,
                                std::set<std::string>& seen) {
    if (!seen.insert(id.text).second) {
      problems.push_back(At(id, kind + " \"" + id.text + "\" is defined again: ignored"));
    }
  };
  std::set<std::string> units;
  std::set<std::string> dimensions;
  std::set<std::string> groups;
  for (const OutlineUnit& unit : outline.units) duplicates(unit.id, "unit", units);
  for (const Located& dimension : outline.dimensions) {
    duplicates(dimension, "physical dimension", dimensions);
  }
  for (const OutlineGroup& group : outline.groups) duplicates(group.id, "unit group", groups);

  for (const OutlineGroup& group : outline.groups) {
    for (const Located& ref : group.unitRefs) {
      if (Fails([&] { spec.GetUnit(ref.text); })) {
        problems.push_back(At(ref, "unit group \"" + group.id.text +
                                       "\" refers to the unknown unit \"" + ref.text + '"'));
      }
    }
  }
  std::set<std::string> checked;
  for (const Located& dimension : outline.dimensions) {
    if (checked.insert(dimension.text).second &&
        Fails([&] { spec.GetBaseUnit(dimension.text); })) {
      problems.push_back(At(dimension, "physical dimension \"" + dimension.text +
                                           "\" has no base unit (siFactor 1, siOffset 0)"));
    }
  }
  checked.clear();
  for (const OutlineUnit& unit : outline.units) {
    if (checked.insert(unit.id.text).second &&
        Fails([&] { spec.GetDimensionExponents(unit.dimension); })) {
      problems.push_back(At(unit.id, "unit \"" + unit.id.text +
                                         "\" has the unknown physical dimension \"" +
                                         unit.dimension + '"'));
    }
  }
  return problems;
}

int Check(Context& context, const std::string& file) {
  context.subject = file;
  const std::string document = ReadOperand('@' + file);
  // The library's own verdict first: what it refuses, with its line and column.
  std::istringstream stream(document);
  OTX::Initialise(stream);
  const std::vector<std::string> problems = Problems(ReadOutline(document));
  for (const std::string& problem : problems) std::cout << file << ": " << problem << '\n';
  if (problems.empty()) std::cout << file << ": no problems found\n";
  return 0;
}

int List(const Context& context) {
  const UnitSpecOutline outline = ReadOutline(UnitsDocument(context));
  std::set<std::string> listed;
  std::cout << "id\tdisplay name\tphysical dimension\tsiFactor\tsiOffset\n";
  auto print = [&listed](const std::string& id) {
    if (!listed.insert(id).second) return;
    const auto unit = OTX::COtxUnitSpec::Instance().GetUnit(id);
    std::cout << unit->id << '\t' << unit->displayName << '\t' << unit->physicalDimensionRef
              << '\t' << Number(unit->siFactor) << '\t' << Number(unit->siOffset) << '\n';
  };
  // The built-in unit of plain numbers, unless the document defines it.
  print("scalar");
  for (const OutlineUnit& unit : outline.units) print(unit.id.text);
  return 0;
}

void PrintGroups(const std::string& category, const CKesmar& groups) {
  for (const auto& [id, name] : groups.Map()) {
    std::cout << category << '\t' << TextOf(id) << '\t' << TextOf(name) << '\n';
  }
}

struct ConvertArguments {
  std::string value;
  std::string from;
  std::string to;
};

}  // namespace

void AddUnitsCommand(CLI::App& app, Context& context) {
  CLI::App* units = app.add_subcommand(
      "units", "Convert quantities, list units and groups, check a unit specification");
  units->require_subcommand(1);

  CLI::App* convert = units->add_subcommand("convert", "VALUE in unit FROM converted into TO");
  auto conversion = std::make_shared<ConvertArguments>();
  convert->add_option("VALUE", conversion->value, "Number (JSON)")->required();
  convert->add_option("FROM", conversion->from, "Unit id, e.g. km/h")->required();
  convert->add_option("TO", conversion->to, "Unit id, e.g. mph")->required();
  OnParsed(*convert, context, [&context, conversion] {
    context.subject = conversion->value + ' ' + conversion->from;
    const CKesmar quantity =
        COtxQuantity(ParseValue(conversion->value), COtxUnit(conversion->from), 16);
    context.subject += " to " + conversion->to;
    PrintResult(std::cout, COtxQuantity(quantity, COtxUnit(conversion->to), 16));
    return 0;
  });

  CLI::App* list = units->add_subcommand(
      "list", "Every unit: id, display name, physical dimension, siFactor, siOffset");
  OnParsed(*list, context, [&context] { return List(context); });

  CLI::App* groups = units->add_subcommand(
      "groups", "Country groups and groups of equivalent units, named in LANGUAGE");
  auto language = std::make_shared<std::string>("en");
  groups->add_option("LANGUAGE", *language, "Language of the names, e.g. en, de, fr");
  OnParsed(*groups, context, [language] {
    PrintGroups("COUNTRY", OTX::GetCountryGroups(COtxString(*language)));
    PrintGroups("EQUIV_UNITS", OTX::GetEquivalenceGroups(COtxString(*language)));
    return 0;
  });

  CLI::App* check = units->add_subcommand(
      "check", "Report what the library ignores or resolves silently in a unit specification; "
               "exit status 1 when it refuses the document");
  auto file = std::make_shared<std::string>();
  check->add_option("FILE", *file, "Unit specification")->required();
  OnParsed(*check, context, [&context, file] { return Check(context, *file); }, false);
}

}  // namespace kesmar::tool
