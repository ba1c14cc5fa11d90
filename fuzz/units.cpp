// Fuzzes the unit specification reader with arbitrary documents, then units and quantities
// of whatever is loaded (the input's document, or the known one when it did not load):
// construction, conversion, arithmetic, comparison, formatting, groups and the object form.
// The loaded unit document is process-wide, so an input that loads a document restores the
// known one (and clears the country group) before it returns.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "FuzzCommon.h"
#include "OtxJSON.h"
#include "OtxUnitSpec.h"
#include "units/detail/UnitTables.h"

namespace {

using kesmar_fuzz::Finding;
using kesmar_fuzz::Try;

constexpr std::size_t kPoolSize = 8;

std::string PickName(FuzzedDataProvider& input, const std::vector<std::string>& names) {
  if (names.empty() || input.ConsumeBool()) return input.ConsumeRandomLengthString(12);
  return names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
}

double PickNumber(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
      return input.ConsumeIntegralInRange(-1000, 1000);
    case 1:
      return input.ConsumeFloatingPoint<double>();
    default:
      return input.ConsumeFloatingPointInRange(-1e6, 1e6);
  }
}

// The object form must parse and read back; at full precision it reads back equal.
void CheckObjectForm(const CKesmar& value) {
  value.SetOTXJSON(true);
  const std::string text = value.ToJSON().String();
  CKesmar parsed;
  if (!OTX::FromJSON(text.c_str(), parsed)) Finding("object form does not parse", text);
  const CKesmar back = OTX::OtxMapToKesmar(parsed);
  // NaN is unequal to itself.
  if (kesmar_fuzz::HoldsNaN(value)) return;
  if (value.Type() == OTX::QUANTITY) {
    // Fewer decimals than full precision round the number that is written.
    const int precision = value.Quantity().DisplayPrecision();
    if (precision >= 0 && precision < 16) return;
  }
  if (!(back == value)) Finding("object form reads back unequal", text);
}

void RunOperations(FuzzedDataProvider& input) {
  const auto tables = OTX::COtxUnitSpec::Instance().Tables();
  std::vector<std::string> units;
  for (const auto& [id, entry] : tables->Units()) units.push_back(id);
  std::vector<std::string> groups;
  for (const auto& [id, group] : tables->Groups()) groups.push_back(id);

  auto& spec = OTX::COtxUnitSpec::Instance();
  std::vector<CKesmar> pool;
  auto pick = [&]() -> CKesmar {
    if (pool.empty()) return COtxFloat(PickNumber(input));
    return pool[input.ConsumeIntegralInRange<std::size_t>(0, pool.size() - 1)];
  };
  auto keep = [&](const CKesmar& value) {
    if (pool.size() < kPoolSize) {
      pool.push_back(value);
    } else {
      pool[input.ConsumeIntegralInRange<std::size_t>(0, kPoolSize - 1)] = value;
    }
  };

  for (int step = 0; step < 48 && input.remaining_bytes() > 0; ++step) {
    switch (input.ConsumeIntegralInRange(0, 13)) {
      case 0:
        Try([&] {
          keep(COtxQuantity(PickNumber(input), COtxUnit(PickName(input, units)),
                            input.ConsumeIntegralInRange(-20, 40)));
        });
        break;
      case 1:  // conversion into another unit
        Try([&] {
          keep(COtxQuantity(pick(), COtxUnit(PickName(input, units)),
                            input.ConsumeIntegralInRange(-20, 40)));
        });
        break;
      case 2:
        Try([&] { keep(COtxUnit(PickName(input, units))); });
        break;
      case 3: {  // arithmetic between any two values of the pool
        const CKesmar a = pick();
        const CKesmar b = pick();
        Try([&] {
          switch (input.ConsumeIntegralInRange(0, 4)) {
            case 0: keep(a + b); break;
            case 1: keep(a - b); break;
            case 2: keep(a * b); break;
            case 3: keep(a / b); break;
            default: keep(a % b); break;
          }
        });
        break;
      }
      case 4: {
        const CKesmar a = pick();
        const CKesmar b = pick();
        Try([&] {
          (void)(a == b);
          (void)(a < b);
          (void)(a <= b);
          (void)(a > b);
          (void)(a >= b);
          (void)OTX::KeyLess(a, b);
        });
        break;
      }
      case 5: {  // text forms and conversions
        const CKesmar a = pick();
        Try([&] { (void)a.ToString(); });
        Try([&] { std::ostringstream out; out << a; });
        Try([&] { (void)a.ToFloat(); });
        Try([&] { (void)a.ToInteger(); });
        Try([&] { keep(a.Abs()); });
        Try([&] { a.SetOTXJSON(false); (void)a.ToJSON(); });
        break;
      }
      case 6:
        Try([&] { CheckObjectForm(pick()); });
        break;
      case 7: {  // unit conversions of numbers
        const CKesmar a = pick();
        const double x = PickNumber(input);
        const int p = input.ConsumeIntegral<int>();
        Try([&] {
          const OTX::IUnit& unit = a.Type() == OTX::QUANTITY
                                       ? a.Quantity().QuantityUnit().Unit()
                                       : a.Unit();
          (void)unit.ToSI(x);
          (void)unit.FromSI(x);
          (void)unit.ToSIPrecision(p);
          keep(unit.BaseUnit());
        });
        break;
      }
      case 8:
        Try([&] { spec.SelectCountryGroup(PickName(input, groups)); });
        break;
      case 9: {
        const CKesmar a = pick();
        const std::string group = PickName(input, groups);
        Try([&] { keep(spec.ConvertToGroup(a, group)); });
        Try([&] { (void)spec.FindClosestUnitMatchInGroup(group, a); });
        Try([&] { keep(a.Quantity().ToGroup(group)); });
        Try([&] { keep(a.Quantity().ToCountryGroup()); });
        break;
      }
      case 10:
        Try([&] {
          const std::string language =
              input.ConsumeBool() ? "en" : input.ConsumeRandomLengthString(4);
          (void)OTX::GetCountryGroups(COtxString(language));
          (void)OTX::GetEquivalenceGroups(COtxString(language));
          (void)spec.GetGroups(input.ConsumeRandomLengthString(12), language);
        });
        break;
      case 11: {
        OTX::DimensionExponents exponents;
        const int count = input.ConsumeIntegralInRange(0, 8);
        for (int i = 0; i < count; ++i) {
          exponents[input.ConsumeIntegralInRange(-1, 8)] = input.ConsumeIntegralInRange(-4, 4);
        }
        Try([&] { keep(spec.GetBaseUnitForExponents(exponents)); });
        break;
      }
      case 12: {
        const std::string name = PickName(input, units);
        Try([&] { (void)spec.GetUnit(name); });
        Try([&] { (void)spec.GetBaseUnit(name); });
        Try([&] { (void)spec.GetDimensionExponents(name); });
        break;
      }
      default:
        Try([&] { keep(COtxQuantity(COtxInt(input.ConsumeIntegral<long long>()),
                                    COtxUnit(PickName(input, units)),
                                    input.ConsumeIntegral<int>())); });
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    kesmar_fuzz::QuietLogging();
    kesmar_fuzz::LoadDefaultUnits();
    return true;
  }();
  (void)ready;
  FuzzedDataProvider input(data, size);
  bool loaded = false;
  if (input.ConsumeBool()) {
    std::istringstream xml(input.ConsumeRandomLengthString(16384));
    loaded = Try([&] { OTX::Initialise(xml); });
  }
  RunOperations(input);
  // Back to the known state for the next input.
  if (loaded) kesmar_fuzz::LoadDefaultUnits();
  OTX::COtxUnitSpec::Instance().SelectCountryGroup("");
  return 0;
}
