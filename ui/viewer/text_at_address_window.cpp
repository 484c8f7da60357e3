#include "ui/viewer/text_at_address_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/runtime.h"
#include "insert/insert_dialogs.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

VorkatTextForm::VorkatTextForm(AppState& state, std::int32_t address, QWidget* parent)
    : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("VorkatTextForm"));
  setWindowTitle(QStringLiteral("Положить текст по адресу"));
  address_ = NumberField(this, "fldAddressToVorkat");
  address_->setText(Decimal(address));
  text_ = TextField(this, "Text1");
  text_->setMinimumWidth(320);
  useTable_ = new QCheckBox(QStringLiteral("Использовать таблицу перекодировки"), this);
  useTable_->setObjectName(QStringLiteral("CheckUseTbl"));
  useTable_->setChecked(state_.table.isLoaded);
  auto* ok = Button(this, "btnOk", QStringLiteral("Вставить"));
  auto* cancel = Button(this, "btnCancel", QStringLiteral("Отмена"));
  ok->setDefault(true);

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Положить текст по адресу"), address_);
  AddRow(grid, QStringLiteral("Текст"), text_);
  auto* buttons = ButtonRow({}, {ok, cancel});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(useTable_);
  layout->addLayout(buttons);
  text_->setFocus();

  connect(ok, &QPushButton::clicked, this, &VorkatTextForm::Insert);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void VorkatTextForm::Insert() {
  std::u16string text = FromQ(text_->text());
  if (text.empty()) return;
  const auto typed = FieldNumber(state_.ctx, address_);
  if (!typed) return;
  std::int32_t offset = *typed;
  // Without a table the text would not be written at all: say so and stay.
  if (useTable_->isChecked() && !RequireTable(state_)) return;
  // Not RunCommand: this window lives only while the viewer shows it modally
  // (which is refused while busy), and a busy yield would leave it in the
  // main window's list of windows to enable again after it is gone.
  RunGuarded(state_, [&] { InsertDataBlock(state_, text, offset, useTable_->isChecked()); });
  accept();
}

}  // namespace vorkat::ui
