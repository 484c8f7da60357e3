#include "ui/insert/offset_format_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/pointer_format.h"
#include "insert/address_forms.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {

OffsetFormatForm::OffsetFormatForm(AppState& state, QWidget* parent) : StateWindow(parent), state_(state) {
  setObjectName(QStringLiteral("OffsetPointerFormat"));
  setWindowTitle(QStringLiteral("Указатели-смещения"));
  width_ = new QComboBox(this);
  width_->setObjectName(QStringLiteral("fldPtrWidth"));
  for (int w : {2, 3, 4}) width_->addItem(QString::number(w), w);
  base_ = NumberField(this, "fldPtrBase");
  bigEndian_ = new QCheckBox(QStringLiteral("Старший байт первым (big-endian)"), this);
  bigEndian_->setObjectName(QStringLiteral("fldPtrBigEndian"));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Ширина указателя (байт)"), width_);
  AddRow(grid, QStringLiteral("База: указатель = адрес текста - база"), base_,
         new QLabel(QStringLiteral("(начало таблицы, банка или 0)"), this));
  auto* ok = Button(this, "btnOK", QStringLiteral("Выбрать"));
  auto* cancel = Button(this, "btnCancel", QStringLiteral("Отмена"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(bigEndian_);
  layout->addLayout(ButtonRow({}, {ok, cancel}));
  connect(ok, &QPushButton::clicked, this, &OffsetFormatForm::Choose);
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

void OffsetFormatForm::LoadFields() {
  PointerFormat f = state_.ctx.settings.PtrFormat;
  if (!IsOffsetFormat(f)) f = PointerFormat::Offset(2, 0, false);
  width_->setCurrentIndex(width_->findData(static_cast<int>(f.width)));
  base_->setText(Decimal(f.base));
  bigEndian_->setChecked(f.bigEndian);
}

void OffsetFormatForm::Choose() {
  const std::optional<std::int32_t> base = FieldNumber(state_.ctx, base_);
  if (!base) return;
  if (*base < 0) {
    const std::u16string refusal =
        u"Поле \"" + FromQ(FieldCaption(base_)) + u"\": база не может быть отрицательной (" + DecText(*base) + u")";
    AppendLog(state_, refusal, kColourBrightRed);
    MsgBox(state_, refusal, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  const PointerFormat format = PointerFormat::Offset(width_->currentData().toInt(), *base, bigEndian_->isChecked());
  const bool done = RunCommand(state_, [&] { SetPointerFormat(state_, PointerFormatName(format)); });
  if (!done) {
    QApplication::beep();
    return;
  }
  // A refused choice (a negative base) keeps the window open, also over an earlier offset format.
  if (state_.ctx.settings.PtrFormat == format) hide();
}

}  // namespace vorkat::ui
