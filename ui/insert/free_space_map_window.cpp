#include "ui/insert/free_space_map_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/runtime.h"
#include "ui/insert/free_space_bar.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {

FreeSpaceMapForm::FreeSpaceMapForm(AppState& state, QWidget* parent) : StateWindow(parent), state_(state) {
  setObjectName(QStringLiteral("FreeSpaceMap"));
  setWindowTitle(QStringLiteral("Карта свободного места"));
  bar_ = new FreeSpaceBar(state_, this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("lblFreeSpaceSummary"));
  summary_->setWordWrap(true);
  outside_ = new QLabel(this);
  outside_->setObjectName(QStringLiteral("lblOutsideSpace"));
  outside_->setStyleSheet(QStringLiteral("QLabel { color: rgb(255, 0, 0); }"));
  outside_->setWordWrap(true);
  auto* refresh = Button(this, "btnRefreshMap", QStringLiteral("Обновить"));
  auto* close = Button(this, "btnClose", QStringLiteral("Закрыть"));
  auto* buttons = ButtonRow({}, {refresh, close});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bar_);
  layout->addWidget(summary_);
  layout->addWidget(outside_);
  layout->addLayout(buttons);
  connect(refresh, &QPushButton::clicked, this, &FreeSpaceMapForm::LoadFields);
  connect(close, &QPushButton::clicked, this, &QWidget::hide);
}

void FreeSpaceMapForm::LoadFields() {
  bar_->SetLayout(nullptr);
  layout_ = FreeSpaceLayout{};
  outside_->clear();
  if (!state_.table.isLoaded || !state_.dialogs.isLoaded) {
    summary_->setText(QStringLiteral("Нужны загруженные таблица и диалоги"));
    return;
  }
  // The dry run lets the window run; other commands wait for it.
  RunCommand(state_, [&] {
    layout_ = PlanFreeSpace(state_);
    bar_->SetLayout(&layout_);
    summary_->setText(ToQ(FreeSpaceTotalsText(layout_) +
                          (layout_.dryRun ? u" — пробный расчет, ничего не изменено" : u" — последний расчет")));
    outside_->setText(ToQ(OutsideSpaceText(state_, layout_)));
  });
}

}  // namespace vorkat::ui
