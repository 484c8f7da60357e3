#include "ui/recalc_ptrs_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "core/numbers.h"
#include "app/state.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "ui/gui_host.h"

namespace vorkat::ui {
namespace {

QLineEdit* NumberField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  field->setMaximumWidth(140);
  return field;
}



}  // namespace

RecalcPtrsForm::RecalcPtrsForm(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("RecalcPtrsandInsert"));
  setWindowTitle(QStringLiteral("Разложить диалоги по ROM'у"));

  start_ = NumberField("fldFreeSpaceStartAddr", this);
  end_ = NumberField("fldFreeSpaceEndAddr", this);
  align_ = NumberField("fldAllignBy", this);
  gap_ = NumberField("fldDialogsAutoGapBytes", this);
  freeSize_ = new QLabel(this);
  freeSize_->setObjectName(QStringLiteral("lblwinsize"));
  auto* suggest = new QPushButton(QStringLiteral("Предложить ..."), this);
  suggest->setObjectName(QStringLiteral("Command1"));
  auto* tillEnd = new QPushButton(QStringLiteral("До конца ROM'а"), this);
  tillEnd->setObjectName(QStringLiteral("btnTillTheEnd"));

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Адрес начала 'свободного' места в ROM"), this), 0, 0);
  grid->addWidget(start_, 0, 1);
  grid->addWidget(suggest, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Адрес конца 'свободного' места в ROM"), this), 1, 0);
  grid->addWidget(end_, 1, 1);
  grid->addWidget(tillEnd, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Итого получается, что свободно (байт)"), this), 2, 0);
  grid->addWidget(freeSize_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("Выравнивать новые адреса диалогов по модулю"), this), 3, 0);
  grid->addWidget(align_, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("(0 = не выравнивать/2/4/8)"), this), 3, 2);
  grid->addWidget(new QLabel(QStringLiteral("При расчете новых адресов указателей делать отступ в"), this), 4, 0);
  grid->addWidget(gap_, 4, 1);
  grid->addWidget(new QLabel(QStringLiteral("байт (между соседними диалогами)"), this), 4, 2);

  mod4_ = new QCheckBox(QStringLiteral("Нужна MOD4 проверка, при исправлении указателей ?"), this);
  mod4_->setObjectName(QStringLiteral("fldMod4Check"));
  createLogs_ = new QCheckBox(QStringLiteral("Нужно ли создавать спец. файл протокола исправлений ?"), this);
  createLogs_->setObjectName(QStringLiteral("fldCreateInsertionLogs"));
  logName_ = new QLabel(this);
  logName_->setObjectName(QStringLiteral("lblLogFileName"));

  auto* ok = new QPushButton(QStringLiteral("Продолжить"), this);
  ok->setObjectName(QStringLiteral("btnOK"));
  auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(mod4_);
  layout->addWidget(createLogs_);
  layout->addWidget(logName_);
  layout->addLayout(buttons);

  // Enter in a field must not start an insertion.
  for (QPushButton* button : {suggest, tillEnd, ok, cancel}) button->setAutoDefault(false);

  for (QLineEdit* field : {start_, end_, align_, gap_})
    connect(field, &QLineEdit::textChanged, this, [this, field] { FieldChanged(field); });
  connect(mod4_, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) state_.insertion.CheckByMod4 = on;
  });
  connect(createLogs_, &QCheckBox::toggled, this, &RecalcPtrsForm::CreateLogsToggled);
  connect(suggest, &QPushButton::clicked, this, &RecalcPtrsForm::Suggest);
  connect(tillEnd, &QPushButton::clicked, this, &RecalcPtrsForm::TillTheEnd);
  connect(ok, &QPushButton::clicked, this, &RecalcPtrsForm::Continue);
  connect(cancel, &QPushButton::clicked, this, &RecalcPtrsForm::Cancel);
  LoadFields();
}

void RecalcPtrsForm::showEvent(QShowEvent* event) {
  LoadFields();
  QDialog::showEvent(event);
}

void RecalcPtrsForm::LoadFields() {
  loading_ = true;
  const InsertionParams& p = state_.insertion;
  start_->setText(Decimal(p.FreeSpaceStartAddr));
  end_->setText(Decimal(p.FreeSpaceEndAddr));
  align_->setText(Decimal(p.AddressAlignBy));
  gap_->setText(Decimal(p.DialogsAutoGapBytes));
  mod4_->setChecked(p.CheckByMod4);
  createLogs_->setChecked(state_.CreateInsertionLogs);
  logName_->setText(state_.CreateInsertionLogs ? ToQ(InsertionLogName(state_)) : QString());
  loading_ = false;
  RefreshFreeSize();
}

void RecalcPtrsForm::FieldChanged(QLineEdit* field) {
  if (loading_) return;
  InsertionParams& p = state_.insertion;
  const std::int32_t value = FieldNumber(field);
  if (field == start_) {
    p.FreeSpaceStartAddr = value;
  } else if (field == end_) {
    p.FreeSpaceEndAddr = value;
  } else if (field == align_) {
    // Other positive values are left alone silently; a negative one is refused aloud.
    if (value < 0 || IsAcceptedAlignment(value)) SetAddressAlignBy(state_, value);
  } else if (field == gap_) {
    SetDialogsAutoGapBytes(state_, value);
  }
}

void RecalcPtrsForm::CreateLogsToggled(bool on) {
  if (loading_) return;
  state_.CreateInsertionLogs = on;
  logName_->setText(on ? ToQ(InsertionLogName(state_)) : QString());
}

void RecalcPtrsForm::RefreshFreeSize() {
  const InsertionParams& p = state_.insertion;
  freeSize_->setText(Decimal(static_cast<long long>(p.FreeSpaceEndAddr) - p.FreeSpaceStartAddr));
}

void RecalcPtrsForm::Suggest() {
  if (!RequireRom(state_)) {
    MsgBox(state_, u"ROM еще не загружен");
    return;
  }
  start_->setText(Decimal(SuggestFreeSpaceStart(state_.rom)));
  RefreshFreeSize();
}

void RecalcPtrsForm::TillTheEnd() {
  if (!RequireRom(state_)) {
    MsgBox(state_, u"ROM еще не загружен");
    return;
  }
  end_->setText(Decimal(state_.rom.size));
  RefreshFreeSize();
}

void RecalcPtrsForm::Continue() {
  hide();
  if (state_.dialogs.isLoaded) {
    // Other commands wait until both steps are done, also between them.
    ++state_.busy;
    CalcNewAddresses(state_);
    InsertDialogs(state_);
    --state_.busy;
  } else {
    AppendLog(state_, u"Диалоги еще не загружены");
  }
  LoadFields();
}

void RecalcPtrsForm::Cancel() {
  hide();
  LoadFields();
}

}  // namespace vorkat::ui
