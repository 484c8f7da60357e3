#include "ui/fonttools/fdt_editor_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDrag>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include <filesystem>
#include <functional>

#include "app/state.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "core/text.h"
#include "font/font_commands.h"
#include "fonttools/font_tags.h"
#include "ui/font/font_pictures.h"
#include "ui/fonttools/fdt_entry_window.h"
#include "ui/fonttools/font_tool_pictures.h"
#include "ui/fonttools/glyph_list_model.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {
namespace {

constexpr std::u16string_view kPictureTitle = u"Open picture with font";
constexpr std::u16string_view kPictureFilters =
    u"Gif Files (*.gif)|*.gif\r\nJpeg Files (*.jpg)|*.jpg\r\nBmp files (*.bmp)|*.bmp\r\nAll Files (*.*)|*.*";

}  // namespace

// The font sheet with its grid: the pointer (or the arrow keys) chooses a
// cell, a drag carries it to the glyph list, Enter adds it there.
class SheetView : public QWidget {
 public:
  explicit SheetView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FontPreview"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
  }
  void SetSheet(const QImage* sheet, std::int32_t rows, std::int32_t cols) {
    sheet_ = sheet;
    rows_ = rows;
    cols_ = cols;
    cell_ = -1;
    setFixedSize(sheet_->isNull() ? QSize(64, 64) : sheet_->size() * kGlyphZoom);
    update();
  }
  void SetGridShown(bool shown) {
    gridShown_ = shown;
    update();
  }
  void MarkCell(int cell) {
    marked_.push_back(cell);
    update();
  }
  void ClearMarks() {
    marked_.clear();
    update();
  }
  int Cell() const { return cell_; }
  std::function<void(int)> onCellChanged;
  std::function<void(int)> onCellChosen;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (!sheet_ || sheet_->isNull()) return;
    p.drawImage(rect(), *sheet_);
    if (rows_ <= 0 || cols_ <= 0) return;
    if (gridShown_) {
      p.setPen(QColor(0, 128, 255));
      for (int r = 1; r < rows_; ++r) p.drawLine(0, CellH() * r, width(), CellH() * r);
      for (int c = 1; c < cols_; ++c) p.drawLine(CellW() * c, 0, CellW() * c, height());
    }
    p.setPen(QColor(0, 160, 0));
    for (int m : marked_) p.drawRect(CellRect(m));
    p.setPen(QPen(QColor(255, 0, 0), 2));
    if (cell_ >= 0) p.drawRect(CellRect(cell_));
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if ((e->buttons() & Qt::LeftButton) && cell_ >= 0 &&
        (e->position().toPoint() - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
      auto* mime = new QMimeData;
      mime->setData(QLatin1String(kSheetCellMime), QByteArray::number(cell_));
      auto* drag = new QDrag(this);
      drag->setMimeData(mime);
      drag->exec(Qt::CopyAction);
      return;
    }
    if (!(e->buttons() & Qt::LeftButton)) SetCell(CellAt(e->position().toPoint()));
  }
  void mousePressEvent(QMouseEvent* e) override {
    pressAt_ = e->position().toPoint();
    SetCell(CellAt(pressAt_));
  }
  void keyPressEvent(QKeyEvent* e) override {
    const int count = rows_ * cols_;
    if (count <= 0) return QWidget::keyPressEvent(e);
    int cell = std::max(cell_, 0);
    switch (e->key()) {
      case Qt::Key_Left: cell -= 1; break;
      case Qt::Key_Right: cell += 1; break;
      case Qt::Key_Up: cell -= cols_; break;
      case Qt::Key_Down: cell += cols_; break;
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Insert:
        if (cell_ >= 0 && onCellChosen) onCellChosen(cell_);
        return;
      default: return QWidget::keyPressEvent(e);
    }
    if (cell >= 0 && cell < count) SetCell(cell);
  }

 private:
  int CellW() const { return width() / std::max(cols_, 1); }
  int CellH() const { return height() / std::max(rows_, 1); }
  QRect CellRect(int cell) const { return {cell % cols_ * CellW(), cell / cols_ * CellH(), CellW(), CellH()}; }
  int CellAt(QPoint at) const {
    if (rows_ <= 0 || cols_ <= 0 || CellW() <= 0 || CellH() <= 0) return -1;
    const int c = at.x() / CellW(), r = at.y() / CellH();
    return r >= 0 && r < rows_ && c >= 0 && c < cols_ ? r * cols_ + c : -1;
  }
  void SetCell(int cell) {
    if (cell == cell_ || cell < 0) return;
    cell_ = cell;
    update();
    if (onCellChanged) onCellChanged(cell);
  }

  const QImage* sheet_ = nullptr;
  std::int32_t rows_ = 0;
  std::int32_t cols_ = 0;
  int cell_ = -1;
  bool gridShown_ = true;
  QPoint pressAt_;
  std::vector<int> marked_;
};

FDTeditForm::FDTeditForm(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("FDTeditForm"));
  setWindowTitle(QStringLiteral("FDT editor"));

  sheetView_ = new SheetView(this);
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(sheetView_);
  charPreview_ = new QLabel(this);
  charPreview_->setObjectName(QStringLiteral("CharPreview"));
  charPreview_->setMinimumSize(48, 48);
  unknownPreview_ = new QLabel(this);
  unknownPreview_->setObjectName(QStringLiteral("unknpic"));
  unknownPreview_->setMinimumSize(48, 48);

  model_ = new GlyphListModel(this);
  list_ = new QListView(this);
  list_->setObjectName(QStringLiteral("FDTitems"));
  list_->setModel(model_);
  list_->setAcceptDrops(true);
  list_->setDropIndicatorShown(true);
  list_->setDragDropMode(QAbstractItemView::DropOnly);
  list_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  list_->installEventFilter(this);
  auto* listLabel = new QLabel(QStringLiteral("&Буквы (Enter: свойства, F2: текст, Delete: удалить)"), this);
  listLabel->setBuddy(list_);

  rows_ = TextField(this, "fldRows", QStringLiteral("16"));
  cols_ = TextField(this, "fldCols", QStringLiteral("16"));
  grid_ = new QCheckBox(QStringLiteral("Сетка"), this);
  grid_->setObjectName(QStringLiteral("chkGrid"));
  grid_->setChecked(true);
  auto* set = Button(this, "btnSetGrid", QStringLiteral("Установить"));
  auto* load = Button(this, "btnLoadPicture", QStringLiteral("Load picture"));
  auto* unknown = Button(this, "btnUnknownPic", QStringLiteral("Unknown char picture"));
  auto* transp = Button(this, "btnTranspColor", QStringLiteral("FontTranspColor"));
  auto* save = Button(this, "btnSaveFDT", QStringLiteral("Save FDT"));
  auto* refresh = Button(this, "btnRefresh", QStringLiteral("Refresh"));
  auto* reset = Button(this, "btnReset", QStringLiteral("Reset"));
  auto* close = Button(this, "btnClose", QStringLiteral("Close"));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("&Строк"), rows_);
  AddRow(grid, QStringLiteral("С&толбцов"), cols_, set);
  auto* previews = ButtonRow({charPreview_, unknownPreview_}, {});
  auto* left = new QVBoxLayout;
  left->addWidget(scroll, 1);
  left->addLayout(grid);
  left->addWidget(grid_);
  left->addLayout(previews);
  auto* right = new QVBoxLayout;
  right->addWidget(listLabel);
  right->addWidget(list_, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {load, unknown, transp, save, refresh, reset, close}) buttons->addWidget(b);
  auto* top = new QHBoxLayout;
  top->addLayout(left, 2);
  top->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(buttons);

  sheetView_->onCellChanged = [this](int cell) {
    if (auto pic = SheetCellPicture(sheet_, pRows_, pCols_, cell))
      charPreview_->setPixmap(QPixmap::fromImage(pic->scaled(pic->size() * kGlyphZoom)));
  };
  sheetView_->onCellChosen = [this](int cell) { AddCell(cell); };
  connect(model_, &GlyphListModel::cellDropped, this, &FDTeditForm::AddCell);
  connect(list_, &QListView::doubleClicked, this, &FDTeditForm::EditEntry);
  connect(grid_, &QCheckBox::toggled, this, [this](bool on) { sheetView_->SetGridShown(on); });
  connect(set, &QPushButton::clicked, this, &FDTeditForm::SetGrid);
  connect(load, &QPushButton::clicked, this, &FDTeditForm::LoadPicture);
  connect(unknown, &QPushButton::clicked, this, &FDTeditForm::LoadUnknownPicture);
  connect(transp, &QPushButton::clicked, this, &FDTeditForm::AskTranspColor);
  connect(save, &QPushButton::clicked, this, &FDTeditForm::SaveFdt);
  connect(refresh, &QPushButton::clicked, this, &FDTeditForm::Refresh);
  connect(reset, &QPushButton::clicked, this, &FDTeditForm::Reset);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  const auto edited = [this] { edited_ = true; };
  connect(model_, &QAbstractItemModel::dataChanged, this, edited);
  connect(model_, &QAbstractItemModel::rowsInserted, this, edited);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, edited);

  TakeHeaderFromFdt();
  if (FileExists(unknownName_))
    if (auto pic = vorkat::ui::LoadPicture(unknownName_)) unknownPicture_ = *pic;
  ShowSheet();
  if (state_.fdt.isLoaded) LoadFromFdt();
  ResizeWithinScreen(this, QSize(900, 600));
}

void FDTeditForm::TakeHeaderFromFdt() {
  transpColor_ = state_.fdt.FontTranspColor;
  unknownName_ = state_.fdt.UnknownMappingChar;
  unknownWidth_ = state_.fdt.unknownCharWidth;
}

bool FDTeditForm::EditsMayGo() {
  if (!edited_) return true;
  switch (
      MsgBox(state_, u"Будем сохранять изменения в FDT ?", MsgButtons::YesNoCancel, MsgIcon::Question, u"FDT editor")) {
    case MsgAnswer::Yes: return SaveFdt();  // not saved: the editor keeps its edits
    case MsgAnswer::No: return true;
    default: return false;
  }
}

void FDTeditForm::reject() {
  if (EditsMayGo()) QDialog::reject();
}

void FDTeditForm::Refresh() {
  if (!state_.fdt.isLoaded && !saved_) return;  // nothing to read again: the edits stay
  if (!EditsMayGo()) return;
  // A save leaves the FDT it wrote unparsed; the refresh reads that one.
  if (!state_.fdt.isLoaded) ReparseFontDescription(state_);
  LoadFromFdt();
}

void FDTeditForm::Reset() {
  if (EditsMayGo()) ResetForm();
}

bool FDTeditForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {  // an in-place editor gets its own keys
    const int key = static_cast<QKeyEvent*>(event)->key();
    const QModelIndex current = list_->currentIndex();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && current.isValid()) {
      EditEntry(current);
      return true;
    }
    if (key == Qt::Key_Delete && current.isValid()) {
      model_->Remove(current.row());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FDTeditForm::ShowSheet() {
  sheetView_->SetSheet(&sheet_, pRows_, pCols_);
  unknownPreview_->setPixmap(unknownPicture_.isNull()
                                 ? QPixmap()
                                 : QPixmap::fromImage(unknownPicture_.scaled(unknownPicture_.size() * kGlyphZoom)));
}

void FDTeditForm::LoadFromFdt() {
  if (!state_.fdt.isLoaded) return;
  // The glyph load works on a copy: it writes its folder fallbacks into the
  // table, and the editor only reads.
  FontDescriptionTable fdt = state_.fdt;
  PreviewSettings ps;
  FontPicturesLoad load =
      LoadFntPics(fdt, sheet_, ps, state_.ctx.settings.VivorurePrnXPrnY, state_.ctx.settings.interletterspacing);
  AppendLogLines(state_, load.log);
  if (load.showErrorsMessage) MsgBox(state_, kGlyphErrorsMessage, MsgButtons::Ok, MsgIcon::Information);
  if (fdt.FontClipRows > 0 && fdt.FontClipCols > 0) {
    pRows_ = fdt.FontClipRows;
    pCols_ = fdt.FontClipCols;
    rows_->setText(QString::number(pRows_));
    cols_->setText(QString::number(pCols_));
  }
  const std::vector<std::u16string> tags = FdtEditorTags(state_.fdt);
  std::vector<GlyphListModel::Glyph> glyphs;
  for (std::size_t k = 0; k < tags.size(); ++k)
    glyphs.push_back({tags[k], k < load.store.entries.size() ? load.store.entries[k] : QImage()});
  model_->Reset(std::move(glyphs));
  TakeHeaderFromFdt();
  edited_ = false;
  if (!state_.fdt.FontFileName.empty()) setWindowTitle(QStringLiteral("FDT editor - ") + ToQ(state_.fdt.FontFileName));
  ShowSheet();
}

void FDTeditForm::LoadPicture() {
  const std::u16string name = AskFileName(state_, false, kPictureTitle, kPictureFilters);
  if (name.empty()) return;
  auto pic = vorkat::ui::LoadPicture(name);
  if (!pic) {
    AppendLog(state_, u"Не удалось загрузить картинку " + name, kColourBrightRed);
    return;
  }
  sheet_ = *pic;
  state_.fdt.FontFileName = name;
  setWindowTitle(QStringLiteral("FDT editor - ") + ToQ(name));
  sheetView_->ClearMarks();
  SetGrid();
}

void FDTeditForm::SetGrid() {
  if (sheet_.isNull()) {
    MsgBox(state_, u"Для начала загрузи картинку", MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  const auto rows = FieldNumber(state_.ctx, rows_);
  const auto cols = rows ? FieldNumber(state_.ctx, cols_) : std::nullopt;
  if (!rows || !cols) return;
  pRows_ = std::max(*rows, 1);
  pCols_ = std::max(*cols, 1);
  ShowSheet();
}

void FDTeditForm::AddCell(int cell) {
  auto pic = SheetCellPicture(sheet_, pRows_, pCols_, cell);
  if (!pic) return;
  const std::int32_t width = MeasureGlyph(*pic, transpColor_).value_or(InkExtent{}).width;
  model_->Append({MakeFontMappingTag(width, cell / pCols_, cell % pCols_), *pic});
  sheetView_->MarkCell(cell);
  list_->setCurrentIndex(model_->index(model_->rowCount() - 1));
}

void FDTeditForm::EditEntry(const QModelIndex& index) {
  if (!index.isValid()) return;
  FDTentForm entry(model_->Glyphs()[static_cast<std::size_t>(index.row())].tag, this);
  if (entry.exec() == QDialog::Accepted) model_->SetTag(index.row(), entry.Tag());
}

void FDTeditForm::AskTranspColor() {
  const auto answer = AskTypedNumber(state_,
                                     u"Введите цвет 'прозрачного' цвета в картинках с буквами (в hex &HRRGGBB)\r\n"
                                     u"пример: &HFFFFFF - белый\r\nвводи 0 если черный",
                                     u"Input FontTranspColor",
                                     u"&H" + HexText(static_cast<std::uint32_t>(transpColor_)));
  if (answer && *answer != transpColor_) {
    transpColor_ = *answer;
    edited_ = true;
  }
}

void FDTeditForm::LoadUnknownPicture() {
  const std::u16string name = AskFileName(state_, false, kPictureTitle, kPictureFilters);
  if (name.empty()) return;
  auto pic = vorkat::ui::LoadPicture(name);
  if (!pic) {
    const std::u16string error = u"Не удалось загрузить картинку " + name;
    AppendLog(state_, error, kColourBrightRed);
    MsgBox(state_, error, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  unknownPicture_ = *pic;
  edited_ = true;
  unknownName_ = name;
  auto askSize = [this](std::u16string_view prompt, std::u16string_view title, int current) {
    const auto answer = AskTypedNumber(state_, prompt, title, DecText(current));
    return answer && *answer >= 0 ? *answer : current;
  };
  const int w = askSize(u"Введите ширину картинки", u"Ширина картинки ?(pixels)", unknownPicture_.width());
  const int h = askSize(u"Введите высоту картинки", u"Высота картинки ?(pixels)", unknownPicture_.height());
  if (w > 0 && h > 0 && QSize(w, h) != unknownPicture_.size()) {
    // A larger size leaves white beside the picture, a smaller one cuts it.
    QImage sized(w, h, QImage::Format_RGB32);
    sized.fill(Qt::white);
    QPainter(&sized).drawImage(0, 0, unknownPicture_);
    unknownPicture_ = sized;
  }
  unknownWidth_ = w;
  ShowSheet();
}

bool FDTeditForm::SaveFdt() {
  if (sheet_.isNull()) {
    MsgBox(state_, u"Для начала загрузи картинку", MsgButtons::Ok, MsgIcon::Information);
    return false;
  }
  if (model_->rowCount() == 0) {
    MsgBox(state_, u"Пока еще нечего сохранять...", MsgButtons::Ok, MsgIcon::Information);
    return false;
  }
  std::u16string name = AskFileName(state_, true, kFdtOpenTitle, kFdtOpenFilters);
  if (name.empty()) return false;
  name = FdtEditorFileName(name);
  std::error_code ec;
  const std::u16string current = FromPath(std::filesystem::current_path(ec));
  const auto dirAnswer = InputBox(state_, u"Введите путь к директории,\r\nкуда сохранять изображения символов",
                                  u"Pictures save directory path", FolderOf(name, current));
  if (!dirAnswer || Trim(*dirAnswer).empty()) return false;
  const std::u16string dir = JoinFolder(Trim(*dirAnswer), u"");
  const auto failed = [this](const std::u16string& error) {
    AppendLog(state_, error + u". FDT не сохранён", kColourBrightRed);
    MsgBox(state_, error + u". FDT не сохранён", MsgButtons::Ok, MsgIcon::Error);
    return false;
  };
  if (!std::filesystem::is_directory(ToPath(Trim(*dirAnswer)), ec)) return failed(u"Нет папки " + Trim(*dirAnswer));

  FdtEditorSave save;
  save.cellWidth = sheet_.width() / std::max(pCols_, 1);
  save.cellHeight = sheet_.height() / std::max(pRows_, 1);
  save.FontFileName = state_.fdt.FontFileName;
  save.FontDirPath = dir;
  save.FontTranspColor = transpColor_;
  save.unknownCharWidth = unknownWidth_;
  for (const auto& g : model_->Glyphs()) save.tags.push_back(g.tag);

  // Pictures first, then the FDT that names them: an FDT is written only
  // when every picture it names is.
  if (!unknownPicture_.isNull() && !SavePictureBmp(unknownPicture_, dir + u"unknown.bmp", Backup::RotateBak))
    return failed(u"Ошибка сохранения файла " + dir + u"unknown.bmp");
  const auto& glyphs = model_->Glyphs();
  for (std::size_t k = 0; k < glyphs.size(); ++k) {
    const auto file = FdtGlyphFile(dir, glyphs[k].tag, k);
    if (file && file->empty()) continue;
    if (!file || glyphs[k].picture.isNull() || !SavePictureBmp(glyphs[k].picture, *file, Backup::RotateBak))
      return failed(u"Ошибка сохранения файла " + file.value_or(glyphs[k].tag));
  }
  const std::vector<std::u16string> lines = FdtEditorLines(save);
  std::u16string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? u"\r\n" : u"") + lines[i];
  IoError error;
  if (!WriteFileAtomic(name, EncodeTextFile(text, false), Backup::RotateBak, &error, state_.ctx.writeFaults))
    return failed(IoErrorText(u"Ошибка сохранения файла ", name, error));
  // The FDT in memory becomes what was written; the caller parses it again.
  state_.fdt.lines = lines;
  state_.fdt.fileName = name;
  state_.fdt.FontTranspColor = transpColor_;
  state_.fdt.UnknownMappingChar = unknownName_;
  state_.fdt.unknownCharWidth = unknownWidth_;
  state_.fdt.isLoaded = false;
  saved_ = true;
  edited_ = false;
  const std::u16string a = u"Сохранили FDT в файл " + name;
  const std::u16string b = u"Сохранили изображения символов в директорию " + dir;
  AppendLog(state_, a);
  AppendLog(state_, b);
  MsgBox(state_, a + u"\r\n" + b, MsgButtons::Ok, MsgIcon::Information, u"Files saved");
  return true;
}

void FDTeditForm::ResetForm() {
  model_->Reset({});
  sheet_ = QImage();
  unknownPicture_ = QImage();
  pRows_ = pCols_ = 0;
  TakeHeaderFromFdt();
  charPreview_->clear();
  sheetView_->ClearMarks();
  setWindowTitle(QStringLiteral("FDT editor"));
  ShowSheet();
  edited_ = false;
}

}  // namespace vorkat::ui
