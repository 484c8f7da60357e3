#include "viewer/block_ops.h"

#include <algorithm>

#include "codec/codec_state.h"
#include "codec/decoder.h"
#include "core/runtime.h"
#include "core/text.h"
#include "viewer/viewer_model.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kBinaryFilters = u"Двоичный файл (*.bin)|*.bin\r\nAll Files (*.*)|*.*";

void ReportEmptyBlock(CodecState state) {
  MsgBox(state, u"Выбранная длинна блока 0 байт", MsgButtons::Ok, MsgIcon::Error);
}

// The common start: a block of at least one byte, clamped to the ROM and
// stored back. False (with the message) when there is nothing to take.
bool TakeBlock(CodecState state, ViewerModel& view) {
  if (!RequireRom(state)) return false;
  if (view.BlockStart >= view.BlockEnd) {
    ReportEmptyBlock(state);
    return false;
  }
  view.BlockEnd = std::min(view.BlockEnd, state.rom.size() - 1);
  view.BlockStart = std::max(view.BlockStart, 0);
  // Bounds that both lay beyond the ROM's end leave nothing between them.
  if (view.BlockStart > view.BlockEnd) {
    ReportEmptyBlock(state);
    return false;
  }
  return true;
}

std::u16string BlockText(const ViewerModel& view) {
  return u"Блок начиная с адреса" + NumText(view.BlockStart) + u"(" +
         HexText(static_cast<std::uint32_t>(view.BlockStart)) + u")" + u" и заканчивая адресом" +
         NumText(view.BlockEnd) + u"(" + HexText(static_cast<std::uint32_t>(view.BlockEnd)) + u")";
}

void Announce(CodecState state, const std::u16string& text) {
  AppendLog(state, text);
  MsgBox(state, text);
}

std::u16string AskBinaryFile(CodecState state) {
  return Trim(AskFileName(state, true, u"Save block into binary file", kBinaryFilters));
}

std::span<const std::uint8_t> BlockBytes(CodecState state, const ViewerModel& view) {
  return state.rom.view().subspan(static_cast<std::size_t>(view.BlockStart),
                                  static_cast<std::size_t>(view.BlockEnd - view.BlockStart + 1));
}

bool Write(CodecState state, const std::u16string& name, std::span<const std::uint8_t> data) {
  IoError error;
  if (WriteFileAtomic(name, data, Backup::RotateBak, &error, state.ctx.writeFaults)) return true;
  AppendLog(state, IoErrorText(u"Не удалось записать файл ", name, error), kColourBrightRed);
  return false;
}

}  // namespace

void DumpBlockAsDialog(CodecState state, ViewerModel& view) {
  if (!TakeBlock(state, view)) return;
  if (!RequireTable(state)) return;
  // The record ends before BlockEnd: a block of one byte has nothing to decode
  // (and a range end of 0 would mean the whole ROM to the decoder).
  if (view.BlockStart == view.BlockEnd) {
    ReportEmptyBlock(state);
    return;
  }
  const std::u16string name =
      Trim(AskFileName(state, true, u"Save dialogs to file", u"Вынутый текст (*.txt)|*.txt\r\nAll Files (*.*)|*.*"));
  if (name.empty()) return;
  RecordOutput out = RecordOutput::ForSettings(state.ctx.settings);
  std::int32_t start = view.BlockStart, end = view.BlockEnd;
  DecodeRange(state, start, end, out);
  if (!out.Save(state, name)) return;
  Announce(state, BlockText(view) + u" записан в файл диалогов " + name);
}

void WriteBlockToFile(CodecState state, ViewerModel& view) {
  if (!TakeBlock(state, view)) return;
  const std::u16string name = AskBinaryFile(state);
  if (name.empty()) return;
  if (!Write(state, name, BlockBytes(state, view))) return;
  Announce(state, BlockText(view) + u" записан в двоичный файл " + name);
}

void AppendBlockToFile(CodecState state, ViewerModel& view) {
  if (!TakeBlock(state, view)) return;
  const std::u16string name = AskBinaryFile(state);
  if (name.empty()) return;
  Bytes data;
  if (FileExists(name)) {
    IoError error;
    auto old = ReadFileBytes(name, &error);
    if (!old) {
      AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", name, error), kColourBrightRed);
      return;
    }
    data = std::move(*old);
  }
  const std::span<const std::uint8_t> block = BlockBytes(state, view);
  data.insert(data.end(), block.begin(), block.end());
  // The whole file is written anew beside the old one and moved into place,
  // so a failed append leaves the old file as it was.
  if (!Write(state, name, data)) return;
  Announce(state, BlockText(view) + u" добавлен в двоичный файл " + name);
}

}  // namespace vorkat
