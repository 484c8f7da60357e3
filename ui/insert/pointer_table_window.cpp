#include "ui/insert/pointer_table_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/pointer_format.h"
#include "core/rom.h"
#include "core/text.h"
#include "insert/pointer_table.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {

PointerTableForm::PointerTableForm(AppState& state, QWidget* parent) : StateWindow(parent), state_(state) {
  setObjectName(QStringLiteral("PointerTableForm"));
  setWindowTitle(QStringLiteral("Таблица указателей"));
  start_ = NumberField(this, "fldTableStart");
  count_ = NumberField(this, "fldTableCount");
  stride_ = NumberField(this, "fldTableStride");
  report_ = TextField(this, "fldTableReport");
  format_ = new QLabel(this);
  format_->setObjectName(QStringLiteral("lblPointerFormat"));
  auto* browse = Button(this, "btnTableReport", QStringLiteral("..."));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Начало таблицы в ROM"), start_);
  AddRow(grid, QStringLiteral("Число записей"), count_);
  AddRow(grid, QStringLiteral("Шаг записей (байт)"), stride_);
  AddRow(grid, QStringLiteral("Файл с указателями"), report_, browse);
  AddRow(grid, QStringLiteral("Формат указателей"), format_);
  auto* read = Button(this, "btnReadTable", QStringLiteral("Прочитать таблицу"));
  auto* close = Button(this, "btnCancel", QStringLiteral("Закрыть"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(ButtonRow({}, {read, close}));
  for (QPushButton* button : {browse, read, close}) button->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, &PointerTableForm::Browse);
  connect(read, &QPushButton::clicked, this, &PointerTableForm::Read);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void PointerTableForm::LoadFields() {
  format_->setText(ToQ(PointerFormatName(state_.ctx.settings.PtrFormat)));
  if (stride_->text().isEmpty()) stride_->setText(Decimal(PointerWidth(state_.ctx.settings.PtrFormat)));
}

void PointerTableForm::Browse() {
  const std::u16string file = AskFileName(state_.ctx, true, u"Save pointers to file",
                                          u"Файл с указателями (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  if (!Trim(file).empty()) report_->setText(ToQ(file));
}

void PointerTableForm::Read() {
  const auto start = FieldNumber(state_.ctx, start_);
  const auto count = start ? FieldNumber(state_.ctx, count_) : std::nullopt;
  const auto stride = count ? FieldNumber(state_.ctx, stride_) : std::nullopt;
  if (!stride) return;
  if (Trim(FromQ(report_->text())).empty()) Browse();
  const std::u16string file = Trim(FromQ(report_->text()));
  if (file.empty()) return;
  if (!RunCommand(state_, [&] { DeclarePointerTable(state_, *start, *count, *stride, file); })) QApplication::beep();
}

}  // namespace vorkat::ui
