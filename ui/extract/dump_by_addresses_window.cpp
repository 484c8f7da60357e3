#include "ui/extract/dump_by_addresses_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/state.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "extract/dump_by_addresses.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {
AddrExtrForm::AddrExtrForm(AppState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("AddrExtrForm"));
  setWindowTitle(QStringLiteral("Извлечение текста по адресам (справочники)"));

  listFile_ = TextField(this, "fldAddrsFileName");
  outFile_ = TextField(this, "OutputDlgFileName");
  blockLength_ = TextField(this, "fldBytes2Extract", QStringLiteral("0"));
  start_ = TextField(this, "fldExtrStartAddr", QStringLiteral("0"));
  step_ = TextField(this, "fldStepByBytes", QStringLiteral("0"));
  count_ = TextField(this, "fldNumBlocksToExtr", QStringLiteral("0"));
  auto* browse = Button(this, "browse", QStringLiteral("..."));
  auto* browse1 = Button(this, "browse1", QStringLiteral("..."));
  auto* ok = Button(this, "Command1", QStringLiteral("Продолжить"));
  auto* cancel = Button(this, "DoCansel", QStringLiteral("Отмена"));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Файл со списком начальных адресов"), listFile_, browse);
  AddRow(grid, QStringLiteral("Выходной файл диалогов"), outFile_, browse1);

  auto* lengthRow = new QHBoxLayout;
  lengthRow->addWidget(new QLabel(QStringLiteral("Длинна каждого блока будет"), this));
  lengthRow->addWidget(blockLength_);
  lengthRow->addWidget(new QLabel(QStringLiteral("байт (если 0, то до следующего начального адреса)"), this));

  auto* stepRow = new QHBoxLayout;
  stepRow->addWidget(new QLabel(QStringLiteral("Вынимать данные начиная с адреса"), this));
  stepRow->addWidget(start_);
  stepRow->addWidget(new QLabel(QStringLiteral(", с шагом (байт)"), this));
  stepRow->addWidget(step_);
  stepRow->addWidget(new QLabel(QStringLiteral("число блоков"), this));
  stepRow->addWidget(count_);

  auto* note = new QLabel(QStringLiteral("Если список адресов НЕ сортированный, то желательно указать длинну блока "
                                         "для дампа, иначе результат будет несколько неожиданным ;)"),
                          this);
  note->setWordWrap(true);

  auto* buttons = ButtonRow({}, {ok, cancel});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(lengthRow);
  layout->addLayout(stepRow);
  layout->addWidget(note);
  layout->addLayout(buttons);

  connect(browse, &QPushButton::clicked, this, &AddrExtrForm::BrowseList);
  connect(browse1, &QPushButton::clicked, this, &AddrExtrForm::BrowseOutput);
  connect(ok, &QPushButton::clicked, this, &AddrExtrForm::Continue);
  connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
  CloseWithEscape(this);
}

void AddrExtrForm::BrowseList() {
  std::u16string name = AskFileName(state_, false, u"Выбери файл с адресами указателей",
                                    u"Файлы с начальными адресами блоков (*.txt)|*.txt\r\nВсе файлы (*.*)|*.*");
  if (!name.empty() && FileExists(name)) listFile_->setText(ToQ(name));
}

void AddrExtrForm::BrowseOutput() {
  std::u16string name =
      AskFileName(state_, true, u"Save dialogs to file", u"Вынутый текст (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  if (!name.empty()) outFile_->setText(ToQ(name));
}

void AddrExtrForm::Continue() {
  std::int32_t numbers[4] = {};
  const QLineEdit* fields[4] = {blockLength_, start_, step_, count_};
  for (int k = 0; k < 4; ++k) {
    const auto value = FieldNumber(state_.ctx, fields[k], 0);
    if (!value) return;
    numbers[k] = *value;
  }
  const auto [length, start, step, count] = numbers;
  const std::u16string list = Trim(FromQ(listFile_->text()));
  const std::u16string out = Trim(FromQ(outFile_->text()));
  if (out.empty()) {
    MsgBox(state_, u"Не указан выходной файл диалогов!", MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  if (list.empty() && start == 0) {
    MsgBox(state_, u"Не указан входной файл с адресами для дампа!", MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  if (list.empty() && (step < 1 || count < 1)) {
    MsgBox(state_, u"Для дампа без файла с адресами укажите шаг (байт) и число блоков больше 0!", MsgButtons::Ok,
           MsgIcon::Error);
    return;
  }
  hide();
  RunCommand(state_, [&] {
    if (!list.empty())
      DumpByAddressList(state_, list, out, length);
    else
      DumpByAddressSteps(state_, start, step, count, out, length);
  });
}

}  // namespace vorkat::ui
