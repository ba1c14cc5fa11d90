// kesmar demo: the typical request of the library, step by step. A value read from its
// object form takes part in arithmetic, is assigned to a variable watched by a threshold
// source, and the event it raises is received and written out.
#include <exception>
#include <iostream>
#include <string>
#include <thread>

#include "ToolSupport.h"

namespace kesmar::tool {

namespace {

const char* const kInput = R"({"type":"INTEGER","value":5,"displayRadix":"HEX"})";

// The steps; runs on a thread of its own thread group, as a sequence does.
void Steps(Context& context) {
  std::cout << "1. Read " << kInput << '\n';
  const CKesmar five = ParseValue(kInput);
  std::cout << "   ";
  PrintResult(std::cout, five);

  std::cout << "2. Add 0.5\n";
  const CKesmar sum = five + ParseValue("0.5");
  std::cout << "   ";
  PrintResult(std::cout, sum);

  std::cout << "3. Watch the variable \"result\" with a threshold source, bounds 0 and 5\n";
  OtxVariable result{COtxInt(0)};
  const COtxThresholdExceededEventSource source(COtxInt(0), COtxInt(5), result.Get());
  result.AddEventSource("result", source);

  std::cout << "4. Assign the sum to \"result\"\n";
  result = sum;
  // The event is put during the assignment; without one Get would wait for ever.
  if (source.EventSource().IsClosed() ||
      dynamic_cast<const COtxEventSourceBehaviour&>(source.EventSource()).Pending() == 0) {
    context.subject = "threshold source";
    throw std::runtime_error("no event after the assignment");
  }

  CKesmar event;
  source.EventSource().Get(event);
  std::cout << "5. Receive the event\n   " << COtxEvent::EventTypeName(event.Event().Type())
            << ": value " << TextOf(event.Event().Value()) << ", variable "
            << TextOf(event.Event().Params()) << '\n';

  std::cout << "6. Write the result in its object form\n   " << ObjectJSON(result.Get()) << '\n';
  result.Close();
}

}  // namespace

void AddDemoCommand(CLI::App& app, Context& context) {
  CLI::App* demo = app.add_subcommand("demo", "Walk through the typical use of the library");
  OnParsed(*demo, context, [&context] {
    std::exception_ptr failure;
    std::thread sequence([&] {
      const std::thread::id self = std::this_thread::get_id();
      PelmUtil::ThreadGroup::Add(self, self);
      try {
        Steps(context);
      } catch (...) {
        failure = std::current_exception();
      }
      COtxEventSource::CloseAll(self);
      PelmUtil::ThreadGroup::Remove(self);
    });
    sequence.join();
    if (failure) std::rethrow_exception(failure);
    return 0;
  }, false);
}

}  // namespace kesmar::tool
