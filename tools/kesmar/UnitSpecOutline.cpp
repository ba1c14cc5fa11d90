#include "UnitSpecOutline.h"

#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string_view>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

namespace kesmar::tool {

namespace {

namespace xml = XERCES_CPP_NAMESPACE;

std::string ToUtf8(const XMLCh* text) {
  if (text == nullptr || *text == 0) return {};
  const xml::TranscodeToStr utf8(text, "UTF-8");
  return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

// The children each element may have, and whether one may occur only once. Elements with no
// entry are texts.
const std::map<std::string, std::map<std::string, bool>, std::less<>>& Rules() {
  static const std::map<std::string, std::map<std::string, bool>, std::less<>> kRules = {
      {"unitSpec", {{"units", false}, {"physicalDimensions", false}, {"unitGroups", false}}},
      {"units",
       {{"id", true},
        {"displayName", true},
        {"siFactor", true},
        {"siOffset", true},
        {"physicalDimensionRef", true}}},
      {"physicalDimensions",
       {{"id", true},
        {"lengthExponent", true},
        {"massExponent", true},
        {"timeExponent", true},
        {"currentExponent", true},
        {"temperatureExponent", true},
        {"molarAmountExponent", true},
        {"luminousIntensityExponent", true}}},
      {"unitGroups",
       {{"id", true}, {"unitRef", false}, {"category", true}, {"name", false},
        {"description", false}}},
      {"name", {{"language", true}, {"text", true}}},
      {"description", {{"language", true}, {"text", true}}},
  };
  return kRules;
}

// One open element.
struct Frame {
  std::string name;
  Located where;
  // Not read by the library: inside an element passed over, or inside a text element.
  bool skipped = false;
  // An element that the library reads as text (its descendants' text included).
  bool text = false;
  // A child was passed over: the rest of this element's children are too.
  bool stopped = false;
  std::set<std::string> seen;
  std::string content;
  std::map<std::string, std::string> fields;
  std::vector<Located> unitRefs;
};

class OutlineHandler : public xml::DefaultHandler {
 public:
  explicit OutlineHandler(UnitSpecOutline& outline) : m_outline(outline) {}

  void setDocumentLocator(const xml::Locator* const locator) override { m_locator = locator; }

  void startElement(const XMLCh* const uri, const XMLCh* const localname, const XMLCh* const,
                    const xml::Attributes&) override {
    Frame frame;
    const std::string space = ToUtf8(uri);
    frame.name = space.empty() ? ToUtf8(localname) : '{' + space + '}' + ToUtf8(localname);
    frame.where = {frame.name, m_locator->getLineNumber(), m_locator->getColumnNumber()};
    if (!m_stack.empty()) Accept(m_stack.back(), frame);
    const auto rules = Rules().find(frame.name);
    frame.text = !m_stack.empty() && !frame.skipped && rules == Rules().end();
    m_stack.push_back(std::move(frame));
  }

  void characters(const XMLCh* const chars, const XMLSize_t length) override {
    // The text goes to the innermost text element, whatever elements it holds.
    for (auto frame = m_stack.rbegin(); frame != m_stack.rend(); ++frame) {
      if (frame->text) {
        frame->content += ToUtf8(std::u16string(chars, length).c_str());
        return;
      }
      if (!frame->skipped) return;
    }
  }

  void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
    Frame frame = std::move(m_stack.back());
    m_stack.pop_back();
    if (frame.skipped || m_stack.empty()) return;
    Frame& parent = m_stack.back();
    if (frame.text) {
      if (frame.name == "unitRef") {
        parent.unitRefs.push_back({frame.content, frame.where.line, frame.where.column});
      } else {
        parent.fields[frame.name] = frame.content;
      }
      return;
    }
    const Located id{frame.fields["id"], frame.where.line, frame.where.column};
    if (frame.name == "units") {
      m_outline.units.push_back({id, frame.fields["physicalDimensionRef"]});
    } else if (frame.name == "physicalDimensions") {
      m_outline.dimensions.push_back(id);
    } else if (frame.name == "unitGroups") {
      m_outline.groups.push_back({id, std::move(frame.unitRefs)});
    }
  }

  void fatalError(const xml::SAXParseException& failure) override { throw failure; }
  void error(const xml::SAXParseException& failure) override { throw failure; }

 private:
  // Decides whether the library reads child of parent, noting what it passes over.
  void Accept(Frame& parent, Frame& child) {
    if (parent.skipped || parent.text || parent.stopped) {
      child.skipped = true;
      return;
    }
    const auto parentRules = Rules().find(parent.name);
    if (parentRules == Rules().end()) {  // a root that the library refuses anyway
      child.skipped = true;
      return;
    }
    const auto& rules = parentRules->second;
    const auto rule = rules.find(child.name);
    std::string reason;
    if (rule == rules.end()) {
      reason = "unknown element \"" + child.name + "\" in \"" + parent.name + '"';
    } else if (rule->second && parent.seen.count(child.name) != 0) {
      reason = "second \"" + child.name + "\" in \"" + parent.name + '"';
    } else {
      parent.seen.insert(child.name);
      return;
    }
    m_outline.ignored.push_back(
        At(child.where, reason + ": it and the elements after it in \"" + parent.name +
                            "\" are ignored"));
    parent.stopped = true;
    child.skipped = true;
  }

  UnitSpecOutline& m_outline;
  const xml::Locator* m_locator = nullptr;
  std::vector<Frame> m_stack;
};

// Xerces counts initialisations, so the tool's own use does not disturb the library's.
struct Platform {
  Platform() { xml::XMLPlatformUtils::Initialize(); }
  ~Platform() { xml::XMLPlatformUtils::Terminate(); }
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;
};

}  // namespace

std::string At(const Located& where, const std::string& message) {
  return "line " + std::to_string(where.line) + ", column " + std::to_string(where.column) +
         ": " + message;
}

UnitSpecOutline ReadOutline(const std::string& document) {
  const Platform platform;
  UnitSpecOutline outline;
  {
    // Declared before the reader, which keeps pointers to them until it is destroyed.
    xml::SecurityManager security;
    // No entity expansions at all: every entity reference is an error.
    security.setEntityExpansionLimit(0);
    OutlineHandler handler(outline);
    const std::unique_ptr<xml::SAX2XMLReader> reader(xml::XMLReaderFactory::createXMLReader());
    reader->setFeature(xml::XMLUni::fgSAX2CoreValidation, false);
    reader->setFeature(xml::XMLUni::fgSAX2CoreNameSpaces, true);
    reader->setFeature(xml::XMLUni::fgXercesSchema, false);
    reader->setFeature(xml::XMLUni::fgXercesSchemaFullChecking, false);
    reader->setFeature(xml::XMLUni::fgXercesLoadExternalDTD, false);
    reader->setFeature(xml::XMLUni::fgXercesLoadSchema, false);
    reader->setFeature(xml::XMLUni::fgXercesDisableDefaultEntityResolution, true);
    reader->setProperty(xml::XMLUni::fgXercesSecurityManager, &security);
    reader->setContentHandler(&handler);
    reader->setErrorHandler(&handler);
    const xml::MemBufInputSource source(reinterpret_cast<const XMLByte*>(document.data()),
                                        document.size(), "unitSpec");
    try {
      reader->parse(source);
    } catch (const xml::SAXParseException& failure) {
      throw std::runtime_error(At({"", failure.getLineNumber(), failure.getColumnNumber()},
                                  ToUtf8(failure.getMessage())));
    } catch (const xml::XMLException& failure) {
      throw std::runtime_error(ToUtf8(failure.getMessage()));
    }
  }
  return outline;
}

}  // namespace kesmar::tool
