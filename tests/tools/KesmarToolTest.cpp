// The kesmar tool on real inputs: exact output of each subcommand, the unit-specification
// checker on documents with each problem, and the exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A scratch folder for the run's files, removed with the fixture.
class KesmarTool : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir =
        fs::temp_directory_path() /
        ("kesmar_tool_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         '_' + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(m_dir / name, std::ios::binary) << content;
  }

  // Runs the tool in the scratch folder with args (shell words) and input on standard input.
  Outcome Run(const std::string& args, const std::string& input = "") const {
    Write("stdin", input);
    const std::string command = "cd '" + m_dir.string() + "' && '" KESMAR_TOOL_PATH "' " + args +
                                " <stdin >stdout 2>stderr";
    const int status = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = Slurp(m_dir / "stdout");
    outcome.err = Slurp(m_dir / "stderr");
    return outcome;
  }

  fs::path m_dir;
};

std::string Unit(const std::string& id, const std::string& dimension = "length",
                 const std::string& factor = "1", const std::string& extra = "") {
  return "<units><id>" + id + "</id><displayName>" + id + "</displayName><siFactor>" + factor +
         "</siFactor><siOffset>0</siOffset><physicalDimensionRef>" + dimension +
         "</physicalDimensionRef>" + extra + "</units>\n";
}

const std::string kLength =
    "<physicalDimensions><id>length</id><lengthExponent>1</lengthExponent></physicalDimensions>\n";

std::string Spec(const std::string& body) {
  return "<unitSpec>\n" + kLength + body + "</unitSpec>\n";
}

TEST_F(KesmarTool, SubcommandsPrintTheLibraryResults) {
  Write("value.json", R"({"type":"BYTEFIELD","value":"12F0"})");
  Write("small.xml", Spec(Unit("m") + Unit("ft", "length", "0.3048")));
  struct Case {
    const char* args;
    const char* input;
    const char* out;
  };
  const Case kCases[] = {
      {R"(show '{"type":"INTEGER","value":5,"displayRadix":"HEX"}' '[1,[2,"a"]]')", "",
       "type:   INTEGER\nstring: 5\nstream:\n  5\nplain:  5\n"
       "object: {\"type\":\"INTEGER\",\"value\":5,\"displayRadix\":\"HEX\"}\n\n"
       "type:   LIST\nstring: 1, [\n  2\n  a\n]\nstream:\n  [\n    1\n    [\n      2\n      a\n"
       "    ]\n  ]\nplain:  [1,[2,\"a\"]]\n"
       "object: {\"type\":\"LIST\",\"value\":[{\"type\":\"INTEGER\",\"value\":1,\"displayRadix\":"
       "\"DEC\"},{\"type\":\"LIST\",\"value\":[{\"type\":\"INTEGER\",\"value\":2,\"displayRadix\":"
       "\"DEC\"},{\"type\":\"STRING\",\"value\":\"a\"}]}]}\n"},
      // Object forms inside a plain map, from standard input and from a file.
      {"show -", R"({"k":{"type":"FLOAT","value":2.5,"displayPrecision":2}})",
       "type:   MAP\nstring: k:2.50\nstream:\n  {\n    k: 2.50\n  }\nplain:  {\"k\":2.50}\n"
       "object: {\"type\":\"MAP\",\"value\":{\"k\":{\"type\":\"FLOAT\",\"value\":2.50,"
       "\"displayPrecision\":2}}}\n"},
      {"show @value.json", "",
       "type:   BYTEFIELD\nstring: \x12\xF0\nstream:\n  12F0\nplain:  \"12F0\"\n"
       "object: {\"type\":\"BYTEFIELD\",\"value\":\"12F0\"}\n"},
      {R"(calc '{"type":"INTEGER","value":5,"displayRadix":"HEX"}' + 0.5)", "", "FLOAT 5.5\n"},
      {"calc 7 / 2", "", "INTEGER 3\n"},
      {"calc -7 % 2", "", "INTEGER -1\n"},
      {"calc 2 '<=' 2.5", "", "BOOLEAN true\n"},
      {"calc '\"a\"' == 1", "", "BOOLEAN false\n"},
      {"calc abs -2.5", "", "FLOAT 2.5\n"},
      {"convert '\"0x1F\"' INTEGER", "", "INTEGER 31\n"},
      {"convert 300 BYTEFIELD", "", "BYTEFIELD 2C01\n"},
      {"bytes encode -1 9 TwosComplement LittleEndian", "", "BYTEFIELD FF01\n"},
      {"bytes encode -5 8 onescomplement bigendian", "", "BYTEFIELD FA\n"},
      {"bytes decode 0123 16 PackedBinaryCodedDecimal BigEndian", "", "INTEGER 123\n"},
      {"text length 'Grüße'", "", "INTEGER 5\n"},
      {"text substring 'Grüße' 1 3", "", "STRING rüß\n"},
      {"text replace abcdef XY 4", "", "STRING abcdXY\n"},
      {"text split 'a;b;' ';'", "", "LIST [\n  a\n  b\n]\n"},
      {"text match 'Köln' 'K..ln$'", "", "BOOLEAN true\n"},
      {"text upper 'grüße'", "", "STRING GRÜßE\n"},
      {"text encode 'Grüße' ISO-8859-1", "", "BYTEFIELD 4772FCDF65\n"},
      {"text decode 00E4 UTF-16BE", "", "STRING ä\n"},
      {"units convert 100 km/h mph", "", "QUANTITY 62.1371192237334 mph\n"},
      {"--units small.xml units list", "",
       "id\tdisplay name\tphysical dimension\tsiFactor\tsiOffset\nscalar\t\tnone\t1\t0\n"
       "m\tm\tlength\t1\t0\nft\tft\tlength\t0.3048\t0\n"},
      {"units groups fr", "", nullptr},
      {"demo", "",
       "1. Read {\"type\":\"INTEGER\",\"value\":5,\"displayRadix\":\"HEX\"}\n   INTEGER 5\n"
       "2. Add 0.5\n   FLOAT 5.5\n"
       "3. Watch the variable \"result\" with a threshold source, bounds 0 and 5\n"
       "4. Assign the sum to \"result\"\n"
       "5. Receive the event\n   THRESHOLD_EXCEEDED: value 5.5, variable result\n"
       "6. Write the result in its object form\n"
       "   {\"type\":\"FLOAT\",\"value\":5.5,\"displayPrecision\":16}\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args);
    const Outcome outcome = Run(c.args, c.input);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    if (c.out != nullptr) {
      EXPECT_EQ(outcome.out, c.out);
    } else {
      EXPECT_NE(outcome.out.find("COUNTRY\tmetric\tMétrique\n"), std::string::npos) << outcome.out;
    }
  }
}

TEST_F(KesmarTool, FailuresAndUsageErrorsExitWithOneLineOrTheUsage) {
  Write("broken.xml", "<unitSpec>\n  <units><id>m</id>\n</unitSpec>\n");
  struct Case {
    const char* args;
    int status;
    const char* errPrefix;  // the whole of standard error for status 1
  };
  const Case kCases[] = {
      {"calc 7 % 0", 1, "kesmar: 7 % 0: ArithmeticException: Cannot get modulo with divisor 0\n"},
      {"show '{\"a\":}'", 1,
       "kesmar: {\"a\":}: JSON parse error: Invalid value. offset: 5\n"},
      {"convert '\"five\"' INTEGER", 1, "kesmar: \"five\" to INTEGER: TypeMismatchException: \n"},
      {"bytes encode 300 8 Unsigned BigEndian", 1,
       "kesmar: 300: OutOfBoundsException: Value 300 does not fit in 8 bits\n"},
      {"text encode '€' ISO-8859-1", 1, "kesmar: €: OutOfBoundsException: ISO-8859-1\n"},
      {"units convert 1 m s", 1, "kesmar: 1 m to s: InvalidConversionException: \n"},
      {"show @missing.json", 1, "kesmar: @missing.json: cannot read missing.json\n"},
      {"--units broken.xml calc 1 + 1", 1,
       "kesmar: broken.xml: XMLParsingException line 3, column 3: expected end of tag 'units'\n"},
      {"", 2, "kesmar: A subcommand is required\n"},
      {"calc 5 '^' 3", 2, "kesmar: OP: ^ not in"},
      {"calc 5 +", 2, "kesmar: A OP B is required\n"},
      {"bytes encode 1 8 Zigzag BigEndian", 2, "kesmar: ENCODING: Check Zigzag"},
      {"text decode 41 EBCDIC", 2, "kesmar: ENCODING: EBCDIC not in"},
      {"frobnicate", 2, "kesmar: A subcommand is required\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args);
    const Outcome outcome = Run(c.args);
    EXPECT_EQ(outcome.status, c.status);
    if (c.status == 1) {
      EXPECT_EQ(outcome.err, c.errPrefix);
    } else {
      EXPECT_EQ(outcome.err.rfind(c.errPrefix, 0), 0u) << outcome.err;
      EXPECT_NE(outcome.err.find("Usage: "), std::string::npos) << outcome.err;
    }
  }
  for (const char* help : {"--help", "show --help", "calc abs --help", "bytes decode --help",
                           "text split --help", "units check --help", "demo --help"}) {
    SCOPED_TRACE(help);
    const Outcome outcome = Run(help);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("Usage: "), std::string::npos) << outcome.out;
  }
}

TEST_F(KesmarTool, CheckReportsWhatTheLibraryPassesOver) {
  struct Case {
    const char* name;
    std::string document;
    int status;
    std::string out;
  };
  const Case kCases[] = {
      {"clean", Spec(Unit("m")), 0, "doc.xml: no problems found\n"},
      {"unknown child", Spec(Unit("m", "length", "1", "<colour/>") + Unit("mm", "length", "0.001")),
       0,
       "doc.xml: line 3, column 150: unknown element \"colour\" in \"units\": it and the "
       "elements after it in \"units\" are ignored\n"},
      {"repeated child", Spec(Unit("m", "length", "1", "<id>x</id>")), 0,
       "doc.xml: line 3, column 145: second \"id\" in \"units\": it and the elements after it "
       "in \"units\" are ignored\n"},
      {"unknown root child hides the rest", Spec("<extra/>\n" + Unit("m")), 0,
       "doc.xml: line 3, column 9: unknown element \"extra\" in \"unitSpec\": it and the "
       "elements after it in \"unitSpec\" are ignored\n"
       "doc.xml: line 2, column 21: physical dimension \"length\" has no base unit (siFactor 1, "
       "siOffset 0)\n"},
      {"duplicate ids", Spec(Unit("m") + Unit("m") + kLength), 0,
       "doc.xml: line 4, column 8: unit \"m\" is defined again: ignored\n"
       "doc.xml: line 5, column 21: physical dimension \"length\" is defined again: ignored\n"},
      {"unknown group member",
       Spec(Unit("m") + "<unitGroups><id>g</id><category>COUNTRY</category>"
                        "<unitRef>m</unitRef><unitRef>rod</unitRef></unitGroups>\n"),
       0, "doc.xml: line 4, column 80: unit group \"g\" refers to the unknown unit \"rod\"\n"},
      {"dimension without base unit and unit of unknown dimension",
       Spec(Unit("m") + Unit("ft", "length", "0.3048") + Unit("kn", "speed", "0.514") +
            "<physicalDimensions><id>time</id><timeExponent>1</timeExponent>"
            "</physicalDimensions>\n"),
       0,
       "doc.xml: line 6, column 21: physical dimension \"time\" has no base unit (siFactor 1, "
       "siOffset 0)\n"
       "doc.xml: line 5, column 8: unit \"kn\" has the unknown physical dimension \"speed\"\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Write("doc.xml", c.document);
    const Outcome outcome = Run("units check doc.xml");
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.out, c.out);
  }

  struct Refused {
    const char* document;
    const char* err;
  };
  const Refused kRefused[] = {
      {"<unitSpec>\n  <units><id>m</id>\n</unitSpec>\n",
       "kesmar: doc.xml: XMLParsingException line 3, column 3: expected end of tag 'units'\n"},
      {"<!DOCTYPE unitSpec [<!ENTITY e \"x\">]>\n<unitSpec><units><id>&e;</id></units></unitSpec>",
       "kesmar: doc.xml: XMLParsingException line 2, column 25: parser has encountered more than "
       "'0' entity expansions in the document; this is the limit imposed by the application\n"},
      {"<unitSpec><unitGroups><id>g</id><category>STATE</category></unitGroups></unitSpec>",
       "kesmar: doc.xml: XMLParsingException line 1, column 43: unexpected enumerator \"STATE\" "
       "in \"category\"\n"},
  };
  for (const Refused& c : kRefused) {
    SCOPED_TRACE(c.document);
    Write("doc.xml", c.document);
    const Outcome outcome = Run("units check doc.xml");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.err);
  }
}

}  // namespace
