#include "ui/codec/table_editor_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/state.h"
#include "codec/table_edit.h"
#include "core/settings.h"
#include "ui/codec/table_list_model.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

TableEditForm::TableEditForm(AppState& state, QWidget* parent) : StateWindow(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("TableEditForm"));
  setWindowTitle(QStringLiteral("Table Editor"));

  model_ = new TableListModel(state_.table, this);
  list_ = new QListView(this);
  list_->setObjectName(QStringLiteral("tableview"));
  list_->setModel(model_);
  list_->setUniformItemSizes(true);
  auto* listLabel = new QLabel(QStringLiteral("Код = символ(строка символов)"), this);
  listLabel->setBuddy(list_);

  code_ = TextField(this, "fldCharCode");
  text_ = TextField(this, "fldCharText");
  type_ = new QComboBox(this);
  type_->setObjectName(QStringLiteral("selTableType"));
  type_->setEditable(true);
  type_->addItems({QStringLiteral("SBCS"), QStringLiteral("SBCS2"), QStringLiteral("DBCS")});
  comment_ = new QPlainTextEdit(this);
  comment_->setObjectName(QStringLiteral("fldTableComments"));
  comment_->setMaximumHeight(90);
  auto* add = Button(this, "btnAddEntry", QStringLiteral("Добавить / Изменить"));
  auto* remove = Button(this, "btnDeleteEntry", QStringLiteral("Удалить выбранный код"));
  auto* refresh = Button(this, "Command1", QStringLiteral("Refresh listbox"));
  auto* fill = Button(this, "Command2", QStringLiteral("Reset Table to win1251 (20h-FFh)"));
  auto* help =
      new QLabel(QStringLiteral("Особые буквы можно набрать с ALT+код или вставить из таблицы символов. Перевод строки "
                                "пишется как <$VBCRLF>, пробел как <$SPACE> или клавишей пробела. Многосимвольные "
                                "последовательности (MTE) для вставки надо заключать в \"<$\" и \">\"."),
                 this);
  help->setWordWrap(true);

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Код символа"), code_);
  AddRow(grid, QStringLiteral("Текст соответствующий коду"), text_);
  AddRow(grid, QStringLiteral("Тип таблицы"), type_);
  AddRow(grid, QStringLiteral("Заметки к таблице"), comment_);
  auto* entryButtons = new QHBoxLayout;
  entryButtons->addWidget(add);
  entryButtons->addWidget(remove);
  auto* listButtons = new QHBoxLayout;
  listButtons->addWidget(refresh);
  listButtons->addWidget(fill);
  listButtons->addStretch();
  listButtons->addWidget(CloseButton(this));

  auto* right = new QVBoxLayout;
  right->addLayout(grid);
  right->addLayout(entryButtons);
  right->addWidget(help);
  right->addStretch();
  right->addLayout(listButtons);
  auto* left = new QVBoxLayout;
  left->addWidget(listLabel);
  left->addWidget(list_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(right, 1);

  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { ItemChosen(current); });
  connect(add, &QPushButton::clicked, this, &TableEditForm::AddEntry);
  connect(remove, &QPushButton::clicked, this, &TableEditForm::DeleteEntry);
  connect(refresh, &QPushButton::clicked, this, &TableEditForm::ShowTableInListbox);
  connect(fill, &QPushButton::clicked, this, &TableEditForm::FillFromWin1251);
  connect(type_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    if (!loading_) SetTableTypeText(state_, FromQ(text));
  });
  connect(comment_, &QPlainTextEdit::textChanged, this, [this] {
    if (!loading_) SetTableComment(state_, FromQ(comment_->toPlainText()));
  });
  ResizeWithinScreen(this, QSize(640, 480));
}

void TableEditForm::LoadFields() {
  loading_ = true;
  type_->setEditText(ToQ(state_.table.type));
  comment_->setPlainText(ToQ(state_.table.comment));
  loading_ = false;
  ShowTableInListbox();
}

void TableEditForm::ShowTableInListbox() {
  if (!state_.table.isLoaded) AppendLog(state_, u"Таблица еще не загружена");
  const int selected = list_->currentIndex().row();
  model_->Refresh();
  if (selected >= 0 && selected < model_->rowCount()) list_->setCurrentIndex(model_->index(selected));
}

void TableEditForm::ItemChosen(const QModelIndex& index) {
  if (!index.isValid()) return;
  const std::int32_t code = model_->CodeAt(index.row());
  code_->setText(ToQ(TableListItemCode(TableListItemText(state_.table, code))));
  text_->setText(ToQ(TextToMarkupCopy(state_.table.entries[static_cast<std::size_t>(code)])));
}

void TableEditForm::AddEntry() {
  if (!SetTableEntry(state_, FromQ(code_->text()), FromQ(text_->text()))) return;
  const std::int32_t code = *ReadTableEditCode(FromQ(code_->text()));
  model_->Refresh();
  if (int row = model_->RowOf(code); row >= 0) list_->setCurrentIndex(model_->index(row));
}

void TableEditForm::DeleteEntry() {
  const QModelIndex current = list_->currentIndex();
  if (model_->rowCount() == 0 || !current.isValid()) return;
  DeleteTableEntry(state_, model_->CodeAt(current.row()));
  model_->Refresh();
  if (current.row() < model_->rowCount()) list_->setCurrentIndex(model_->index(current.row()));
}

void TableEditForm::FillFromWin1251() {
  FillTableFromWin1251(state_);
  ShowTableInListbox();
}

}  // namespace vorkat::ui
