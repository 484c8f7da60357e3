#include "ui/addr_extr_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "app/state.h"
#include "extract/dump_by_addresses.h"
#include "ui/gui_host.h"

namespace vorkat::ui {
namespace {

QLineEdit* Field(const char* name, const QString& text, QWidget* parent) {
  auto* field = new QLineEdit(text, parent);
  field->setObjectName(QLatin1String(name));
  return field;
}

QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  return button;
}


}  // namespace

AddrExtrForm::AddrExtrForm(AppState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("AddrExtrForm"));
  setWindowTitle(QStringLiteral("Извлечение текста по адресам (справочники)"));

  listFile_ = Field("fldAddrsFileName", QString(), this);
  outFile_ = Field("OutputDlgFileName", QString(), this);
  blockLength_ = Field("fldBytes2Extract", QStringLiteral("0"), this);
  start_ = Field("fldExtrStartAddr", QStringLiteral("0"), this);
  step_ = Field("fldStepByBytes", QStringLiteral("0"), this);
  count_ = Field("fldNumBlocksToExtr", QStringLiteral("0"), this);
  auto* browse = Button("browse", QStringLiteral("..."), this);
  auto* browse1 = Button("browse1", QStringLiteral("..."), this);
  auto* ok = Button("Command1", QStringLiteral("Продолжить"), this);
  auto* cancel = Button("DoCansel", QStringLiteral("Отмена"), this);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Файл со списком начальных адресов"), this), 0, 0);
  grid->addWidget(listFile_, 0, 1);
  grid->addWidget(browse, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Выходной файл диалогов"), this), 1, 0);
  grid->addWidget(outFile_, 1, 1);
  grid->addWidget(browse1, 1, 2);

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

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

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
  const std::int32_t length = FieldNumber(blockLength_);
  const std::int32_t start = FieldNumber(start_);
  const std::int32_t step = FieldNumber(step_);
  const std::int32_t count = FieldNumber(count_);
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
  if (!list.empty())
    DumpByAddressList(state_, list, out, length);
  else
    DumpByAddressSteps(state_, start, step, count, out, length);
}

}  // namespace vorkat::ui
