#include "ui/fonttools/fdt_entry_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/numbers.h"
#include "fonttools/font_tags.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

FDTentForm::FDTentForm(const std::u16string& tag, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FDTentForm"));
  setWindowTitle(QStringLiteral("FDT entry"));
  const FdtEntry e = SplitFdtEntry(tag);
  width_ = TextField(this, "fldWidth", QString::number(e.width));
  auto* ignore = Button(this, "btnIgnore", QStringLiteral("Ignore"));
  auto check = [this](const char* name, const QString& caption, bool on) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QLatin1String(name));
    box->setChecked(on);
    return box;
  };
  newLine_ = check("chkNewLine", QStringLiteral("&New line"), e.newLine);
  cls_ = check("chkCLS", QStringLiteral("&Clear screen"), e.clearScreen);
  scroll_ = check("chkScroll", QStringLiteral("Text &scroll"), e.textScroll);
  more_ = check("chkMore", QStringLiteral("&More"), e.more);
  other_ = TextField(this, "OtherFlags", ToQ(e.otherFlags));
  picture_ = TextField(this, "fldPicture", ToQ(e.picture));
  text_ = TextField(this, "fldText", ToQ(e.text));
  auto* ok = Button(this, "btnOK", QStringLiteral("Готово"));
  ok->setDefault(true);

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("&Текст"), text_);
  AddRow(grid, QStringLiteral("&Ширина"), width_, ignore);
  AddRow(grid, QStringLiteral("&Другие флаги"), other_);
  AddRow(grid, QStringLiteral("&Картинка"), picture_);
  auto* flags = new QHBoxLayout;
  for (QCheckBox* b : {newLine_, cls_, scroll_, more_}) flags->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(flags);
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ignore, &QPushButton::clicked, this, [this] { width_->setText(QStringLiteral("0")); });
  // A width that is no number as people type them keeps the dialog open.
  connect(ok, &QPushButton::clicked, this, [this] {
    if (TypedNumber(width_)) return accept();
    QApplication::beep();
    width_->setFocus();
    width_->selectAll();
  });
}

std::u16string FDTentForm::Tag() const {
  FdtEntry e;
  e.width = TypedNumber(width_).value_or(0);
  e.newLine = newLine_->isChecked();
  e.clearScreen = cls_->isChecked();
  e.textScroll = scroll_->isChecked();
  e.more = more_->isChecked();
  e.otherFlags = FromQ(other_->text());
  e.picture = FromQ(picture_->text());
  e.text = FromQ(text_->text());
  return BuildFdtEntryTag(e);
}

}  // namespace vorkat::ui
