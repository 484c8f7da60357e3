#include "ui/extract/extract_range_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/state.h"
#include "core/log.h"
#include "core/numbers.h"
#include "extract/scan_extract.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {
FromToAddrForm::FromToAddrForm(AppState& state, QWidget* parent) : StateWindow(parent), state_(state) {
  setObjectName(QStringLiteral("FromToAddrForm"));
  setWindowTitle(QStringLiteral("Вынимать текст из файла"));
  setModal(true);

  start_ = NumberField(this, "fldStartAddr");
  end_ = NumberField(this, "fldEndAddr");
  bytes_ = NumberField(this, "fldBytesToDump");
  auto* whole = Button(this, "Command2", QStringLiteral("Весь ROM пожалуйста"));
  whole->setAutoDefault(false);
  auto* extract = Button(this, "Command1", QStringLiteral("Вынуть текст из ROM"));
  extract->setDefault(true);

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Начиная со смещения"), start_);
  AddRow(grid, QStringLiteral("Заканчивая смещением"), end_);
  AddRow(grid, QStringLiteral("Сколько байт"), bytes_);
  auto* buttons = ButtonRow({whole}, {extract, CloseButton(this)});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  // The end follows the byte count whenever the field is left, changed or not.
  bytes_->installEventFilter(this);
  connect(bytes_, &QLineEdit::editingFinished, this, &FromToAddrForm::ApplyBytesToDump);
  connect(whole, &QPushButton::clicked, this, &FromToAddrForm::WholeRom);
  connect(extract, &QPushButton::clicked, this, &FromToAddrForm::Extract);
}

bool FromToAddrForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bytes_ && event->type() == QEvent::FocusOut) ApplyBytesToDump();
  return StateWindow::eventFilter(watched, event);
}

void FromToAddrForm::LoadFields() {
  start_->setText(Decimal(state_.ctx.settings.StartExtrFromAddr));
  end_->setText(Decimal(state_.ctx.settings.EndExtrFromAddr));
}

void FromToAddrForm::ApplyBytesToDump() {
  // An empty or unfinished count is no request yet.
  const std::int32_t count = TypedNumber(bytes_).value_or(0);
  if (count < 1) return;
  // The stored start, not the text of the start field.
  const std::int64_t end = static_cast<std::int64_t>(state_.ctx.settings.StartExtrFromAddr) + count;
  state_.ctx.settings.EndExtrFromAddr = end > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(end);
  end_->setText(Decimal(state_.ctx.settings.EndExtrFromAddr));
}

void FromToAddrForm::WholeRom() {
  state_.ctx.settings.StartExtrFromAddr = 0;
  state_.ctx.settings.EndExtrFromAddr = state_.rom.size();
  LoadFields();
}

void FromToAddrForm::Extract() {
  ApplyBytesToDump();
  Settings& s = state_.ctx.settings;
  const auto start = FieldNumber(state_.ctx, start_);
  const auto end = start ? FieldNumber(state_.ctx, end_) : std::nullopt;
  if (!end) return;
  if (*start >= 0) s.StartExtrFromAddr = *start;
  if (*end >= 0) s.EndExtrFromAddr = *end;
  if (s.StartExtrFromAddr >= s.EndExtrFromAddr) {
    AppendLog(state_, u"Начальный адрес для вынимания не может быть больше конечного");
    return;
  }
  hide();
  QApplication::processEvents();
  RunCommand(state_, [&] { ScanExtract(state_, s.StartExtrFromAddr, s.EndExtrFromAddr); });
  LoadFields();
}

}  // namespace vorkat::ui
