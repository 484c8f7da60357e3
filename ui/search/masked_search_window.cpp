#include "ui/search/masked_search_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/runtime.h"
#include "search/masked_search.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"
#include "ui/viewer/rom_viewer_window.h"

namespace vorkat::ui {

MaskedSrchForm::MaskedSrchForm(AppState& state, QWidget* parent) : StateWindow(parent), state_(state) {
  setObjectName(QStringLiteral("MaskedSrchForm"));
  setWindowTitle(QStringLiteral("Поиск последовательности байт в ROM"));

  text_ = TextField(this, "TextFld");
  hex_ = TextField(this, "HexFld");
  useTable_ = new QCheckBox(QStringLiteral("Использовать таблицу перекодировки"), this);
  useTable_->setObjectName(QStringLiteral("chkUseTrTable"));
  clearJumps_ = new QCheckBox(QStringLiteral("Очищать список адресов для прыга в hex-гляделке"), this);
  clearJumps_->setObjectName(QStringLiteral("chkClearJumpList"));
  run_ = Button(this, "RunBtn", QStringLiteral("Начать поиск"));
  auto* abort = Button(this, "AbortBtn", QStringLiteral("Прервать поиск"));
  auto* close = Button(this, "CloseBtn", QStringLiteral("Закрыть"));
  for (QPushButton* b : {run_, abort, close}) b->setAutoDefault(false);

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("TEXT, символ маски=*"), text_);
  AddRow(grid, QStringLiteral("HEX, символ маски=??"), hex_);
  auto* help1 = new QLabel(QStringLiteral("Если используется таблица перекодировки, то \"маскировка\" отключена, "
                                          "но можно руками вписать \"??\" в hex поле"),
                           this);
  help1->setWordWrap(true);
  auto* help2 = new QLabel(QStringLiteral("для поиска \"*\" в ROM, в поле HEX пишите код 2A"), this);
  hits_ = new QStringListModel(this);
  hitList_ = new QListView(this);
  hitList_->setObjectName(QStringLiteral("lstHits"));
  hitList_->setModel(hits_);
  hitList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  hitList_->setUniformItemSizes(true);
  auto* hitsLabel = new QLabel(QStringLiteral("Найдено (двойной щелчок - прыгнуть в hex-гляделке)"), this);
  hitsLabel->setBuddy(hitList_);
  auto* buttons = ButtonRow({run_, abort}, {close});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Введите строку для поиска"), this));
  layout->addLayout(grid);
  layout->addWidget(useTable_);
  layout->addWidget(clearJumps_);
  layout->addWidget(help1);
  layout->addWidget(help2);
  layout->addLayout(buttons);
  layout->addWidget(hitsLabel);
  layout->addWidget(hitList_, 1);

  connect(text_, &QLineEdit::textChanged, this, &MaskedSrchForm::TextChanged);
  connect(run_, &QPushButton::clicked, this, &MaskedSrchForm::Run);
  connect(hitList_, &QListView::activated, this, &MaskedSrchForm::JumpToHit);
  connect(abort, &QPushButton::clicked, this, [this] { state_.ctx.CancelRequested = true; });
  connect(close, &QPushButton::clicked, this, [this] {
    state_.ctx.CancelRequested = true;
    hide();
  });
}

void MaskedSrchForm::LoadFields() {
  state_.ctx.CancelRequested = false;
  useTable_->setEnabled(state_.table.isLoaded);
  useTable_->setChecked(state_.table.isLoaded);
  const bool viewer = VisibleViewer() != nullptr;
  clearJumps_->setVisible(viewer);
  clearJumps_->setEnabled(viewer);
  if (!viewer) clearJumps_->setChecked(false);
}

ROMView* MaskedSrchForm::VisibleViewer() const {
  auto* viewer = parentWidget() ? parentWidget()->findChild<ROMView*>(QStringLiteral("ROMView")) : nullptr;
  return viewer && viewer->isVisible() ? viewer : nullptr;
}

void MaskedSrchForm::TextChanged() {
  // The table's warnings about characters it lacks are said once, when the
  // search starts, not at every keystroke.
  LogMute mute(state_.ctx);
  hex_->setText(ToQ(SearchTextToHex(state_, FromQ(text_->text()), useTable_->isChecked())));
}

void MaskedSrchForm::JumpToHit(const QModelIndex& index) {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= hitOffsets_.size()) return;
  const std::int32_t offset = hitOffsets_[static_cast<std::size_t>(index.row())];
  if (!RequireRom(state_)) return;
  ROMView* viewer = OpenOrRaise<ROMView>(parentWidget(), state_, "ROMView");
  JumpToText(state_, viewer->model(), DecText(offset));
  viewer->Redraw();
}

void MaskedSrchForm::Run() {
  RunCommand(state_, [&] {
    ROMView* viewer = VisibleViewer();
    if (viewer && clearJumps_->isChecked()) viewer->model().jumpList.clear();
    const std::u16string pattern = FromQ(hex_->text());
    if (useTable_->isChecked() && !text_->text().isEmpty()) SearchTextToHex(state_, FromQ(text_->text()), true);
    std::vector<std::u16string> found;
    if (!pattern.empty()) {
      // The stop buttons of this window stay usable while the search yields;
      // the search's own guard gives the button back also when it runs out of memory.
      setProperty("staysEnabledWhileBusy", true);
      run_->setEnabled(false);
      RunGuarded(state_, [&] { SearchRomBytes(state_, pattern, &found); });
      run_->setEnabled(true);
      setProperty("staysEnabledWhileBusy", false);
    }
    ShowHits(found, pattern.size() / 2);
    if (viewer) {
      std::vector<std::u16string>& jumps = viewer->model().jumpList;
      for (std::size_t i = 0; i < found.size() && jumps.size() < kJumpListLimit; ++i) jumps.push_back(found[i]);
      viewer->JumpListChanged();
    }
  });
}

void MaskedSrchForm::ShowHits(const std::vector<std::u16string>& found, std::size_t length) {
  hitOffsets_.clear();
  QStringList lines;
  const std::span<const std::uint8_t> rom = state_.rom.view();
  for (const std::u16string& offsetText : found) {
    const std::int32_t offset = ReadInt(offsetText);
    if (offset < 0 || static_cast<std::size_t>(offset) >= rom.size()) continue;
    hitOffsets_.push_back(offset);
    const auto at = static_cast<std::size_t>(offset);
    lines << ToQ(SearchHitLine(offset, rom.subspan(at, std::min(length, rom.size() - at))));
  }
  hits_->setStringList(lines);
}

}  // namespace vorkat::ui
