// Keeps a warning that repeats within one operation from flooding the log:
// the first occurrences are logged, the rest only counted, and one line at
// the end of the operation gives their number. A dialog of 200,000 unknown
// characters would otherwise write more than half a million lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorkat {

struct Context;

class WarningLimit {
 public:
  static constexpr std::size_t kShown = 100;

  // `what` names the warning in the closing line; it must outlive the limit
  // (a string literal).
  explicit WarningLimit(std::u16string_view what, std::size_t shown = kShown) : what_(what), shown_(shown) {}

  // Counts one occurrence; true while it is still to be logged.
  bool Allow() { return ++count_ <= shown_; }

  std::size_t count() const { return count_; }
  std::size_t hidden() const { return count_ > shown_ ? count_ - shown_ : 0; }

  // When occurrences were left out: one line with their number, in `colour`.
  // Counting then starts again, so the next operation has its own limit.
  void Summarise(Context& ctx, std::uint32_t colour) {
    if (count_ > shown_) LogHidden(ctx, colour);
    count_ = 0;
  }

 private:
  void LogHidden(Context& ctx, std::uint32_t colour) const;

  std::u16string_view what_;
  std::size_t shown_;
  std::size_t count_ = 0;
};

}  // namespace vorkat
