#include "ui/search/masked_search_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/state.h"
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
  auto* buttons = ButtonRow({run_, abort}, {close});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Введите строку для поиска"), this));
  layout->addLayout(grid);
  layout->addWidget(useTable_);
  layout->addWidget(clearJumps_);
  layout->addWidget(help1);
  layout->addWidget(help2);
  layout->addLayout(buttons);

  connect(text_, &QLineEdit::textChanged, this, &MaskedSrchForm::TextChanged);
  connect(run_, &QPushButton::clicked, this, &MaskedSrchForm::Run);
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
  hex_->setText(ToQ(SearchTextToHex(state_, FromQ(text_->text()), useTable_->isChecked())));
}

void MaskedSrchForm::Run() {
  RunCommand(state_, [&] {
    ROMView* viewer = VisibleViewer();
    if (viewer && clearJumps_->isChecked()) viewer->model().jumpList.clear();
    const std::u16string pattern = FromQ(hex_->text());
    if (!pattern.empty()) {
      // The stop buttons of this window stay usable while the search yields;
      // the search's own guard gives the button back also when it runs out of memory.
      setProperty("staysEnabledWhileBusy", true);
      run_->setEnabled(false);
      RunGuarded(state_, [&] { SearchRomBytes(state_, pattern, viewer ? &viewer->model().jumpList : nullptr); });
      run_->setEnabled(true);
      setProperty("staysEnabledWhileBusy", false);
    }
    if (viewer) viewer->JumpListChanged();
  });
}

}  // namespace vorkat::ui
