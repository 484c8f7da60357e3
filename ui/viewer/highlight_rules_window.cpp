#include "ui/viewer/highlight_rules_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/text.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "viewer/viewer_model.h"

namespace vorkat::ui {

HighLColorEditForm::HighLColorEditForm(AppState& state, ViewerModel& view, QWidget* parent)
    : QDialog(parent), state_(state), view_(view) {
  setObjectName(QStringLiteral("HighLColorEditForm"));
  setWindowTitle(QStringLiteral("Highlight options"));
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("Text1"));
  text_->setPlainText(ToQ(ReplaceAll(view_.HighLightThat, kCrLf, u"\n")));
  auto* ok = Button(this, "btnOk", QStringLiteral("Готово"));
  auto* reset = Button(this, "btnReset", QStringLiteral("Reset"));
  auto* cancel = Button(this, "btnCancel", QStringLiteral("Отмена"));
  for (QPushButton* b : {ok, reset, cancel}) b->setAutoDefault(false);
  auto* buttons = ButtonRow({reset}, {ok, cancel});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addLayout(buttons);

  connect(ok, &QPushButton::clicked, this, [this] {
    SetHighlightRules(state_, view_, ReplaceAll(FromQ(text_->toPlainText()), u"\n", kCrLf));
    accept();
  });
  connect(reset, &QPushButton::clicked, this, [this] {
    SetHighlightRules(state_, view_, kResetHighlight);
    text_->setPlainText(ToQ(ReplaceAll(view_.HighLightThat, kCrLf, u"\n")));
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace vorkat::ui
