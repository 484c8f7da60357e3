#include "ui/search/relative_hits_model.h"

#include "core/core_state.h"
#include "core/text.h"
#include "search/draft_table.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {
namespace {

// Codes shown before and after the word in the preview.
constexpr std::size_t kPreviewAround = 12;

}  // namespace

RelativeHitsModel::RelativeHitsModel(CoreState state, QObject* parent) : QAbstractTableModel(parent), state_(state) {}

int RelativeHitsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(hits_.size());
}

int RelativeHitsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant RelativeHitsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || romGeneration_ != state_.rom.generation) return {};
  const RelativeHit& hit = Hit(index.row());
  switch (index.column()) {
    case 0: return ToQ(HexText(hit.offset));
    case 1: return ToQ(ImpliedCodesText(word_, hit.codes)).trimmed();
    default: {
      // Made when the row is drawn, from the ROM as it is now.
      const auto rom = state_.rom.view();
      return ToQ(DraftPreview(DraftFromHit(word_, rom, hit), word_.width, rom, hit.offset, word_.ByteLength(),
                              kPreviewAround));
    }
  }
}

QVariant RelativeHitsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  switch (section) {
    case 0: return QStringLiteral("Адрес");
    case 1: return QStringLiteral("Коды");
    default: return QStringLiteral("Текст по найденным кодам");
  }
}

void RelativeHitsModel::Show(std::u16string_view word, int width, std::vector<RelativeHit> hits) {
  beginResetModel();
  wordText_ = word;
  word_ = ReadRelativeWord(word, width);
  hits_ = std::move(hits);
  romGeneration_ = state_.rom.generation;
  endResetModel();
}

bool RelativeHitsModel::ForgetIfRomChanged() {
  if (romGeneration_ == state_.rom.generation || hits_.empty()) return false;
  beginResetModel();
  hits_.clear();
  endResetModel();
  return true;
}

}  // namespace vorkat::ui
