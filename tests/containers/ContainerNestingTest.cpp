// Containers that hold themselves and trees nested deeper than the library walks: every
// recursive operation throws OutOfBoundsException instead of overflowing the stack, leaves
// the thread able to walk trees up to the limit, and the deepest trees release in a loop.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "COtxException.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "OtxGeneric.h"
#include "OtxJSON.h"
#include "core/detail/NestingGuard.h"

namespace {

using kesmar::detail::kMaxNesting;

const std::string kTooDeep = "Nesting deeper than " + std::to_string(kMaxNesting) + " levels";

// A chain of lists depth levels deep around one integer.
CKesmar Chain(int depth) {
  CKesmar value = COtxInt(depth);
  for (int level = 0; level < depth; ++level) value = COtxList(std::vector<CKesmar>{value});
  return value;
}

// A shape, the message every operation on it throws, and how to break its cycles.
struct Shape {
  const char* name;
  std::function<CKesmar()> make;
  std::string message;
  std::function<void(const CKesmar&)> unlink = [](const CKesmar&) {};
};

std::vector<Shape> Shapes() {
  return {
      {"list holding itself",
       [] {
         CKesmar list = COtxList();
         list.List().push_back(list);
         return list;
       },
       "LIST contains itself", [](const CKesmar& list) { list.List().clear(); }},
      {"map holding itself",
       [] {
         CKesmar map = COtxMap();
         map.Map().emplace(COtxString(std::string("self")), map);
         return map;
       },
       "MAP contains itself", [](const CKesmar& map) { map.Map().clear(); }},
      {"two lists holding each other",
       [] {
         CKesmar a = COtxList();
         const CKesmar b = COtxList(std::vector<CKesmar>{a});
         a.List().push_back(b);
         return a;
       },
       "LIST contains itself", [](const CKesmar& a) { a.List().clear(); }},
      {"tree 100,000 levels deep", [] { return Chain(100000); }, kTooDeep},
  };
}

struct Operation {
  const char* name;
  std::function<void(const CKesmar&)> run;
};

const std::vector<Operation> kOperations = {
    {"ToString", [](const CKesmar& v) { v.ToString(); }},
    {"operator<<",
     [](const CKesmar& v) {
       std::ostringstream text;
       text << v;
     }},
    {"ToJSON", [](const CKesmar& v) { v.ToJSON(); }},
    {"WriteJSON",
     [](const CKesmar& v) {
       std::string out = "kept";
       try {
         v.WriteJSON(out);
       } catch (...) {
         EXPECT_EQ(out, "kept");  // nothing half-written is left behind
         throw;
       }
     }},
    {"object form",
     [](const CKesmar& v) {
       std::string out;
       v.GetBehaviourReference()->WriteJSON(out, true);
     }},
    {"SetOTXJSON", [](const CKesmar& v) { v.SetOTXJSON(false); }},
    {"DeepCopy", [](const CKesmar& v) { OTX::DeepCopy(v); }},
    {"==", [](const CKesmar& v) { (void)(v == v); }},
    {"<", [](const CKesmar& v) { (void)(v < v); }},
    {">=", [](const CKesmar& v) { (void)(v >= v); }},
    {"KeyLess", [](const CKesmar& v) { OTX::KeyLess(v, v); }},
};

TEST(ContainerNesting, EveryOperationRefusesCyclesAndOverdeepTrees) {
  // Exactly as deep as the limit: every operation still works, after every refusal too.
  const CKesmar deepest = Chain(kMaxNesting);
  const CKesmar copy = OTX::DeepCopy(deepest);
  for (const Shape& shape : Shapes()) {
    const CKesmar value = shape.make();
    for (const Operation& operation : kOperations) {
      SCOPED_TRACE(std::string(shape.name) + ", " + operation.name);
      try {
        operation.run(value);
        ADD_FAILURE() << "no exception";
      } catch (const COtxException& caught) {
        EXPECT_EQ(caught.Exception().GetId(), OTX::OutOfBoundsException);
        EXPECT_EQ(caught.Exception().GetText(), shape.message);
      }
      EXPECT_TRUE(deepest == copy);
      EXPECT_FALSE(deepest < copy);
      EXPECT_FALSE(OTX::KeyLess(deepest, copy));
    }
    shape.unlink(value);
  }
  // An object form holding itself: reading it is refused too, not described in an error text
  // (which would walk the cycle again).
  CKesmar form =
      COtxMap(std::map<const std::string, CKesmar>{{"type", COtxString(std::string("LIST"))}});
  form.Map().emplace(COtxString(std::string("value")), COtxList(std::vector<CKesmar>{form}));
  try {
    OTX::OtxMapToKesmar(form);
    ADD_FAILURE() << "no exception";
  } catch (const COtxException& caught) {
    EXPECT_EQ(caught.Exception().GetId(), OTX::OutOfBoundsException);
    EXPECT_TRUE(caught.Exception().GetText().ends_with(" contains itself"))
        << caught.Exception().GetText();
  }
  form.Map().clear();
  // Every writer reaches the bottom of the deepest tree allowed.
  const std::string plain = deepest.ToJSON().String();
  EXPECT_EQ(plain, std::string(kMaxNesting, '[') + std::to_string(kMaxNesting) +
                       std::string(kMaxNesting, ']'));
  EXPECT_NE(deepest.ToString().String().find(std::to_string(kMaxNesting)), std::string::npos);
}

// A million nested lists with a map every thousand levels (holding the level below as a
// value or as a key), released by dropping the last handle; a link held elsewhere as well
// survives with everything below it.
TEST(ContainerNesting, MillionLevelsReleaseWithoutRecursion) {
  CKesmar value = COtxInt(0);
  CKesmar kept;
  for (int level = 1; level <= 1000000; ++level) {
    if (level % 2000 == 0) {
      value = COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(level), value}});
    } else if (level % 2000 == 1000) {
      value = COtxMap(std::map<CKesmar, CKesmar>{{value, COtxInt(level)}});
    } else {
      CKesmar list = COtxList();
      list.List().push_back(std::move(value));
      value = std::move(list);
    }
    if (level == 500) kept = value;
  }
  value = CKesmar();
  EXPECT_EQ(kept.List().size(), 1U);
  EXPECT_EQ(kept.ToString().Type(), OTX::STRING);  // 500 levels, still whole
}

}  // namespace
