#include "ui/insert/pointer_recalc_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/state.h"
#include "core/numbers.h"
#include "core/text.h"
#include "insert/in_place.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "ui/insert/free_space_map_window.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {
RecalcPtrsForm::RecalcPtrsForm(AppState& state, QWidget* parent) : StateWindow(parent), state_(state) {
  setObjectName(QStringLiteral("RecalcPtrsandInsert"));
  setWindowTitle(QStringLiteral("Разложить диалоги по ROM'у"));

  start_ = NumberField(this, "fldFreeSpaceStartAddr");
  end_ = NumberField(this, "fldFreeSpaceEndAddr");
  align_ = NumberField(this, "fldAllignBy");
  gap_ = NumberField(this, "fldDialogsAutoGapBytes");
  freeSize_ = new QLabel(this);
  freeSize_->setObjectName(QStringLiteral("lblwinsize"));
  auto* suggest = Button(this, "Command1", QStringLiteral("Предложить ..."));
  auto* tillEnd = Button(this, "btnTillTheEnd", QStringLiteral("До конца ROM'а"));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Адрес начала 'свободного' места в ROM"), start_, suggest);
  AddRow(grid, QStringLiteral("Адрес конца 'свободного' места в ROM"), end_, tillEnd);
  AddRow(grid, QStringLiteral("Итого получается, что свободно (байт)"), freeSize_);
  AddRow(grid, QStringLiteral("Выравнивать новые адреса диалогов по модулю"), align_,
         new QLabel(QStringLiteral("(0 = не выравнивать/2/4/8)"), this));
  AddRow(grid, QStringLiteral("При расчете новых адресов указателей делать отступ в"), gap_,
         new QLabel(QStringLiteral("байт (между соседними диалогами)"), this));

  mod4_ = new QCheckBox(QStringLiteral("Нужна MOD4 проверка, при исправлении указателей ?"), this);
  mod4_->setObjectName(QStringLiteral("fldMod4Check"));
  createLogs_ = new QCheckBox(QStringLiteral("Нужно ли создавать спец. файл протокола исправлений ?"), this);
  createLogs_->setObjectName(QStringLiteral("fldCreateInsertionLogs"));
  logName_ = new QLabel(this);
  logName_->setObjectName(QStringLiteral("lblLogFileName"));
  inPlace_ = new QCheckBox(QStringLiteral("вставлять на место, если помещается"), this);
  inPlace_->setObjectName(QStringLiteral("fldInPlace"));
  padByte_ = TextField(this, "fldPadByte");
  padByte_->setMaxLength(4);
  padByte_->setMaximumWidth(48);
  auto* padRow = new QHBoxLayout;
  padRow->addWidget(inPlace_);
  auto* padLabel = new QLabel(QStringLiteral("остаток заполнять байтом (hex)"), this);
  padLabel->setBuddy(padByte_);
  padRow->addWidget(padLabel);
  padRow->addWidget(padByte_);
  padRow->addStretch();

  auto* ok = Button(this, "btnOK", QStringLiteral("Продолжить"));
  auto* cancel = Button(this, "btnCancel", QStringLiteral("Отмена"));
  auto* map = Button(this, "btnFreeSpaceMap", QStringLiteral("Карта свободного места..."));
  auto* buttons = ButtonRow({map}, {ok, cancel});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(mod4_);
  layout->addWidget(createLogs_);
  layout->addWidget(logName_);
  layout->addLayout(padRow);
  layout->addLayout(buttons);

  // Enter in a field must not start an insertion.
  for (QPushButton* button : {suggest, tillEnd, ok, cancel, map}) button->setAutoDefault(false);

  for (QLineEdit* field : {start_, end_, align_, gap_})
    connect(field, &QLineEdit::textChanged, this, [this, field] { FieldChanged(field); });
  connect(mod4_, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) state_.insertion.CheckByMod4 = on;
  });
  connect(createLogs_, &QCheckBox::toggled, this, &RecalcPtrsForm::CreateLogsToggled);
  connect(inPlace_, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) state_.insertOptions.InPlace = on;
  });
  connect(padByte_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading_) return;
    const std::optional<std::uint8_t> pad = ParsePadByte(FromQ(text));
    padByte_->setStyleSheet(pad ? QString() : QStringLiteral("QLineEdit { background: #FFD0D0; }"));
    if (pad) state_.insertOptions.PadByte = *pad;
  });
  connect(suggest, &QPushButton::clicked, this, &RecalcPtrsForm::Suggest);
  connect(tillEnd, &QPushButton::clicked, this, &RecalcPtrsForm::TillTheEnd);
  connect(ok, &QPushButton::clicked, this, &RecalcPtrsForm::Continue);
  connect(cancel, &QPushButton::clicked, this, &RecalcPtrsForm::Cancel);
  connect(map, &QPushButton::clicked, this,
          [this] { OpenOrRaise<FreeSpaceMapForm>(parentWidget() ? parentWidget() : this, state_, "FreeSpaceMap"); });
}

void RecalcPtrsForm::LoadFields() {
  loading_ = true;
  const InsertionParams& p = state_.insertion;
  start_->setText(Decimal(p.FreeSpaceStartAddr));
  end_->setText(Decimal(p.FreeSpaceEndAddr));
  align_->setText(Decimal(p.AddressAlignBy));
  gap_->setText(Decimal(p.DialogsAutoGapBytes));
  mod4_->setChecked(p.CheckByMod4);
  createLogs_->setChecked(state_.insertOptions.CreateInsertionLogs);
  inPlace_->setChecked(state_.insertOptions.InPlace);
  padByte_->setText(ToQ(HexText(state_.insertOptions.PadByte, 2)));
  padByte_->setStyleSheet(QString());
  logName_->setText(state_.insertOptions.CreateInsertionLogs ? ToQ(InsertionLogName(state_)) : QString());
  for (QLineEdit* field : {start_, end_, align_, gap_}) field->setStyleSheet(QString());
  loading_ = false;
  RefreshFreeSize();
}

void RecalcPtrsForm::FieldChanged(QLineEdit* field) {
  if (loading_) return;
  InsertionParams& p = state_.insertion;
  // A text that is no number (yet) changes nothing; "Продолжить" refuses it aloud.
  const std::optional<std::int32_t> typed = TypedNumber(field);
  field->setStyleSheet(typed ? QString() : QStringLiteral("QLineEdit { background: #FFD0D0; }"));
  if (!typed) return;
  const std::int32_t value = *typed;
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
  RefreshFreeSize();
}

void RecalcPtrsForm::CreateLogsToggled(bool on) {
  if (loading_) return;
  state_.insertOptions.CreateInsertionLogs = on;
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
  // The padding at the ROM's end: an end outside the ROM, or not after the start, becomes the ROM's end.
  const std::int32_t start = SuggestFreeSpaceStart(state_.rom);
  start_->setText(Decimal(start));
  const std::int32_t end = state_.insertion.FreeSpaceEndAddr;
  if (end <= start || end > state_.rom.size()) end_->setText(Decimal(state_.rom.size()));
  RefreshFreeSize();
}

void RecalcPtrsForm::TillTheEnd() {
  if (!RequireRom(state_)) {
    MsgBox(state_, u"ROM еще не загружен");
    return;
  }
  end_->setText(Decimal(state_.rom.size()));
  RefreshFreeSize();
}

void RecalcPtrsForm::Continue() {
  for (const QLineEdit* field : {start_, end_, align_, gap_})
    if (!FieldNumber(state_.ctx, field)) return;
  // The field keeps the last byte it read: an empty or wrong one would pad with that without a word.
  if (inPlace_->isChecked() && !ParsePadByte(FromQ(padByte_->text()))) {
    const std::u16string refusal = u"Поле \"" + FromQ(FieldCaption(padByte_)) + u"\": \"" + FromQ(padByte_->text()) +
                                   u"\" не байт (две шестнадцатеричные цифры)";
    AppendLog(state_, refusal, kColourBrightRed);
    MsgBox(state_, refusal, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  hide();
  if (state_.dialogs.isLoaded && !ConfirmPointerFormat(state_)) {
    LoadFields();
    return;
  }
  if (state_.dialogs.isLoaded) {
    // Other commands wait until both steps are done, also between them.
    RunCommand(state_, [&] {
      CalcNewAddresses(state_);
      InsertDialogs(state_);
    });
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
