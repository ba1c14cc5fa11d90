// Whole-field operations on a 1 MiB byte field against a memmove of the same size, which is
// the floor for a shift: a shift by whole bytes plus a few bits is one memmove and one pass.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "COtxByteField.h"
#include "RatioReporter.h"

namespace {

constexpr size_t kFieldBytes = size_t{1} << 20;

std::vector<unsigned char> Pattern() {
  std::vector<unsigned char> bytes(kFieldBytes);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 131 + 7);
  return bytes;
}

void MemmoveInPlace(benchmark::State& state) {
  std::vector<unsigned char> bytes = Pattern();
  for (auto _ : state) {
    std::memmove(bytes.data(), bytes.data() + 1, bytes.size() - 1);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFieldBytes));
}

// The bytes run out to zero after many shifts; the shifts do not branch on the data, so that
// does not change their speed.
template <void (OTX::IByteField::*Shift)(int)>
void ShiftBy12(benchmark::State& state) {
  const CKesmar field = COtxByteField(Pattern());
  for (auto _ : state) {
    (field.ByteField().*Shift)(12);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFieldBytes));
}

// The floor for an AND that makes a new field: copy one operand, AND the other in, a word
// at a time.
void WordWiseAnd(benchmark::State& state) {
  const std::vector<unsigned char> left = Pattern();
  const std::vector<unsigned char> right(kFieldBytes, 0x5A);
  for (auto _ : state) {
    std::vector<unsigned char> result(left);
    for (size_t i = 0; i < kFieldBytes; i += sizeof(std::uint64_t)) {
      std::uint64_t a, b;
      std::memcpy(&a, result.data() + i, sizeof a);
      std::memcpy(&b, right.data() + i, sizeof b);
      a &= b;
      std::memcpy(result.data() + i, &a, sizeof a);
    }
    benchmark::DoNotOptimize(result.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFieldBytes));
}

// Includes what the operator must do: copy the left operand into a new field and combine.
void And(benchmark::State& state) {
  const CKesmar left = COtxByteField(Pattern());
  const CKesmar right = COtxByteField(std::vector<unsigned char>(kFieldBytes, 0x5A));
  for (auto _ : state) benchmark::DoNotOptimize(left.ByteField() & right);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFieldBytes));
}

BENCHMARK(MemmoveInPlace)->Name("shift:baseline memmove of 1 MiB in place");
BENCHMARK(ShiftBy12<&OTX::IByteField::ShiftLeft>)->Name("shift:ShiftLeft(12) of 1 MiB");
BENCHMARK(ShiftBy12<&OTX::IByteField::ShiftRight>)->Name("shift:ShiftRight(12) of 1 MiB");
BENCHMARK(WordWiseAnd)->Name("and:baseline copy and word-wise AND of 1 MiB");
BENCHMARK(And)->Name("and:AND of two 1 MiB fields");

const bool kBudgets[] = {
    kesmar::bench::AddBudget("ShiftLeft(12) <= 4.0x memmove", "shift:ShiftLeft(12) of 1 MiB",
                             "shift:baseline memmove of 1 MiB in place", 4.0),
    kesmar::bench::AddBudget("ShiftRight(12) <= 4.0x memmove", "shift:ShiftRight(12) of 1 MiB",
                             "shift:baseline memmove of 1 MiB in place", 4.0),
    kesmar::bench::AddBudget("AND <= 4.0x a word-wise AND loop", "and:AND of two 1 MiB fields",
                             "and:baseline copy and word-wise AND of 1 MiB", 4.0),
};

}  // namespace
