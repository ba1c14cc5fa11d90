#include "units/detail/UnitSpecReader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>
#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMException.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>

namespace {

namespace xml = XERCES_CPP_NAMESPACE;

using kesmar::detail::Dimension;
using kesmar::detail::LocalisedText;
using kesmar::detail::UnitDocument;
using kesmar::detail::UnitGroup;
using kesmar::detail::UnitSpecError;

std::string ToUtf8(const XMLCh* text) {
  if (text == nullptr || *text == 0) return {};
  const xml::TranscodeToStr utf8(text, "UTF-8");
  return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

std::string Located(XMLFileLoc line, XMLFileLoc column, const std::string& message) {
  return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message;
}

// The deepest element nesting read. The format nests four deep; the DOM's text and the
// reader walk the tree recursively, so a hostile depth must end the parse long before the
// stack does.
constexpr std::size_t kMaxDepth = 256;

// A DOM parser that notes where each element starts, in document order, so that the
// reader's own diagnostics can name a line and column as the parser's do, and that ends the
// parse at an element nested deeper than kMaxDepth.
class LocatingParser : public xml::XercesDOMParser {
 public:
  struct Position {
    XMLFileLoc line;
    XMLFileLoc column;
  };

  void startElement(const xml::XMLElementDecl& declaration, const unsigned int uriId,
                    const XMLCh* const prefix, const xml::RefVectorOf<xml::XMLAttr>& attributes,
                    const XMLSize_t attributeCount, const bool isEmpty,
                    const bool isRoot) override {
    const xml::Locator* locator = getScanner()->getLocator();
    if (m_depth + 1 > kMaxDepth) {
      // Thrown as the error handler throws, so the parse ends the same way.
      static_assert(kMaxDepth == 256, "the message names the limit");
      throw xml::SAXParseException(u"elements nested deeper than 256 levels", *locator);
    }
    m_positions.push_back({locator->getLineNumber(), locator->getColumnNumber()});
    XercesDOMParser::startElement(declaration, uriId, prefix, attributes, attributeCount, isEmpty,
                                  isRoot);
    if (!isEmpty) ++m_depth;  // an empty element gets no endElement
  }

  void endElement(const xml::XMLElementDecl& declaration, const unsigned int uriId,
                  const bool isRoot, const XMLCh* const prefix) override {
    --m_depth;
    XercesDOMParser::endElement(declaration, uriId, isRoot, prefix);
  }

  const std::vector<Position>& Positions() const { return m_positions; }

 private:
  std::vector<Position> m_positions;
  std::size_t m_depth = 0;
};

// Ends the parse at the first error or fatal error: with a handler installed the parser
// reports through it instead of throwing, so the handler throws.
class StopOnError : public xml::ErrorHandler {
 public:
  void warning(const xml::SAXParseException&) override {}
  void error(const xml::SAXParseException& failure) override { throw failure; }
  void fatalError(const xml::SAXParseException& failure) override { throw failure; }
  void resetErrors() override {}
};

// The first element among node and its following siblings, null when there is none. Walks
// the plain sibling links; the DOM's own element navigation casts dynamically at every step.
const xml::DOMElement* ElementFrom(const xml::DOMNode* node) {
  while (node != nullptr && node->getNodeType() != xml::DOMNode::ELEMENT_NODE) {
    node = node->getNextSibling();
  }
  return static_cast<const xml::DOMElement*>(node);
}

const xml::DOMElement* FirstChildElement(const xml::DOMNode& node) {
  return ElementFrom(node.getFirstChild());
}

const xml::DOMElement* NextElement(const xml::DOMElement& element) {
  return ElementFrom(element.getNextSibling());
}

// Whether element is the element name in no namespace.
bool Is(const xml::DOMElement& element, std::u16string_view name) {
  const XMLCh* uri = element.getNamespaceURI();
  const XMLCh* local = element.getLocalName();
  return (uri == nullptr || *uri == 0) && local != nullptr && std::u16string_view(local) == name;
}

std::string NameOf(std::u16string_view name) { return std::string(name.begin(), name.end()); }

// The kinds of child an element may have; occurs once or any number of times.
struct ChildRule {
  std::u16string_view name;
  bool once;
  bool required;
};

// Walks the DOM of one document; every failure carries the offending element's position.
class Reader {
 public:
  explicit Reader(LocatingParser& parser) {
    const xml::DOMElement* root = parser.getDocument()->getDocumentElement();
    std::size_t next = 0;
    Number(root, parser.Positions(), next);
  }

  UnitDocument Read(const xml::DOMElement& root) {
    if (!Is(root, u"unitSpec")) {
      const std::string uri = ToUtf8(root.getNamespaceURI());
      Fail(root, "expected element \"unitSpec\" instead of \"" +
                     (uri.empty() ? "" : '{' + uri + '}') + ToUtf8(root.getTagName()) + '"');
    }
    static constexpr std::array<ChildRule, 3> kRules = {{
        {u"units", false, false},
        {u"physicalDimensions", false, false},
        {u"unitGroups", false, false},
    }};
    UnitDocument document;
    ReadChildren(root, kRules, [&](std::size_t rule, const xml::DOMElement& child) {
      switch (rule) {
        case 0:
          document.units.push_back(ReadUnit(child));
          break;
        case 1:
          document.dimensions.push_back(ReadDimension(child));
          break;
        default:
          document.groups.push_back(ReadGroup(child));
          break;
      }
    });
    return document;
  }

 private:
  using Position = LocatingParser::Position;

  // Gives each element, in document order, the position the parser noted for it.
  void Number(const xml::DOMElement* element, const std::vector<Position>& positions,
              std::size_t& next) {
    for (; element != nullptr; element = NextElement(*element)) {
      if (next < positions.size()) m_positions.emplace(element, positions[next]);
      ++next;
      Number(FirstChildElement(*element), positions, next);
    }
  }

  [[noreturn]] void Fail(const xml::DOMElement& element, const std::string& message) const {
    const auto found = m_positions.find(&element);
    const Position at = found != m_positions.end() ? found->second : Position{0, 0};
    throw UnitSpecError(Located(at.line, at.column, message));
  }

  // Hands each accepted child to take(rule index, child), in document order, until a child
  // that no rule names or a second child of a rule that occurs once; then fails for the
  // first required child that was not read.
  template <std::size_t N, class Take>
  void ReadChildren(const xml::DOMElement& parent, const std::array<ChildRule, N>& rules,
                    Take take) {
    std::array<bool, N> seen{};
    for (const xml::DOMElement* child = FirstChildElement(parent); child != nullptr;
         child = NextElement(*child)) {
      std::size_t rule = 0;
      while (rule < N && !Is(*child, rules[rule].name)) ++rule;
      if (rule == N || (rules[rule].once && seen[rule])) break;
      seen[rule] = true;
      take(rule, *child);
    }
    for (std::size_t rule = 0; rule < N; ++rule) {
      if (rules[rule].required && !seen[rule]) {
        Fail(parent, "expected element \"" + NameOf(rules[rule].name) + "\" in \"" +
                         ToUtf8(parent.getTagName()) + '"');
      }
    }
  }

  static std::string Text(const xml::DOMElement& element) {
    return ToUtf8(element.getTextContent());
  }

  // The text with the white space that XML Schema collapses around numbers removed.
  static std::string_view Trimmed(const std::string& text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(kSpace);
    return std::string_view(text).substr(first, last - first + 1);
  }

  // An xs:double: [sign] digits with an optional point and exponent, or INF, -INF, +INF, NaN.
  double ReadDouble(const xml::DOMElement& element) const {
    const std::string text = Text(element);
    std::string_view number = Trimmed(text);
    if (number == "NaN") return std::numeric_limits<double>::quiet_NaN();
    const bool negative = !number.empty() && number.front() == '-';
    if (!number.empty() && (number.front() == '-' || number.front() == '+')) {
      number.remove_prefix(1);
    }
    if (number == "INF") {
      return negative ? -std::numeric_limits<double>::infinity()
                      : std::numeric_limits<double>::infinity();
    }
    // from_chars would also take "inf", "nan" and hexadecimal forms, which XML Schema does not.
    std::size_t digits = 0;
    std::size_t i = 0;
    while (i < number.size() && IsDigit(number[i])) ++i, ++digits;
    if (i < number.size() && number[i] == '.') {
      ++i;
      while (i < number.size() && IsDigit(number[i])) ++i, ++digits;
    }
    if (digits > 0 && i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
      ++i;
      if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
      const std::size_t exponentStart = i;
      while (i < number.size() && IsDigit(number[i])) ++i;
      if (i == exponentStart) digits = 0;
    }
    double value = 0.0;
    if (digits > 0 && i == number.size()) {
      const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
      if (result.ec == std::errc() && result.ptr == number.data() + number.size()) {
        return negative ? -value : value;
      }
    }
    Fail(element, '"' + text + "\" is not a double in \"" + ToUtf8(element.getTagName()) + '"');
  }

  // An xs:int: [sign] digits within 32 bits.
  int ReadInt(const xml::DOMElement& element) const {
    const std::string text = Text(element);
    std::string_view number = Trimmed(text);
    if (number.size() > 1 && number.front() == '+' && IsDigit(number[1])) number.remove_prefix(1);
    int value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || result.ec != std::errc() || result.ptr != number.data() + number.size()) {
      Fail(element, '"' + text + "\" is not an int in \"" + ToUtf8(element.getTagName()) + '"');
    }
    return value;
  }

  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  OTX::UnitDefinition ReadUnit(const xml::DOMElement& element) {
    static constexpr std::array<ChildRule, 5> kRules = {{
        {u"id", true, true},
        {u"displayName", true, true},
        {u"siFactor", true, true},
        {u"siOffset", true, true},
        {u"physicalDimensionRef", true, true},
    }};
    OTX::UnitDefinition unit;
    ReadChildren(element, kRules, [&](std::size_t rule, const xml::DOMElement& child) {
      switch (rule) {
        case 0:
          unit.id = Text(child);
          break;
        case 1:
          unit.displayName = Text(child);
          break;
        case 2:
          unit.siFactor = ReadDouble(child);
          break;
        case 3:
          unit.siOffset = ReadDouble(child);
          break;
        default:
          unit.physicalDimensionRef = Text(child);
          break;
      }
    });
    return unit;
  }

  Dimension ReadDimension(const xml::DOMElement& element) {
    // The exponent elements in the order of their base quantity index.
    static constexpr std::array<ChildRule, 8> kRules = {{
        {u"lengthExponent", true, false},
        {u"massExponent", true, false},
        {u"timeExponent", true, false},
        {u"currentExponent", true, false},
        {u"temperatureExponent", true, false},
        {u"molarAmountExponent", true, false},
        {u"luminousIntensityExponent", true, false},
        {u"id", true, true},
    }};
    Dimension dimension;
    ReadChildren(element, kRules, [&](std::size_t rule, const xml::DOMElement& child) {
      if (rule == kRules.size() - 1) {
        dimension.id = Text(child);
      } else {
        dimension.exponents[static_cast<int>(rule)] = ReadInt(child);
      }
    });
    return dimension;
  }

  LocalisedText ReadLocalisedText(const xml::DOMElement& element) {
    static constexpr std::array<ChildRule, 2> kRules = {{
        {u"language", true, true},
        {u"text", true, true},
    }};
    LocalisedText text;
    ReadChildren(element, kRules, [&](std::size_t rule, const xml::DOMElement& child) {
      (rule == 0 ? text.language : text.text) = Text(child);
    });
    return text;
  }

  UnitGroup ReadGroup(const xml::DOMElement& element) {
    static constexpr std::array<ChildRule, 5> kRules = {{
        {u"id", true, true},
        {u"unitRef", false, false},
        {u"category", true, true},
        {u"name", false, false},
        {u"description", false, false},
    }};
    UnitGroup group;
    const xml::DOMElement* category = nullptr;
    ReadChildren(element, kRules, [&](std::size_t rule, const xml::DOMElement& child) {
      switch (rule) {
        case 0:
          group.id = Text(child);
          break;
        case 1:
          group.unitRefs.push_back(Text(child));
          break;
        case 2:
          category = &child;
          break;
        case 3:
          group.names.push_back(ReadLocalisedText(child));
          break;
        default:
          group.descriptions.push_back(ReadLocalisedText(child));
          break;
      }
    });
    // Checked after the children, as a missing required child is.
    group.category = Text(*category);
    if (group.category != "COUNTRY" && group.category != "EQUIV_UNITS") {
      Fail(*category, "unexpected enumerator \"" + group.category + "\" in \"category\"");
    }
    return group;
  }

  std::unordered_map<const xml::DOMElement*, Position> m_positions;
};

}  // namespace

namespace kesmar::detail {

UnitDocument ReadUnitSpec(std::istream& xml) {
  const std::string bytes{std::istreambuf_iterator<char>(xml), std::istreambuf_iterator<char>()};

  // Declared before the parser, which keeps pointers to them until it is destroyed.
  xml::SecurityManager security;
  security.setEntityExpansionLimit(0);
  StopOnError errors;
  LocatingParser parser;
  // Nothing but the stream is read: no schema, no external DTD, no entity that the document
  // asks for; a limit of 0 expansions makes every entity reference an error (character
  // references and the predefined entities are not expansions).
  parser.setValidationScheme(xml::XercesDOMParser::Val_Never);
  parser.setDoNamespaces(true);
  parser.setDoSchema(false);
  parser.setValidationSchemaFullChecking(false);
  parser.setLoadExternalDTD(false);
  parser.setLoadSchema(false);
  parser.setDisableDefaultEntityResolution(true);
  parser.setDoXInclude(false);
  parser.setCreateEntityReferenceNodes(false);
  parser.setCreateCommentNodes(false);
  parser.setSecurityManager(&security);
  parser.setErrorHandler(&errors);

  const xml::MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(),
                                      "unitSpec");
  try {
    parser.parse(source);
  } catch (const xml::SAXParseException& failure) {
    throw UnitSpecError(
        Located(failure.getLineNumber(), failure.getColumnNumber(), ToUtf8(failure.getMessage())));
  } catch (const xml::XMLException& failure) {
    throw UnitSpecError(ToUtf8(failure.getMessage()));
  } catch (const xml::DOMException& failure) {
    // The document being built refuses what the scanner accepted, e.g. an XML declaration
    // whose version is not "1.0" or "1.1". The scanner's position is gone by now.
    throw UnitSpecError(ToUtf8(failure.getMessage()));
  } catch (const xml::OutOfMemoryException&) {
    throw UnitSpecError("out of memory");
  }
  const xml::DOMDocument* document = parser.getDocument();
  if (document == nullptr || document->getDocumentElement() == nullptr) {
    throw UnitSpecError("no document element");
  }
  Reader reader(parser);
  return reader.Read(*document->getDocumentElement());
}

}  // namespace kesmar::detail
