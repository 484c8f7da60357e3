#include "interchange/po_format.h"

#include <gettext-po.h>

#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <optional>

#include "core/text.h"
#include "interchange/text_forms.h"

namespace vorkat {
namespace {

// PO strings are C strings: a line break is "\n", a CR LF of the program is
// one "\n" (read back as CR LF), other control characters are escaped.
void AppendEscaped(std::string& out, std::string_view utf8) {
  for (char c : utf8) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          const auto v = static_cast<unsigned char>(c);
          out += '\\';
          out += static_cast<char>('0' + (v >> 6));
          out += static_cast<char>('0' + ((v >> 3) & 7));
          out += static_cast<char>('0' + (v & 7));
        } else {
          out += c;
        }
    }
  }
}

// A keyword and its string; a text with inner line breaks is written as
// gettext writes it, one line of the text per line of the file.
void AppendString(std::string& out, std::string_view keyword, std::u16string_view text) {
  const std::string utf8 = ToUtf8(ReplaceAll(text, kCrLf, u"\n"));
  out += keyword;
  const std::size_t firstBreak = utf8.find('\n');
  if (firstBreak == std::string::npos || firstBreak + 1 == utf8.size()) {
    out += " \"";
    AppendEscaped(out, utf8);
    out += "\"\n";
    return;
  }
  out += " \"\"\n";
  std::size_t start = 0;
  while (start < utf8.size()) {
    const std::size_t brk = utf8.find('\n', start);
    const std::size_t end = brk == std::string::npos ? utf8.size() : brk + 1;
    out += '"';
    AppendEscaped(out, std::string_view(utf8).substr(start, end - start));
    out += "\"\n";
    start = end;
  }
}

// Each line of a comment as one "#." line.
void AppendComment(std::string& out, std::u16string_view comment) {
  if (comment.empty()) return;
  const std::string utf8 = ToUtf8(ReplaceAll(comment, kCrLf, u"\n"));
  std::size_t start = 0;
  for (;;) {
    const std::size_t brk = utf8.find('\n', start);
    out += "#. ";
    out.append(utf8, start, brk == std::string::npos ? std::string::npos : brk - start);
    out += '\n';
    if (brk == std::string::npos) return;
    start = brk + 1;
  }
}

// libgettextpo's error handlers take no user data: the read in progress
// keeps its first error here, on its own thread.
thread_local std::optional<InterchangeFault>* currentFault = nullptr;
thread_local std::jmp_buf* fatalJump = nullptr;

void NoteFault(int severity, const char* fileName, std::size_t line, const char* text) {
  if (severity == PO_SEVERITY_WARNING || !currentFault || *currentFault) return;
  // The reader says (size_t)-1 when it knows no line; a name is given only
  // for faults inside the file.
  const std::size_t known = fileName && line != static_cast<std::size_t>(-1) ? line : 0;
  *currentFault = InterchangeFault{known, FromUtf8(text ? text : "")};
}

void OnError(int severity, po_message_t, const char* fileName, std::size_t line, std::size_t, int, const char* text) {
  NoteFault(severity, fileName, line, text);
  // A fatal error must not return into the reader.
  if (severity == PO_SEVERITY_FATAL_ERROR && fatalJump) std::longjmp(*fatalJump, 1);
}

void OnError2(int severity, po_message_t, const char* fileName, std::size_t line, std::size_t, int, const char* text,
              po_message_t, const char*, std::size_t, std::size_t, int, const char*) {
  OnError(severity, nullptr, fileName, line, 0, 0, text);
}

// No object with a destructor lives between the setjmp and the reader.
po_file_t ReadGuarded(const char* path) {
  static const po_xerror_handler handler = {OnError, OnError2};
  std::jmp_buf jump;
  fatalJump = &jump;
  if (setjmp(jump) != 0) {
    fatalJump = nullptr;
    return nullptr;
  }
  po_file_t file = po_file_read(path, &handler);
  fatalJump = nullptr;
  return file;
}

struct PoFileFree {
  void operator()(po_file_t f) const { po_file_free(f); }
};
struct IteratorFree {
  void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};

// gettext reads a file that names its character set one character at a
// time through iconv, UTF-8 to UTF-8, which costs more than all the rest of
// the reading. The bytes are checked as UTF-8 here in one pass instead, and
// gettext gets a copy whose header names no character set ("CHARSET", as in
// a template), so it takes the bytes as they are.
struct Prepared {
  std::string bytes;
  std::optional<InterchangeFault> fault;
};

std::size_t LineAt(std::string_view bytes, std::size_t offset) {
  return 1 +
         static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

Prepared PrepareForGettext(std::string_view bytes) {
  Prepared out;
  if (const std::size_t bad = Utf8ErrorOffset(bytes); bad != std::string_view::npos) {
    out.fault = InterchangeFault{LineAt(bytes, bad), u"байты не в UTF-8"};
    return out;
  }
  out.bytes = std::string(bytes);
  // The header is the entry of `msgid ""` without a context, first in the
  // file; it ends at the first blank line.
  std::size_t start = 0;
  while (start < bytes.size() && (bytes[start] == '#' || bytes[start] == '\n' || bytes[start] == '\r')) {
    const std::size_t eol = bytes.find('\n', start);
    start = eol == std::string_view::npos ? bytes.size() : eol + 1;
  }
  if (bytes.substr(start, 9) != "msgid \"\"\n" && bytes.substr(start, 10) != "msgid \"\"\r\n") return out;
  const std::size_t end = std::min({bytes.find("\n\n", start), bytes.find("\n\r\n", start), bytes.size()});
  const std::size_t at = bytes.substr(0, end).find("charset=", start);
  if (at == std::string_view::npos) return out;
  std::size_t stop = at + 8;
  std::string charset;
  while (stop < end && std::string_view("\\\"; \r\n").find(bytes[stop]) == std::string_view::npos) {
    const char c = bytes[stop++];
    charset += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  if (charset != "UTF-8" && charset != "ASCII" && charset != "US-ASCII" && charset != "CHARSET") {
    out.fault =
        InterchangeFault{LineAt(bytes, at), u"кодировка " + FromUtf8(charset) + u" не поддерживается, нужна UTF-8"};
    return out;
  }
  out.bytes.replace(at + 8, stop - at - 8, "CHARSET");
  return out;
}

// gettext reads only from a named file: the bytes go to a temporary one.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string_view bytes) {
    std::string name = (std::filesystem::temp_directory_path() / "vorkat-po-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return;
    path_ = name;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ::ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ok_ = done == bytes.size();
    ::close(fd);
  }
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool ok_ = false;
};

std::u16string TextOf(const char* utf8) { return utf8 ? LfToCrLf(FromUtf8(utf8)) : std::u16string(); }

}  // namespace

std::string PoFileText(const std::vector<InterchangeEntry>& entries, std::string_view language,
                       std::u16string_view revisionDate) {
  std::string out;
  out.reserve(64 + entries.size() * 160);
  // Last-Translator and Language-Team are the platform's to fill in.
  out += "msgid \"\"\nmsgstr \"\"\n\"Project-Id-Version: Vorkat\\n\"\n\"PO-Revision-Date: ";
  out += ToUtf8(revisionDate);
  out += "\\n\"\n\"Last-Translator: \\n\"\n\"Language-Team: \\n\"\n\"Language: ";
  out += language;
  out +=
      "\\n\"\n\"MIME-Version: 1.0\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
      "\"Content-Transfer-Encoding: 8bit\\n\"\n\"X-Generator: Vorkat\\n\"\n";
  for (const InterchangeEntry& e : entries) {
    out += '\n';
    AppendComment(out, e.comment);
    if (!e.address.empty()) {
      out += "#: ";
      out += ToUtf8(e.address);
      out += '\n';
    }
    if (e.state == EntryState::Fuzzy) out += "#, fuzzy\n";
    AppendString(out, "msgctxt", e.id);
    AppendString(out, "msgid", e.source);
    AppendString(out, "msgstr", e.target);
  }
  return out;
}

InterchangeRead ParsePo(std::string_view bytes) {
  InterchangeRead read;
  Prepared prepared = PrepareForGettext(bytes);
  if (prepared.fault) {
    read.fault = std::move(prepared.fault);
    return read;
  }
  const TemporaryFile copy(prepared.bytes);
  prepared.bytes = std::string();
  if (!copy.ok()) {
    read.fault = InterchangeFault{0, u"не удалось записать временный файл для чтения PO"};
    return read;
  }
  std::optional<InterchangeFault> fault;
  currentFault = &fault;
  std::unique_ptr<po_file, PoFileFree> file(ReadGuarded(copy.path().c_str()));
  currentFault = nullptr;
  if (fault || !file) {
    read.fault = fault ? *fault : InterchangeFault{0, u"файл не прочитан"};
    return read;
  }
  for (const char* const* domain = po_file_domains(file.get()); domain && *domain; ++domain) {
    std::unique_ptr<struct po_message_iterator, IteratorFree> it(po_message_iterator(file.get(), *domain));
    while (po_message_t m = po_next_message(it.get())) {
      if (po_message_is_obsolete(m)) continue;
      const char* context = po_message_msgctxt(m);
      const char* msgid = po_message_msgid(m);
      if (!context && msgid && !*msgid) continue;  // the header
      const char* msgstr = po_message_msgid_plural(m) ? po_message_msgstr_plural(m, 0) : po_message_msgstr(m);
      InterchangeEntry e;
      e.id = TextOf(context);
      e.source = TextOf(msgid);
      e.target = TextOf(msgstr);
      if (const char* c = po_message_extracted_comments(m); c && *c) {
        std::u16string comment = LfToCrLf(FromUtf8(c));
        // The reader ends every comment line with a line break.
        if (StartsWith(std::u16string_view(comment).substr(comment.size() - 2), kCrLf))
          comment.resize(comment.size() - 2);
        e.comment = std::move(comment);
      }
      if (po_filepos_t pos = po_message_filepos(m, 0)) e.address = FromUtf8(po_filepos_file(pos));
      e.state = po_message_is_fuzzy(m) ? EntryState::Fuzzy : StateOfTarget(e.target);
      read.entries.push_back(std::move(e));
    }
  }
  return read;
}

}  // namespace vorkat
