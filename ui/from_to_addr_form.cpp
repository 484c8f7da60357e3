#include "ui/from_to_addr_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "core/log.h"
#include "core/numbers.h"
#include "app/state.h"
#include "extract/scan_extract.h"
#include "ui/gui_host.h"

namespace vorkat::ui {
namespace {

QLineEdit* NumberField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  field->setMinimumWidth(140);
  return field;
}



}  // namespace

FromToAddrForm::FromToAddrForm(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("FromToAddrForm"));
  setWindowTitle(QStringLiteral("Вынимать текст из файла"));
  setModal(true);

  start_ = NumberField("fldStartAddr", this);
  end_ = NumberField("fldEndAddr", this);
  bytes_ = NumberField("fldBytesToDump", this);
  auto* whole = new QPushButton(QStringLiteral("Весь ROM пожалуйста"), this);
  whole->setObjectName(QStringLiteral("Command2"));
  whole->setAutoDefault(false);
  auto* extract = new QPushButton(QStringLiteral("Вынуть текст из ROM"), this);
  extract->setObjectName(QStringLiteral("Command1"));
  extract->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Начиная со смещения"), this), 0, 0);
  grid->addWidget(start_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Заканчивая смещением"), this), 1, 0);
  grid->addWidget(end_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Сколько байт"), this), 2, 0);
  grid->addWidget(bytes_, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(whole);
  buttons->addStretch();
  buttons->addWidget(extract);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(bytes_, &QLineEdit::editingFinished, this, &FromToAddrForm::ApplyBytesToDump);
  connect(whole, &QPushButton::clicked, this, &FromToAddrForm::WholeRom);
  connect(extract, &QPushButton::clicked, this, &FromToAddrForm::Extract);
  LoadFields();
}

void FromToAddrForm::LoadFields() {
  start_->setText(Decimal(state_.settings.StartExtrFromAddr));
  end_->setText(Decimal(state_.settings.EndExtrFromAddr));
}

void FromToAddrForm::ApplyBytesToDump() {
  const std::int32_t count = FieldNumber(bytes_);
  if (count < 1) return;
  // The stored start, not the text of the start field.
  const std::int64_t end = static_cast<std::int64_t>(state_.settings.StartExtrFromAddr) + count;
  state_.settings.EndExtrFromAddr = end > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(end);
  end_->setText(Decimal(state_.settings.EndExtrFromAddr));
}

void FromToAddrForm::WholeRom() {
  state_.settings.StartExtrFromAddr = 0;
  state_.settings.EndExtrFromAddr = state_.rom.size;
  LoadFields();
}

void FromToAddrForm::Extract() {
  ApplyBytesToDump();
  Settings& s = state_.settings;
  if (const std::int32_t start = FieldNumber(start_); start >= 0) s.StartExtrFromAddr = start;
  if (const std::int32_t end = FieldNumber(end_); end >= 0) s.EndExtrFromAddr = end;
  if (s.StartExtrFromAddr >= s.EndExtrFromAddr) {
    AppendLog(state_, u"Начальный адрес для вынимания не может быть больше конечного");
    return;
  }
  hide();
  QApplication::processEvents();
  ScanExtract(state_, s.StartExtrFromAddr, s.EndExtrFromAddr);
  LoadFields();
}

}  // namespace vorkat::ui
