#include "interchange/csv_format.h"

#include <array>
#include <optional>
#include <unordered_set>

#include "core/text.h"
#include "interchange/text_forms.h"

namespace vorkat {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

void AppendField(std::string& out, std::u16string_view text) {
  const std::string utf8 = ToUtf8(text);
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
    out += utf8;
    return;
  }
  out += '"';
  for (char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

struct Record {
  std::vector<std::u16string> fields;
  std::size_t line = 0;  // where the record starts
};

// Splits the text into records; a fault names the line it is on.
class CsvReader {
 public:
  CsvReader(std::u16string_view text, char16_t separator) : text_(text), separator_(separator) {}

  // False at the end of the text or on a fault (fault() then set).
  bool Next(Record& record) {
    record.fields.clear();
    if (pos_ >= text_.size()) return false;
    record.line = line_;
    for (;;) {
      std::u16string field;
      if (pos_ < text_.size() && text_[pos_] == u'"') {
        if (!Quoted(field)) return false;
      } else {
        while (pos_ < text_.size() && text_[pos_] != separator_ && text_[pos_] != u'\r' && text_[pos_] != u'\n') {
          if (text_[pos_] == u'"') return Fail(u"кавычка внутри поля без кавычек");
          field += text_[pos_++];
        }
      }
      record.fields.push_back(std::move(field));
      if (pos_ >= text_.size()) return true;
      if (text_[pos_] == separator_) {
        ++pos_;
        continue;
      }
      if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') ++pos_;
      if (text_[pos_] == u'\n' || text_[pos_] == u'\r') {
        ++pos_;
        ++line_;
        return true;
      }
      return Fail(u"после закрывающей кавычки нет разделителя");
    }
  }

  const std::optional<InterchangeFault>& fault() const { return fault_; }

 private:
  bool Quoted(std::u16string& field) {
    const std::size_t startLine = line_;
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size()) {
        line_ = startLine;
        return Fail(u"нет закрывающей кавычки");
      }
      const char16_t c = text_[pos_++];
      if (c == u'"') {
        if (pos_ < text_.size() && text_[pos_] == u'"') {
          field += u'"';
          ++pos_;
          continue;
        }
        return true;
      }
      if (c == u'\n') ++line_;
      field += c;
    }
  }

  bool Fail(std::u16string_view what) {
    fault_ = InterchangeFault{line_, std::u16string(what)};
    return false;
  }

  std::u16string_view text_;
  char16_t separator_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  std::optional<InterchangeFault> fault_;
};

// The first ',', ';' or tab of the first line outside quotes.
char16_t DetectSeparator(std::u16string_view text) {
  bool quoted = false;
  for (char16_t c : text) {
    if (c == u'"') quoted = !quoted;
    if (quoted) continue;
    if (c == u',' || c == u';' || c == u'\t') return c;
    if (c == u'\r' || c == u'\n') break;
  }
  return u',';
}

enum Column { kId, kAddress, kSource, kTarget, kComment, kColumns };
constexpr std::array<std::u16string_view, kColumns> kColumnNames = {u"id", u"address", u"source", u"target",
                                                                    u"comment"};

}  // namespace

std::string CsvFileText(const std::vector<InterchangeEntry>& entries) {
  std::string out(kBom);
  out.reserve(64 + entries.size() * 260);
  out += "id,address,source,target,comment\r\n";
  for (const InterchangeEntry& e : entries) {
    AppendField(out, e.id);
    out += ',';
    AppendField(out, e.address);
    out += ',';
    AppendField(out, e.source);
    out += ',';
    AppendField(out, e.target);
    out += ',';
    AppendField(out, e.comment);
    out += "\r\n";
  }
  return out;
}

InterchangeRead ParseCsv(std::string_view bytes) {
  InterchangeRead read;
  bool utf8 = true;
  if (bytes.substr(0, kBom.size()) == kBom)
    bytes.remove_prefix(kBom.size());
  else
    utf8 = IsValidUtf8(bytes);
  const std::u16string text = utf8 ? FromUtf8(bytes) : FromCp1251(bytes);

  CsvReader reader(text, DetectSeparator(text));
  Record record;
  std::array<std::optional<std::size_t>, kColumns> at{};
  if (!reader.Next(record)) {
    read.fault = reader.fault() ? *reader.fault() : InterchangeFault{1, u"в первой строке нет столбцов id и target"};
    return read;
  }
  {
    for (std::size_t i = 0; i < record.fields.size(); ++i)
      for (std::size_t c = 0; c < kColumns; ++c)
        if (!at[c] && EqualsNoCase(TrimBlanks(record.fields[i]), kColumnNames[c])) at[c] = i;
    if (!at[kId] || !at[kTarget]) {
      read.fault = InterchangeFault{1, u"в первой строке нет столбцов id и target"};
      return read;
    }
  }
  auto field = [&](Column c) {
    return at[c] && *at[c] < record.fields.size() ? LoneLfToCrLf(record.fields[*at[c]]) : std::u16string();
  };
  std::unordered_set<std::u16string> ids;
  while (!reader.fault() && reader.Next(record)) {
    if (record.fields.size() == 1 && record.fields[0].empty()) continue;  // an empty line
    InterchangeEntry e;
    e.id = field(kId);
    if (!ids.insert(e.id).second) {
      read.fault = InterchangeFault{record.line, u"id " + e.id + u" повторяется"};
      read.entries.clear();
      return read;
    }
    e.address = field(kAddress);
    e.source = field(kSource);
    e.target = field(kTarget);
    e.comment = field(kComment);
    e.state = StateOfTarget(e.target);
    read.entries.push_back(std::move(e));
  }
  if (reader.fault()) {
    read.fault = reader.fault();
    read.entries.clear();
  }
  return read;
}

}  // namespace vorkat
