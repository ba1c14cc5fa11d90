// kesmar: looks at OTX run-time values from the command line. Exit status: 0 success,
// 1 a failure of the value or input (one line on standard error), 2 a usage error (with the
// usage text).
#include <clocale>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "ToolSupport.h"

namespace {

// The deepest subcommand that was given on the command line.
const CLI::App* Deepest(const CLI::App& app) {
  for (const CLI::App* sub : app.get_subcommands()) return Deepest(*sub);
  return &app;
}

}  // namespace

int main(int argc, char** argv) {
  // Case mapping beyond ASCII follows the process locale.
  std::setlocale(LC_ALL, "C.UTF-8");
  // Every failure reaches the user as one line of the tool's own; the library's log lines
  // about the same failure stay off unless PELM_LOG_LEVEL asks for them.
  static PelmUtil::TLogLevel quiet[PelmUtil::CLog::kSubsystems] = {};
  if (std::getenv("PELM_LOG_LEVEL") == nullptr) PelmUtil::CLog::m_Level = quiet;
  kesmar::tool::Context context;
  CLI::App app("Looks at OTX run-time values: reads JSON into typed values, applies the "
               "operators, conversions, byte and text encodings, and checks unit "
               "specifications.",
               "kesmar");
  app.add_option("--units", context.unitsFile,
                 "Unit specification to load instead of the built-in default one");
  app.require_subcommand(1);
  app.fallthrough();
  kesmar::tool::AddShowCommand(app, context);
  kesmar::tool::AddCalcCommands(app, context);
  kesmar::tool::AddBytesCommand(app, context);
  kesmar::tool::AddTextCommand(app, context);
  kesmar::tool::AddUnitsCommand(app, context);
  kesmar::tool::AddDemoCommand(app, context);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& failure) {
    std::cerr << "kesmar: " << failure.what() << '\n' << Deepest(app)->help();
    return 2;
  }
  if (!context.action) {
    std::cerr << "kesmar: a subcommand is required\n" << Deepest(app)->help();
    return 2;
  }

  try {
    if (context.needsUnits) {
      context.subject = context.unitsFile.empty() ? "built-in units" : context.unitsFile;
      kesmar::tool::LoadUnits(context);
      context.subject.clear();
    }
    return context.action();
  } catch (const std::exception& failure) {
    std::cout.flush();
    std::cerr << "kesmar: " << (context.subject.empty() ? "" : context.subject + ": ")
              << failure.what() << '\n';
    return 1;
  }
}
