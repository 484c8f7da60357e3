// The encoder's lookup list: table texts sorted longest first, with a hash
// from text to its first slot so that a lookup costs one probe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

struct EncoderIndexSlot {
  std::int32_t code = 0;
  std::u16string text;
  std::int32_t length = 0;  // 0 for a left-over slot, which never matches
};

struct EncoderIndex {
  // Exactly max(tokenCount, non-empty entries) slots, in the order the
  // length sort leaves them; that order decides which of two codes with the
  // same text is used.
  std::vector<EncoderIndexSlot> slots;
  bool built = false;
  std::uint64_t revision = 0;  // the table revision it was built from
  std::size_t maxLength = 0;   // longest text in the index

  // Code of the first slot whose text equals `text`, or -1.
  std::int32_t Find(std::u16string_view text) const;

  // Filled by BuildEncoderIndex (codec/encoder.h).
  std::vector<std::int32_t> singleChar;  // 65,536 codes or -1: one-character texts
  std::vector<std::int32_t> buckets;     // open addressing: slot number + 1, 0 = free
  std::size_t bucketMask = 0;
};

}  // namespace vorkat
