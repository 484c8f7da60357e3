#include "interchange/xliff_format.h"

#include <libxml/parser.h>
#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <unordered_set>

#include "core/text.h"
#include "interchange/text_forms.h"

namespace vorkat {
namespace {

// XML 1.0 carries tab, LF, CR and the characters from U+0020 on, except
// U+FFFE, U+FFFF and unpaired surrogates.
bool XmlCarries(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') return false;
    if (c == 0xFFFE || c == 0xFFFF) return false;
    if (c >= 0xD800 && c < 0xDC00) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000) return false;
      ++i;
    } else if (c >= 0xDC00 && c < 0xE000) {
      return false;
    }
  }
  return true;
}

// Text and attribute values: a CR LF of the program is a plain line break
// (read back as CR LF); a lone CR, and any break inside an attribute, is a
// character reference so the parser keeps it.
void AppendXml(std::string& out, std::u16string_view text, bool attribute) {
  const std::string utf8 = ToUtf8(text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += attribute ? "&quot;" : "\""; break;
      case '\t': out += attribute ? "&#9;" : "\t"; break;
      case '\n': out += attribute ? "&#10;" : "\n"; break;
      case '\r':
        if (!attribute && i + 1 < utf8.size() && utf8[i + 1] == '\n') break;  // CR LF: the LF stands for both
        out += "&#13;";
        break;
      default: out += c;
    }
  }
}

// A text with its codes as placeholders. `ids` holds the source's codes
// with their ids; a target reuses the id of an equal source code, once each.
void AppendWithPlaceholders(std::string& out, std::u16string_view text,
                            std::vector<std::pair<std::u16string_view, int>>& ids, bool isSource) {
  std::vector<bool> used(ids.size(), false);
  int next = static_cast<int>(ids.size()) + 1;
  std::size_t at = 0;
  for (std::u16string_view code : ControlCodes(text)) {
    const auto start = static_cast<std::size_t>(code.data() - text.data());
    AppendXml(out, text.substr(at, start - at), false);
    int id = 0;
    if (isSource) {
      id = static_cast<int>(ids.size()) + 1;
      ids.emplace_back(code, id);
    } else {
      for (std::size_t k = 0; k < ids.size() && !id; ++k)
        if (!used[k] && ids[k].first == code) {
          used[k] = true;
          id = ids[k].second;
        }
      if (!id) id = next++;
    }
    out += "<ph id=\"";
    out += std::to_string(id);
    out += "\">";
    AppendXml(out, code, false);
    out += "</ph>";
    at = start + code.size();
  }
  AppendXml(out, text.substr(at), false);
}

// The reader works on libxml2's SAX events: a tree of 100,000 units would
// take as long to build and free as the rest of the import. One unit is
// gathered at a time, in UTF-8, and converted when it ends.
class UnitReader {
 public:
  UnitReader(xmlParserCtxt* context, InterchangeRead& read) : context_(context), read_(read) {}

  void Start(std::string_view name, int attributeCount, const xmlChar** attributes) {
    ++depth_;
    if (!rootSeen_) {
      rootSeen_ = true;
      if (name != "xliff") Fail(u"это не XLIFF");
      return;
    }
    if (!unit_) {
      if (name == "trans-unit") StartUnit(attributeCount, attributes);
      return;
    }
    const int level = depth_ - unitDepth_;
    if (level == 1) {
      field_ = name == "source" ? &source_ : name == "target" ? &target_ : name == "note" ? &note_ : nullptr;
      if (name == "target") {
        hasTarget_ = true;
        state_ = Attribute(attributeCount, attributes, "state");
      }
      if (name == "note" && !note_.empty()) note_ += '\n';
      if (name == "context-group") contextGroupDepth_ = depth_;
      return;
    }
    if (level == 2 && name == "context" && depth_ - 1 == contextGroupDepth_ &&
        Attribute(attributeCount, attributes, "context-type") == "x-rom-address") {
      address_.clear();
      field_ = &address_;
      return;
    }
    if (field_ != &source_ && field_ != &target_) return;
    // Inline codes: their content is the native code; an empty one, or an
    // <x>, <bx>, <ex>, stands for the source's code of the same id.
    const bool holdsCode = name == "ph" || name == "bpt" || name == "ept" || name == "it";
    const bool standsForCode = name == "x" || name == "bx" || name == "ex";
    if ((holdsCode || standsForCode) && codeDepth_ == 0) {
      codeId_ = Attribute(attributeCount, attributes, "id");
      code_.clear();
      codeDepth_ = depth_;
    }
  }

  void End() {
    if (unit_) {
      const int level = depth_ - unitDepth_;
      if (depth_ == codeDepth_) EndCode();
      if (level == 0) EndUnit();
      if (level == 1 || (field_ == &address_ && level == 2)) field_ = nullptr;
      if (depth_ == contextGroupDepth_) contextGroupDepth_ = -1;
    }
    --depth_;
  }

  void Text(const xmlChar* text, int length) {
    if (!field_ || length <= 0) return;
    const std::string_view piece(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    (codeDepth_ ? code_ : *field_) += piece;
  }

  void Fail(std::u16string text) {
    if (!read_.fault)
      read_.fault = InterchangeFault{static_cast<std::size_t>(xmlSAX2GetLineNumber(context_)), std::move(text)};
    xmlStopParser(context_);
  }

 private:
  static std::string_view Attribute(int count, const xmlChar** attributes, std::string_view name) {
    // Five pointers per attribute: local name, prefix, URI, value start, value end.
    for (int i = 0; i < count; ++i) {
      const xmlChar** a = attributes + 5 * i;
      if (reinterpret_cast<const char*>(a[0]) == name && !a[1])
        return {reinterpret_cast<const char*>(a[3]), static_cast<std::size_t>(a[4] - a[3])};
    }
    return {};
  }
  static bool HasAttribute(int count, const xmlChar** attributes, std::string_view name) {
    for (int i = 0; i < count; ++i)
      if (reinterpret_cast<const char*>(attributes[5 * i]) == name && !attributes[5 * i + 1]) return true;
    return false;
  }

  void StartUnit(int attributeCount, const xmlChar** attributes) {
    if (!HasAttribute(attributeCount, attributes, "id")) return Fail(u"trans-unit без id");
    id_ = Attribute(attributeCount, attributes, "id");
    if (!ids_.insert(id_).second) return Fail(u"id " + FromUtf8(id_) + u" повторяется");
    unit_ = true;
    unitDepth_ = depth_;
    source_.clear();
    target_.clear();
    note_.clear();
    address_.clear();
    state_ = {};
    hasTarget_ = false;
    codes_.clear();
  }

  void EndCode() {
    if (code_.empty()) {
      auto found = codes_.find(codeId_);
      if (found != codes_.end()) code_ = found->second;
    } else if (field_ == &source_) {
      codes_.emplace(codeId_, code_);
    }
    *field_ += code_;
    codeDepth_ = 0;
  }

  void EndUnit() {
    InterchangeEntry e;
    e.id = FromUtf8(id_);
    e.address = FromUtf8(address_);
    e.source = LfToCrLf(FromUtf8(source_));
    e.target = LfToCrLf(FromUtf8(target_));
    e.comment = LfToCrLf(FromUtf8(note_));
    if (!hasTarget_)
      e.state = EntryState::Untranslated;
    else if (state_.starts_with("needs-review"))
      e.state = EntryState::Fuzzy;
    else if (state_ == "new" || state_.starts_with("needs-"))
      e.state = EntryState::Untranslated;
    else
      e.state = StateOfTarget(e.target);
    read_.entries.push_back(std::move(e));
    unit_ = false;
  }

  xmlParserCtxt* context_;
  InterchangeRead& read_;
  bool rootSeen_ = false;
  int depth_ = 0;
  bool unit_ = false;
  int unitDepth_ = 0;
  int contextGroupDepth_ = -1;
  int codeDepth_ = 0;
  std::string* field_ = nullptr;                                       // where text goes now
  std::string id_, source_, target_, note_, address_, code_, codeId_;  // note_: every note, one a line
  std::string state_;
  bool hasTarget_ = false;
  std::map<std::string, std::string> codes_;  // placeholder id -> native code of the source
  std::unordered_set<std::string> ids_;
};

UnitReader& ReaderOf(void* userData) { return *static_cast<UnitReader*>(userData); }

void OnStart(void* userData, const xmlChar* localName, const xmlChar*, const xmlChar*, int, const xmlChar**,
             int attributeCount, int, const xmlChar** attributes) {
  ReaderOf(userData).Start(reinterpret_cast<const char*>(localName), attributeCount, attributes);
}
void OnEnd(void* userData, const xmlChar*, const xmlChar*, const xmlChar*) { ReaderOf(userData).End(); }
void OnText(void* userData, const xmlChar* text, int length) { ReaderOf(userData).Text(text, length); }

// The first error names the line to fix; libxml2 keeps only the last.
void OnError(void* userData, xmlErrorPtr error) {
  if (!error || error->level < XML_ERR_ERROR) return;
  std::u16string text = error->message ? FromUtf8(error->message) : u"XML не разобран";
  while (!text.empty() && (text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  ReaderOf(userData).Fail(std::move(text));
}

// Entities other than the five of XML are not expanded: an XLIFF file has no
// use for them, and expanding them is how small files grow huge.
xmlEntityPtr OnEntity(void*, const xmlChar* name) { return xmlGetPredefinedEntity(name); }

struct ContextFree {
  void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};

}  // namespace

std::optional<std::string> XliffFileText(const std::vector<InterchangeEntry>& entries, std::u16string_view original,
                                         XliffLanguages languages, std::u16string* badId) {
  std::string out;
  out.reserve(256 + entries.size() * 300);
  out +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xliff version=\"1.2\" "
      "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n<file original=\"";
  AppendXml(out, original, true);
  out += "\" source-language=\"";
  out += languages.source;
  out += "\" target-language=\"";
  out += languages.target;
  out += "\" datatype=\"plaintext\">\n<body>\n";
  std::vector<std::pair<std::u16string_view, int>> ids;
  for (const InterchangeEntry& e : entries) {
    for (std::u16string_view text :
         {std::u16string_view(e.id), std::u16string_view(e.address), std::u16string_view(e.source),
          std::u16string_view(e.target), std::u16string_view(e.comment)})
      if (!XmlCarries(text)) {
        if (badId) *badId = e.id;
        return std::nullopt;
      }
    out += "<trans-unit id=\"";
    AppendXml(out, e.id, true);
    out += "\" xml:space=\"preserve\"><source>";
    ids.clear();
    AppendWithPlaceholders(out, e.source, ids, true);
    out += "</source><target state=\"";
    out += e.state == EntryState::Translated ? "translated"
           : e.state == EntryState::Fuzzy    ? "needs-review-translation"
                                             : "needs-translation";
    out += "\">";
    AppendWithPlaceholders(out, e.target, ids, false);
    out += "</target>";
    if (!e.comment.empty()) {
      out += "<note>";
      AppendXml(out, e.comment, false);
      out += "</note>";
    }
    if (!e.address.empty()) {
      out += "<context-group purpose=\"location\"><context context-type=\"x-rom-address\">";
      AppendXml(out, e.address, false);
      out += "</context></context-group>";
    }
    out += "</trans-unit>\n";
  }
  out += "</body>\n</file>\n</xliff>\n";
  return out;
}

InterchangeRead ParseXliff(std::string_view bytes) {
  InterchangeRead read;
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    read.fault = InterchangeFault{0, u"файл слишком велик"};
    return read;
  }
  std::unique_ptr<xmlParserCtxt, ContextFree> context(
      xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size())));
  if (!context) {
    read.fault = InterchangeFault{0, u"не хватило памяти для разбора XML"};
    return read;
  }
  xmlSAXHandler handler{};
  handler.initialized = XML_SAX2_MAGIC;
  handler.startElementNs = OnStart;
  handler.endElementNs = OnEnd;
  handler.characters = OnText;
  handler.cdataBlock = OnText;
  handler.getEntity = OnEntity;
  handler.serror = OnError;
  *context->sax = handler;
  UnitReader reader(context.get(), read);
  context->userData = &reader;
  // No DTD loading, no network, no messages on the standard error.
  // The five entities of XML are replaced in attribute values too (OnEntity knows no other).
  xmlCtxtUseOptions(context.get(),
                    XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES);
  xmlParseDocument(context.get());
  if (!read.fault && !context->wellFormed) read.fault = InterchangeFault{0, u"XML не разобран"};
  if (read.fault) read.entries.clear();
  return read;
}

}  // namespace vorkat
