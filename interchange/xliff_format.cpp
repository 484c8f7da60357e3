#include "interchange/xliff_format.h"

#include <libxml/parser.h>
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

std::string_view Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

std::u16string Prop(const xmlNode* node, const char* name) {
  std::unique_ptr<xmlChar, decltype(xmlFree)> value(xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)), xmlFree);
  return value ? FromUtf8(reinterpret_cast<const char*>(value.get())) : std::u16string();
}
bool HasProp(const xmlNode* node, const char* name) {
  return xmlHasProp(node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

std::u16string Content(const xmlNode* node) {
  std::unique_ptr<xmlChar, decltype(xmlFree)> value(xmlNodeGetContent(node), xmlFree);
  return value ? FromUtf8(reinterpret_cast<const char*>(value.get())) : std::u16string();
}

using CodeIds = std::map<std::u16string, std::u16string>;  // placeholder id -> native code

// The text of a source or target element, placeholders back as codes.
void CollectText(const xmlNode* parent, CodeIds& codes, bool isSource, std::u16string& out) {
  for (const xmlNode* n = parent->children; n; n = n->next) {
    if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE || n->type == XML_ENTITY_REF_NODE) {
      out += Content(n);
      continue;
    }
    if (n->type != XML_ELEMENT_NODE) continue;
    const std::string_view name = Name(n);
    const bool holdsCode = name == "ph" || name == "bpt" || name == "ept" || name == "it";
    const bool standsForCode = name == "x" || name == "bx" || name == "ex";
    if (holdsCode || standsForCode) {
      const std::u16string id = Prop(n, "id");
      std::u16string code = holdsCode ? Content(n) : std::u16string();
      if (code.empty()) {
        auto found = codes.find(id);
        if (found != codes.end()) code = found->second;
      } else if (isSource) {
        codes.emplace(id, code);
      }
      out += code;
    } else {
      CollectText(n, codes, isSource, out);
    }
  }
}

const xmlNode* Child(const xmlNode* parent, std::string_view name) {
  for (const xmlNode* n = parent->children; n; n = n->next)
    if (n->type == XML_ELEMENT_NODE && Name(n) == name) return n;
  return nullptr;
}

EntryState StateOf(const xmlNode* target, const std::u16string& text) {
  if (!target) return EntryState::Untranslated;
  const std::u16string state = Prop(target, "state");
  if (StartsWith(state, u"needs-review")) return EntryState::Fuzzy;
  if (state == u"new" || StartsWith(state, u"needs-")) return EntryState::Untranslated;
  return StateOfTarget(text);
}

struct Walk {
  InterchangeRead& read;
  std::unordered_set<std::u16string> ids;
};

void ReadUnit(const xmlNode* unit, Walk& walk) {
  const auto line = static_cast<std::size_t>(xmlGetLineNo(unit));
  if (!HasProp(unit, "id")) {
    walk.read.fault = InterchangeFault{line, u"trans-unit без id"};
    return;
  }
  InterchangeEntry e;
  e.id = Prop(unit, "id");
  if (!walk.ids.insert(e.id).second) {
    walk.read.fault = InterchangeFault{line, u"id " + e.id + u" повторяется"};
    return;
  }
  CodeIds codes;
  if (const xmlNode* source = Child(unit, "source")) CollectText(source, codes, true, e.source);
  const xmlNode* target = Child(unit, "target");
  if (target) CollectText(target, codes, false, e.target);
  e.source = LfToCrLf(e.source);
  e.target = LfToCrLf(e.target);
  e.state = StateOf(target, e.target);
  for (const xmlNode* n = unit->children; n; n = n->next) {
    if (n->type != XML_ELEMENT_NODE) continue;
    if (Name(n) == "note") {
      if (!e.comment.empty()) e.comment += kCrLf;
      e.comment += LfToCrLf(Content(n));
    } else if (Name(n) == "context-group") {
      for (const xmlNode* c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && Name(c) == "context" && Prop(c, "context-type") == u"x-rom-address")
          e.address = Content(c);
    }
  }
  walk.read.entries.push_back(std::move(e));
}

// Trans-units may stand in <group> elements at any depth.
void WalkUnits(const xmlNode* parent, Walk& walk) {
  for (const xmlNode* n = parent->children; n && !walk.read.fault; n = n->next) {
    if (n->type != XML_ELEMENT_NODE) continue;
    if (Name(n) == "trans-unit")
      ReadUnit(n, walk);
    else
      WalkUnits(n, walk);
  }
}

// The parser goes on after some errors and keeps only the last: the first
// is the one that names the line to fix. userData is the parser context.
void KeepFirstError(void* userData, xmlErrorPtr error) {
  auto* context = static_cast<xmlParserCtxt*>(userData);
  auto* first = static_cast<std::optional<InterchangeFault>*>(context->_private);
  if (!first || *first || !error || error->level < XML_ERR_ERROR) return;
  std::u16string text = error->message ? FromUtf8(error->message) : u"XML не разобран";
  while (!text.empty() && (text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  *first = InterchangeFault{static_cast<std::size_t>(std::max(error->line, 0)), std::move(text)};
}

struct DocFree {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
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
      "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n  <file original=\"";
  AppendXml(out, original, true);
  out += "\" source-language=\"";
  out += languages.source;
  out += "\" target-language=\"";
  out += languages.target;
  out += "\" datatype=\"plaintext\">\n    <body>\n";
  std::vector<std::pair<std::u16string_view, int>> ids;
  for (const InterchangeEntry& e : entries) {
    for (std::u16string_view text :
         {std::u16string_view(e.id), std::u16string_view(e.address), std::u16string_view(e.source),
          std::u16string_view(e.target), std::u16string_view(e.comment)})
      if (!XmlCarries(text)) {
        if (badId) *badId = e.id;
        return std::nullopt;
      }
    out += "      <trans-unit id=\"";
    AppendXml(out, e.id, true);
    out += "\" xml:space=\"preserve\">\n        <source>";
    ids.clear();
    AppendWithPlaceholders(out, e.source, ids, true);
    out += "</source>\n        <target state=\"";
    out += e.state == EntryState::Translated ? "translated"
           : e.state == EntryState::Fuzzy    ? "needs-review-translation"
                                             : "needs-translation";
    out += "\">";
    AppendWithPlaceholders(out, e.target, ids, false);
    out += "</target>\n";
    if (!e.comment.empty()) {
      out += "        <note>";
      AppendXml(out, e.comment, false);
      out += "</note>\n";
    }
    if (!e.address.empty()) {
      out += "        <context-group purpose=\"location\"><context context-type=\"x-rom-address\">";
      AppendXml(out, e.address, false);
      out += "</context></context-group>\n";
    }
    out += "      </trans-unit>\n";
  }
  out += "    </body>\n  </file>\n</xliff>\n";
  return out;
}

InterchangeRead ParseXliff(std::string_view bytes) {
  InterchangeRead read;
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    read.fault = InterchangeFault{0, u"файл слишком велик"};
    return read;
  }
  std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
  if (!context) {
    read.fault = InterchangeFault{0, u"не хватило памяти для разбора XML"};
    return read;
  }
  std::optional<InterchangeFault> firstError;
  context->_private = &firstError;
  context->sax->serror = KeepFirstError;
  // No DTD loading, no network, no messages on the standard error.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;
  std::unique_ptr<xmlDoc, DocFree> doc(
      xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
  if (!doc || !context->wellFormed || firstError) {
    read.fault = firstError ? *firstError : InterchangeFault{0, u"XML не разобран"};
    return read;
  }
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  if (!root || Name(root) != "xliff") {
    read.fault = InterchangeFault{root ? static_cast<std::size_t>(xmlGetLineNo(root)) : 1, u"это не XLIFF"};
    return read;
  }
  Walk walk{read, {}};
  WalkUnits(root, walk);
  if (read.fault) read.entries.clear();
  return read;
}

}  // namespace vorkat
