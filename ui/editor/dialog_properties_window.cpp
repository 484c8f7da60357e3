#include "ui/editor/dialog_properties_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/file_io.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

DlgPropsForm::DlgPropsForm(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("DlgProps"));
  setWindowTitle(QStringLiteral("Свойства диалога"));

  id_ = TextField(this, "flddlgID");
  id_->setReadOnly(true);
  oldSize_ = NumberField(this, "fldOldDlgSize");
  newSize_ = NumberField(this, "fldNewDlgSize");
  extractedFrom_ = TextField(this, "fldExtractedFromAddr");
  newAddr_ = TextField(this, "fldNewDlgAddr");
  oldPtr_ = TextField(this, "fldOldPtrHEX");
  newPtr_ = TextField(this, "fldNewPtrHEX");
  doPtrChange_ = TextField(this, "fldDoPointerChange");
  doPtrTick_ = new QCheckBox(this);
  doPtrTick_->setAccessibleName(QStringLiteral("Заменять указатель при вставке этого диалога"));
  doPtrTick_->setObjectName(QStringLiteral("CheckfldDoPtChange"));
  listFile_ = TextField(this, "fldPtrsAddrListFile");
  auto* browse = Button(this, "btnBrowse", QStringLiteral("..."));
  browse->setAccessibleName(QStringLiteral("Выбрать файл со списком адресов указателей"));
  zones_ = TextField(this, "fldPtrsAddrZones");
  zones_->setToolTip(
      QStringLiteral("Указываются ПАРЫ адресов начало и конец зоны, разделитель двоеточие, если зон "
                     "несколько, их разделяем точкой с запятой."));
  comments_ = TextField(this, "flddlgComments");
  auto* recalc = Button(this, "LenReCalc", QStringLiteral("расчет"));
  update_ = Button(this, "btnUpdateDlgProps", QStringLiteral("Update"));
  update_->setEnabled(false);

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("ID диалога"), id_);
  AddRow(grid, QStringLiteral("Длинна текста (первоначальная)"), oldSize_);
  AddRow(grid, QStringLiteral("Длинна теста (текущая)"), newSize_, recalc);
  AddRow(grid, QStringLiteral("Адрес в ROM (откуда вынули)"), extractedFrom_);
  AddRow(grid, QStringLiteral("Адрес в ROM (куда будем вставлять)"), newAddr_);
  AddRow(grid, QStringLiteral("Оригинальный указатель (поинтер)"), oldPtr_);
  AddRow(grid, QStringLiteral("Новый указатель (поинтер)"), newPtr_);
  AddRow(grid, QStringLiteral("Заменять указатель при вставке этого диалога"), doPtrChange_, doPtrTick_);
  AddRow(grid, QStringLiteral("Файл со списком адресов 'правильных' указателей"), listFile_, browse);
  AddRow(grid, QStringLiteral("Зоны поиска указателей в роме для данного диалога"), zones_);
  AddRow(grid, QStringLiteral("Заметки"), comments_);

  auto* buttons = ButtonRow({}, {update_, CloseButton(this)});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  for (QPushButton* b : {browse, recalc, update_}) b->setAutoDefault(false);

  for (QLineEdit* f :
       {oldSize_, newSize_, extractedFrom_, newAddr_, oldPtr_, newPtr_, doPtrChange_, listFile_, zones_, comments_})
    connect(f, &QLineEdit::textChanged, this, &DlgPropsForm::UpdateCheck);
  connect(doPtrChange_, &QLineEdit::textChanged, this, &DlgPropsForm::PointerChangeTyped);
  connect(doPtrTick_, &QCheckBox::clicked, this, &DlgPropsForm::TickChanged);
  connect(browse, &QPushButton::clicked, this, &DlgPropsForm::Browse);
  connect(recalc, &QPushButton::clicked, this, &DlgPropsForm::LenReCalc);
  connect(update_, &QPushButton::clicked, this, &DlgPropsForm::UpdateDlgProps);
}

void DlgPropsForm::SetDialog(std::int32_t index) {
  selected_ = index;
  ShowDlg();
}

void DlgPropsForm::ShowDlg() {
  std::optional<DialogPropsFields> f = vorkat::ShowDlg(state_, selected_);
  if (!f) f = DialogPropsFields{};
  loading_ = true;
  id_->setText(ToQ(f->dlgID));
  oldSize_->setText(ToQ(f->OldDlgSize));
  newSize_->setText(ToQ(f->NewDlgSize));
  extractedFrom_->setText(ToQ(f->ExtractedFromAddr));
  newAddr_->setText(ToQ(f->NewDlgAddr));
  oldPtr_->setText(ToQ(f->OldPtrHEX));
  newPtr_->setText(ToQ(f->NewPtrHEX));
  doPtrChange_->setText(ToQ(f->DoPointerChange));
  listFile_->setText(ToQ(f->PtrsAddrListFile));
  zones_->setText(ToQ(f->PtrsAddrZones));
  comments_->setText(ToQ(f->dlgComments));
  loading_ = false;
  PointerChangeTyped();
  UpdateCheck();
}

DialogPropsFields DlgPropsForm::Fields() const {
  return {FromQ(id_->text()),       FromQ(oldSize_->text()), FromQ(newSize_->text()), FromQ(extractedFrom_->text()),
          FromQ(newAddr_->text()),  FromQ(oldPtr_->text()),  FromQ(newPtr_->text()),  FromQ(doPtrChange_->text()),
          FromQ(listFile_->text()), FromQ(zones_->text()),   FromQ(comments_->text())};
}

void DlgPropsForm::UpdateCheck() {
  if (loading_) return;
  update_->setEnabled(vorkat::UpdateCheck(state_, selected_, Fields()));
}

void DlgPropsForm::UpdateDlgProps() {
  if (!vorkat::UpdateDlgProps(state_, selected_, Fields())) return;
  ShowDlg();
}

void DlgPropsForm::SettlePending() {
  if (!isVisible() || !update_->isEnabled()) return;
  AskToKeepPendingProps(state_, selected_, Fields());
  update_->setEnabled(false);
}

void DlgPropsForm::Browse() {
  const std::u16string name = AskFileName(state_, false, kPointerListPromptTitle, kPointerListFilters);
  if (name.empty() || !FileExists(name)) return;
  listFile_->setText(ToQ(name));
}

void DlgPropsForm::LenReCalc() {
  RunGuarded(state_, [&] {
    if (std::optional<std::u16string> size = RecalcDialogLength(state_, selected_)) newSize_->setText(ToQ(*size));
  });
}

void DlgPropsForm::TickChanged(bool ticked) { doPtrChange_->setText(ToQ(PointerChangeText(ticked))); }

void DlgPropsForm::PointerChangeTyped() {
  const QSignalBlocker block(doPtrTick_);
  doPtrTick_->setChecked(IsPointerChangeYes(FromQ(doPtrChange_->text())));
}

void DlgPropsForm::reject() {
  SettlePending();
  QDialog::reject();
  Q_EMIT closed();
}

}  // namespace vorkat::ui
