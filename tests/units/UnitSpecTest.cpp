#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>

#include "COtxMap.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "OtxUnitSpec.h"
#include "TestSupport.h"
#include "UnitTestSupport.h"
#include "units/detail/UnitTables.h"

namespace {

using kesmar::test::DimensionXml;
using kesmar::test::Load;
using kesmar::test::UnitXml;

OTX::COtxUnitSpec& Spec() { return OTX::COtxUnitSpec::Instance(); }
CKesmar S(const std::string& text) { return COtxString(text); }

// The text of the failure that loading xml raises, "" when it loads.
std::string LoadFailure(const std::string& xml) {
  try {
    Load(xml);
  } catch (const std::runtime_error& failure) {
    return failure.what();
  }
  return "";
}

std::string Repeat(const std::string& text, int count) {
  std::string repeated;
  for (int i = 0; i < count; ++i) repeated += text;
  return repeated;
}

// The loaded units but "scalar" as "id:dimension:factor ", in id order.
std::string LoadedUnits() {
  std::string text;
  for (const auto& [id, entry] : Spec().Tables()->Units()) {
    char factor[32];
    std::snprintf(factor, sizeof factor, "%g", entry->unit.siFactor);
    if (id != "scalar") text += id + ':' + entry->unit.physicalDimensionRef + ':' + factor + ' ';
  }
  return text;
}

TEST(UnitSpecLoading, FollowsTheReadingRules) {
  const std::string fields = "<id>u</id><displayName/><siFactor>2</siFactor><siOffset>0</siOffset>";
  const std::string m = UnitXml("m", "1", "length"), km = UnitXml("km", "1000", "length");
  // The content of <unitSpec>, and the units it gives or a part of the diagnostics.
  const std::tuple<const char*, std::string, std::string> loads[] = {
      {"empty", "", ""},
      {"any order; an unknown child ends the unit",
       "<units><physicalDimensionRef>mass</physicalDimensionRef>" + fields +
           "<unknown/><physicalDimensionRef>length</physicalDimensionRef></units>",
       "u:mass:2 "},
      {"a repeated child ends the unit",
       "<units>" + fields + "<physicalDimensionRef>l</physicalDimensionRef><id>v</id></units>",
       "u:l:2 "},
      {"an unknown child ends the document", m + "<unknown/>" + km, "m:length:1 "},
      {"an element in a namespace is unknown", m + "<x:units xmlns:x='urn:x'/>" + km,
       "m:length:1 "},
      {"number forms",
       UnitXml("a", " 1e3 ", "l") + UnitXml("b", ".5", "l") + UnitXml("c", "-INF", "l") +
           UnitXml("d", "NaN", "l"),
       "a:l:1000 b:l:0.5 c:l:-inf d:l:nan "},
      {"missing siOffset",
       "<units><id>u</id><displayName/><siFactor>1</siFactor><physicalDimensionRef>l"
       "</physicalDimensionRef></units>",
       "line 1, column 18: expected element \"siOffset\" in \"units\""},
      {"missing id", "<physicalDimensions/>", "expected element \"id\" in"},
      {"missing text",
       "<unitGroups><id>g</id><category>COUNTRY</category><name><language>"
       "en</language></name></unitGroups>",
       "expected element \"text\" in \"name\""},
      {"unknown category", "<unitGroups><id>g</id><category>country</category></unitGroups>",
       "unexpected enumerator \"country\""},
      {"decimal comma", UnitXml("u", "1,5", "l"), "\"1,5\" is not a double"},
      {"hexadecimal", UnitXml("u", "0x10", "l"), "\"0x10\" is not a double"},
      {"exponent beyond int", DimensionXml("l", "<lengthExponent>2147483648</lengthExponent>"),
       "\"2147483648\" is not an int"},
      {"not well formed", "<units>", "line 1, column 20: "},
      {"nested too deep", Repeat("<x>", 300) + Repeat("</x>", 300), "deeper than 256 levels"}};
  for (const auto& [name, body, expected] : loads) {
    SCOPED_TRACE(name);
    Load("<unitSpec>" + UnitXml("previous", "1", "p") + "</unitSpec>");
    const std::string failure = LoadFailure("<unitSpec>" + body + "</unitSpec>");
    if (failure.empty()) {
      EXPECT_EQ(LoadedUnits(), expected);
    } else {
      // The failure names its cause; the earlier document stays loaded.
      EXPECT_EQ(failure.rfind("XMLParsingException line ", 0), 0u) << failure;
      EXPECT_NE(failure.find(expected), std::string::npos) << failure;
      EXPECT_EQ(LoadedUnits(), "previous:p:1 ");
    }
  }
  EXPECT_NE(LoadFailure("<units/>").find("expected element \"unitSpec\" instead of \"units\""),
            std::string::npos);
  // The DOM refuses a version the scanner let through (it escaped as a foreign exception type).
  const std::string version = LoadFailure("<?xml version=\"1.0'\"?><unitSpec/>");
  EXPECT_EQ(version.rfind("XMLParsingException ", 0), 0u) << version;
  Load("<unitSpec/>");
  EXPECT_EQ(Spec().GetBaseUnit("none")->id, "scalar");
  EXPECT_TRUE(OTX::GetCountryGroups(S("en")).Map().empty());
  EXPECT_TRUE(OTX::GetEquivalenceGroups(S("en")).Map().empty());
}

TEST(UnitSpecTables, FirstEntryWinsAndBaseUnitsHaveFactorOneAndOffsetZero) {
  Load("<unitSpec>" + UnitXml("cm", "0.01", "length") + UnitXml("m", "1", "length") +
       UnitXml("m", "2", "mass") + UnitXml("metre", "1", "length") + UnitXml("one", "1", "none") +
       UnitXml("scalar", "1", "none", "0", "x") + UnitXml("kelvin", "1", "temperature", "0.5") +
       DimensionXml("length") + DimensionXml("length", "<lengthExponent>1</lengthExponent>") +
       DimensionXml("distance",
                    "<lengthExponent>+1</lengthExponent><massExponent>0</massExponent>") +
       "</unitSpec>");
  EXPECT_EQ(Spec().GetBaseUnit("length")->id, "m");
  EXPECT_EQ(Spec().GetUnit("m")->physicalDimensionRef, "length");
  EXPECT_OTX_THROW(Spec().GetBaseUnit("mass"), OTX::UnknownUnitException, "mass");
  EXPECT_OTX_THROW(Spec().GetBaseUnit("temperature"), OTX::UnknownUnitException, "temperature");
  EXPECT_EQ(Spec().GetBaseUnit("none")->id, "one");
  EXPECT_EQ(Spec().GetUnit("scalar")->displayName, "x");
  EXPECT_TRUE(Spec().GetDimensionExponents("length").empty());
  EXPECT_EQ(Spec().GetDimensionExponents("distance"), (OTX::DimensionExponents{{0, 1}, {1, 0}}));
  EXPECT_OTX_THROW(Spec().GetBaseUnitForExponents({{6, 1}}), OTX::UnknownUnitException, "");
}

TEST(UnitGroups, ClosestMemberByFactorTheEarlierOnATie) {
  std::string spec = kesmar::test::SmallSpec();
  spec.insert(spec.rfind("</unitSpec>"),
              UnitXml("u900", "900", "length") + UnitXml("u1100", "1100", "length") +
                  "<unitGroups><id>tie</id><category>EQUIV_UNITS</category><unitRef>u900"
                  "</unitRef><unitRef>u1100</unitRef></unitGroups><unitGroups><id>tie2</id>"
                  "<category>EQUIV_UNITS</category><unitRef>u1100</unitRef><unitRef>u900"
                  "</unitRef></unitGroups>");
  Load(spec);
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"km", "us", "mi"}, {"cm", "us", "in"},    {"m", "us", "ft"},
      {"kg", "us", ""},   {"km", "tie", "u900"}, {"km", "tie2", "u1100"}};
  for (const auto& [unit, group, expected] : cases) {
    SCOPED_TRACE(std::string(unit) + " in " + group);
    EXPECT_EQ(Spec().FindClosestUnitMatchInGroup(group, COtxUnit(unit)), expected);
  }
  EXPECT_OTX_THROW(Spec().FindClosestUnitMatchInGroup("nope", COtxUnit("m")),
                   OTX::UnknownUnitException, "unknown group: nope");
}

TEST(UnitGroups, NamesFallBackToEnglishThenToAnotherLanguageThenToTheId) {
  Load(
      "<unitSpec><unitGroups><id>b</id><category>COUNTRY</category>"
      "<name><language>it</language><text>Bi</text></name>"
      "<name><language>en</language><text/></name></unitGroups>"
      "<unitGroups><id>a</id><category>COUNTRY</category>"
      "<name><language>en</language><text>A-en</text></name>"
      "<name><language>de</language><text>A-de</text></name></unitGroups>"
      "<unitGroups><id>c</id><category>COUNTRY</category></unitGroups>"
      "<unitGroups><id>e</id><category>EQUIV_UNITS</category></unitGroups></unitSpec>");
  const std::pair<const char*, const char*> cases[] = {
      {"de", "a:A-de, b:Bi, c:c"}, {"fr", "a:A-en, b:Bi, c:c"}, {"it", "a:A-en, b:Bi, c:c"}};
  for (const auto& [language, expected] : cases) {
    SCOPED_TRACE(language);
    EXPECT_EQ(std::string(OTX::GetCountryGroups(S(language)).ToString().String()), expected);
  }
  EXPECT_EQ(std::string(OTX::GetEquivalenceGroups(S("en")).ToString().String()), "e:e");
  EXPECT_OTX_THROW(OTX::GetCountryGroups(COtxUnit()), OTX::TypeMismatchException,
                   "UNIT is not a STRING");
}

// Reports whether a file was opened while it was watched.
class OpenWatch {
 public:
  explicit OpenWatch(const std::string& path) : m_fd(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(m_fd, path.c_str(), IN_OPEN);
  }
  ~OpenWatch() { close(m_fd); }
  bool Opened() const {
    char events[4096];
    return read(m_fd, events, sizeof events) > 0;
  }

 private:
  int m_fd;
};

// A local TCP port that reports whether anything connected to it.
class Listener {
 public:
  Listener() : m_fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(m_fd, reinterpret_cast<sockaddr*>(&address), length);
    listen(m_fd, 4);
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
  }
  ~Listener() { close(m_fd); }
  int Port() const { return m_port; }
  bool Contacted() const { return accept(m_fd, nullptr, nullptr) >= 0; }

 private:
  int m_fd;
  int m_port = 0;
};

TEST(UnitSpecSecurity, DocumentsReadNoFileNoNetworkAndExpandNoEntity) {
  // Files that would add the unit "leak" if they were read; the relative one lies in the
  // working directory, against which the parser would resolve a relative system id.
  const std::string leak = UnitXml("leak", "1", "l");
  const std::string stem = "kesmar-leak-" + std::to_string(getpid());
  const std::string absolute = testing::TempDir() + stem + ".xml";
  const std::string relative = stem + "-relative.xml";
  const std::string dtd = testing::TempDir() + stem + ".dtd";
  std::ofstream(absolute) << leak;
  std::ofstream(relative) << leak;
  std::ofstream(dtd) << "<!ENTITY leak '" << leak << "'>";
  Listener server;
  const std::string http = "http://127.0.0.1:" + std::to_string(server.Port()) + "/kesmar-leak.xml";
  // Nine levels of ten references each: 10^9 expansions of the first entity.
  std::string laughs = "<!DOCTYPE unitSpec [<!ENTITY a0 'laugh'>";
  for (int level = 1; level < 10; ++level) {
    laughs += "<!ENTITY a" + std::to_string(level) + " '" +
              Repeat("&a" + std::to_string(level - 1) + ';', 10) + "'>";
  }
  laughs += "]><unitSpec>" + UnitXml("&a9;", "1", "l") + "</unitSpec>";
  const std::pair<const char*, std::string> cases[] = {
      {"absolute file", "<!DOCTYPE unitSpec [<!ENTITY x SYSTEM 'file://" + absolute +
                            "'>]><unitSpec>&x;</unitSpec>"},
      {"relative file",
       "<!DOCTYPE unitSpec [<!ENTITY x SYSTEM '" + relative + "'>]><unitSpec>&x;</unitSpec>"},
      {"http", "<!DOCTYPE unitSpec [<!ENTITY x SYSTEM '" + http + "'>]><unitSpec>&x;</unitSpec>"},
      {"internal entity",
       "<!DOCTYPE unitSpec [<!ENTITY x '" + leak + "'>]><unitSpec>&x;</unitSpec>"},
      {"parameter entity", "<!DOCTYPE unitSpec [<!ENTITY % p SYSTEM 'file://" + dtd +
                               "'>%p;]><unitSpec>&leak;</unitSpec>"},
      {"external DTD", "<!DOCTYPE unitSpec SYSTEM 'file://" + dtd + "'><unitSpec/>"},
      {"billion laughs", laughs},
  };
  for (const auto& [name, xml] : cases) {
    SCOPED_TRACE(name);
    const OpenWatch absoluteWatch(absolute), relativeWatch(relative), dtdWatch(dtd);
    Load("<unitSpec/>");
    const std::string failure = LoadFailure(xml);
    EXPECT_OTX_THROW(Spec().GetUnit("leak"), OTX::UnknownUnitException, "leak");
    EXPECT_FALSE(absoluteWatch.Opened() || relativeWatch.Opened() || dtdWatch.Opened());
    EXPECT_FALSE(server.Contacted());
    // Only the external DTD, which is not read, leaves a document that loads.
    EXPECT_EQ(failure.empty(), std::string(name) == "external DTD") << failure;
  }
  std::remove(absolute.c_str());
  std::remove(relative.c_str());
  std::remove(dtd.c_str());
  // What a document may still use: a DOCTYPE, character references, predefined entities.
  Load("<!DOCTYPE unitSpec><unitSpec>" +
       UnitXml("degC", "1", "t", "273.15", "&#xB0;C &amp; &lt;&quot;&apos;&gt;") + "</unitSpec>");
  EXPECT_EQ(Spec().GetUnit("degC")->displayName,
            "\xC2\xB0"
            "C & <\"'>");
}

// A reload while other threads convert: every conversion sees one set of tables, and values
// made from the replaced tables keep working. Run under ThreadSanitizer.
// Both documents have the unit p and a group g of one member, a unit the other document
// lacks; a conversion that mixed the group of one with the units of the other would fail.
std::string Document(const char* member, const char* factor) {
  return "<unitSpec>" + UnitXml("p", "1", "d") + UnitXml(member, factor, "d") +
         "<unitGroups><id>g</id><category>COUNTRY</category><unitRef>" + member +
         "</unitRef></unitGroups>" +
         kesmar::test::DimensionXml("d", "<lengthExponent>1</lengthExponent>") + "</unitSpec>";
}

TEST(ThreadsUnitSpec, ConversionsDuringReloadsSeeOneDocument) {
  const std::string first = Document("ten", "10"), second = Document("hundred", "100");
  kesmar::test::Load(first);
  const CKesmar ten = COtxUnit("ten");  // outlives the document it comes from
  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  std::thread reloader([&] {
    for (int i = 0; i < 200; ++i) kesmar::test::Load(i % 2 == 0 ? second : first);
    done = true;
  });
  std::thread selector([&] {
    while (!done) {
      OTX::SetCountryGroup(COtxString(std::string("g")));
      if (std::string(OTX::GetCountryGroup().String()) != "g") ++failures;
    }
  });
  int conversions = 0;
  while (!done || conversions == 0) {
    const CKesmar shown = COtxQuantity(1000.0, COtxUnit("p"), 3).Quantity().ToGroup("g");
    const double number = shown.Quantity().Value().Float();
    const std::string unit = shown.Quantity().QuantityUnit().Unit().Id();
    if (!((unit == "ten" && number == 100) || (unit == "hundred" && number == 10))) ++failures;
    if ((COtxQuantity(2.0, ten, 0) + COtxQuantity(3.0, ten, 0)).ToFloat().Float() != 50) {
      ++failures;
    }
    ++conversions;
  }
  reloader.join();
  selector.join();
  EXPECT_EQ(failures, 0);
}

}  // namespace
