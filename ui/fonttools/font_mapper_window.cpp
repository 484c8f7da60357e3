#include "ui/fonttools/font_mapper_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QStringListModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/state.h"
#include "codec/table_edit.h"
#include "core/numbers.h"
#include "core/runtime.h"
#include "fonttools/font_mapper.h"
#include "fonttools/font_tags.h"
#include "ui/codec/table_list_model.h"
#include "ui/font/font_pictures.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

FontMapperForm::FontMapperForm(AppState& state, QWidget* parent) : StateWindow(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("FontMapperForm"));
  setWindowTitle(QStringLiteral("Font Mapper"));

  files_ = new QFileSystemModel(this);
  files_->setRootPath(QString());
  files_->setNameFilterDisables(false);
  fileView_ = new QTreeView(this);
  fileView_->setObjectName(QStringLiteral("fileBrowser"));
  fileView_->setModel(files_);
  for (int c = 1; c < files_->columnCount(); ++c) fileView_->hideColumn(c);
  // Whole file names: the name column grows with its longest name and the view scrolls sideways.
  fileView_->setTextElideMode(Qt::ElideNone);
  fileView_->header()->setStretchLastSection(false);
  fileView_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  pattern_ = new QComboBox(this);
  pattern_->setObjectName(QStringLiteral("filePattern"));
  pattern_->addItems({QStringLiteral("*.bmp"), QStringLiteral("*.gif"), QStringLiteral("*.jpg"),
                      QStringLiteral("*.pcx"), QStringLiteral("*.*")});
  files_->setNameFilters({pattern_->currentText()});
  picPreview_ = new QLabel(this);
  picPreview_->setObjectName(QStringLiteral("PicPreview"));
  picPreview_->setMinimumSize(48, 48);

  tableModel_ = new TableListModel(state_.table, this);
  tableView_ = new QListView(this);
  tableView_->setObjectName(QStringLiteral("tableview"));
  tableView_->setModel(tableModel_);
  tableView_->setUniformItemSizes(true);
  mapModel_ = new QStringListModel(this);
  mapView_ = new QListView(this);
  mapView_->setObjectName(QStringLiteral("mapview"));
  mapView_->setModel(mapModel_);
  mapView_->setEditTriggers(QAbstractItemView::NoEditTriggers);

  charCode_ = TextField(this, "fldCharCode");
  charText_ = TextField(this, "fldCharText");
  charWidth_ = TextField(this, "fldCharWidth", QStringLiteral("3"));
  mapTextLine_ = TextField(this, "fldMapTextLine");
  autoConstruct_ = new QCheckBox(QStringLiteral("Auto"), this);
  autoConstruct_->setObjectName(QStringLiteral("chkAutoConstruct"));
  auto* construct = Button(this, "btnConstruct", QStringLiteral("Показать строку мэппинга"));
  auto* minus = Button(this, "btnWidthMinus", QStringLiteral("-"));
  auto* plus = Button(this, "btnWidthPlus", QStringLiteral("+"));
  auto* add = Button(this, "btnAddLine", QStringLiteral("Добавить"));
  auto* remove = Button(this, "btnDeleteLine", QStringLiteral("Удалить"));

  auto labelled = [this](const QString& caption, QWidget* w) {
    auto* box = new QVBoxLayout;
    auto* label = new QLabel(caption, this);
    label->setBuddy(w);
    box->addWidget(label);
    box->addWidget(w, 1);
    return box;
  };
  auto* filesBox = labelled(QStringLiteral("&Файлы букв"), fileView_);
  filesBox->addWidget(pattern_);
  filesBox->addWidget(picPreview_);
  auto* widthButtons = new QHBoxLayout;
  widthButtons->addWidget(minus);
  widthButtons->addWidget(plus);
  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Код"), charCode_);
  AddRow(grid, QStringLiteral("Текст"), charText_);
  AddRow(grid, QStringLiteral("Ширина"), charWidth_);
  grid->addLayout(widthButtons, grid->rowCount(), 1);
  AddRow(grid, QStringLiteral("Строка"), mapTextLine_);
  auto* lineButtons = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{autoConstruct_, construct, add, remove}) lineButtons->addWidget(w);
  auto* middle = labelled(QStringLiteral("&Таблица"), tableView_);
  middle->addLayout(grid);
  middle->addLayout(lineButtons);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(filesBox, 1);
  layout->addLayout(middle, 1);
  auto* lines = labelled(QStringLiteral("&Строки FDT"), mapView_);
  lines->addLayout(ButtonRow({}, {CloseButton(this)}));
  layout->addLayout(lines, 2);

  connect(pattern_, &QComboBox::currentTextChanged, this, [this](const QString& p) { files_->setNameFilters({p}); });
  connect(fileView_->selectionModel(), &QItemSelectionModel::currentChanged, this, &FontMapperForm::FileChosen);
  connect(tableView_->selectionModel(), &QItemSelectionModel::currentChanged, this, &FontMapperForm::TableLineChosen);
  connect(construct, &QPushButton::clicked, this, &FontMapperForm::Construct);
  connect(minus, &QPushButton::clicked, this, [this] { StepWidth(-1); });
  connect(plus, &QPushButton::clicked, this, [this] { StepWidth(1); });
  connect(add, &QPushButton::clicked, this, &FontMapperForm::AddLine);
  connect(remove, &QPushButton::clicked, this, &FontMapperForm::DeleteLine);
  ResizeWithinScreen(this, QSize(1000, 560));
}

void FontMapperForm::LoadFields() {
  // The glyph files are usually beside the FDT: the browser opens there.
  const QString folder =
      QDir(ToQ(FolderOf(state_.fdt.isLoaded ? state_.fdt.fileName : std::u16string(), FromQ(QDir::currentPath()))))
          .absolutePath();
  const QModelIndex at = files_->index(folder);
  fileView_->setCurrentIndex(at);
  fileView_->expand(at);
  fileView_->scrollTo(at, QAbstractItemView::PositionAtTop);
  QStringList lines;
  for (const std::u16string& line : FontMapperStartLines(state_.fdt)) lines << ToQ(line);
  mapModel_->setStringList(lines);
  if (!state_.table.isLoaded) {
    AppendLog(state_, u"Таблица еще не загружена");
    tableModel_->Refresh();
    return;
  }
  if (TableListCodes(state_.table).size() > 300)
    MsgBox(state_, u"Думаю, подготовка к показу, займет какое-то время...\r\nподождите...", MsgButtons::Ok,
           MsgIcon::Information);
  tableModel_->Refresh();
}

void FontMapperForm::closeEvent(QCloseEvent* event) {
  std::vector<std::u16string> lines;
  for (const QString& line : mapModel_->stringList()) lines.push_back(FromQ(line));
  CloseFontMapper(state_, lines);
  event->accept();
}

void FontMapperForm::FileChosen(const QModelIndex& index) {
  if (!index.isValid() || files_->isDir(index)) return;
  charFileName_ = FromQ(files_->filePath(index));
  const auto pic = LoadPicture(charFileName_);
  picPreview_->setPixmap(pic ? QPixmap::fromImage(pic->scaled(pic->size() * 2)) : QPixmap());
}

void FontMapperForm::TableLineChosen(const QModelIndex& index) {
  if (!index.isValid()) return;
  const std::u16string item = FromQ(index.data().toString());
  charCode_->setText(ToQ(TableListItemCode(item)));
  charText_->setText(ToQ(FontMapperCharText(state_.table, item)));
  if (autoConstruct_->isChecked()) Construct();
}

void FontMapperForm::Construct() {
  mapTextLine_->setText(ToQ(FontMapperLine(FromQ(charWidth_->text()), charFileName_, FromQ(charText_->text()))));
}

void FontMapperForm::StepWidth(int step) {
  const std::optional<std::int32_t> width = TypedNumber(charWidth_);
  if (!width) return QApplication::beep();
  charWidth_->setText(QString::number(*width + step));
  if (autoConstruct_->isChecked()) Construct();
}

void FontMapperForm::AddLine() {
  const int row = mapModel_->rowCount();
  mapModel_->insertRows(row, 1);
  mapModel_->setData(mapModel_->index(row), mapTextLine_->text());
  mapView_->setCurrentIndex(mapModel_->index(row));
}

void FontMapperForm::DeleteLine() {
  const QModelIndex current = mapView_->currentIndex();
  if (current.isValid()) mapModel_->removeRows(current.row(), 1);
}

}  // namespace vorkat::ui
