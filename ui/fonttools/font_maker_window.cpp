#include "ui/fonttools/font_maker_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <filesystem>

#include "app/state.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "core/text.h"
#include "fonttools/font_maker.h"
#include "fonttools/font_tags.h"
#include "ui/font/font_pictures.h"
#include "ui/fonttools/font_tool_pictures.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {
namespace {

constexpr int kZoom = 2;

}  // namespace

FontMakerForm::FontMakerForm(AppState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("FontMakerForm"));
  setWindowTitle(QStringLiteral("Font maker - "));
  auto field = [this](const char* name, const char* text) { return TextField(this, name, QLatin1String(text)); };
  sizeWidth_ = field("sizeWidth", "256");
  sizeHeight_ = field("sizeHeight", "256");
  cellwidth_ = field("cellwidth", "8");
  cellheight_ = field("cellheight", "16");
  rows_ = field("rows", "1");
  cols_ = field("cols", "1");
  charwidth_ = field("charwidth", "8");
  charheight_ = field("charheight", "16");
  cellnumber_ = field("cellnumber", "0");
  cellnumber_->setReadOnly(true);
  startFrom_ = field("fldStartFromNN", "0");
  std::error_code ec;
  outputDir_ = TextField(this, "fldOutputDir", ToQ(FromPath(std::filesystem::current_path(ec))));
  prefix_ = field("fldChFilePrefix", "char-");
  viewFileName_ = field("fldviewfilename", "");
  transpColor_ = field("TranspColor", "&HFFFFFF");
  charsInCols_ = new QCheckBox(QStringLiteral("буквы нарисованы в колонках"), this);
  charsInCols_->setObjectName(QStringLiteral("isCharsInCols"));
  cellOrder_ = new QComboBox(this);
  cellOrder_->setObjectName(QStringLiteral("cmbCellOrder"));
  cellOrder_->addItems({QStringLiteral("Windows-1251"), QStringLiteral("По таблице")});
  widthTable_ = TextField(this, "fldWidthTable");
  auto* chooseWidths = Button(this, "btnWidthTable", QStringLiteral("..."));
  cells_ = new QScrollBar(Qt::Horizontal, this);
  cells_->setObjectName(QStringLiteral("cellScroll"));
  cells_->setRange(0, 0);
  overview_ = new QLabel(this);
  overview_->setObjectName(QStringLiteral("overview"));
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(overview_);
  charView_ = new QLabel(this);
  charView_->setObjectName(QStringLiteral("CharPicture"));
  charView_->setMinimumSize(48, 48);
  measuredWidth_ = new QLabel(this);
  measuredWidth_->setObjectName(QStringLiteral("lblCharWidth"));
  measuredHeight_ = new QLabel(this);
  measuredHeight_->setObjectName(QStringLiteral("lblCharHeight"));

  auto* load = Button(this, "btnLoadFontPicture", QStringLiteral("Load Font picture"));
  auto* calc = Button(this, "btnCalcRowsCols", QStringLiteral("Calc Rows,Cols"));
  auto* set = Button(this, "btnSetRowsCols", QStringLiteral("Set row and cols"));
  auto* setChar = Button(this, "btnSetCharSize", QStringLiteral("Установить размеры буквы"));
  auto* wdth = Button(this, "btnWdth", QStringLiteral("wdth"));
  auto* clear = Button(this, "btnClear", QStringLiteral("Clear"));
  save_ = Button(this, "btnSingleSave1", QStringLiteral("Save "));
  auto* saveAs = Button(this, "btnSaveCharAs", QStringLiteral("Сохранить эту букву в ..."));
  auto* cut = Button(this, "btnCutAll", QStringLiteral("Нарезать/Записать файлы"));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Ширина картинки"), sizeWidth_);
  AddRow(grid, QStringLiteral("Высота картинки"), sizeHeight_);
  AddRow(grid, QStringLiteral("Ширина клетки"), cellwidth_);
  AddRow(grid, QStringLiteral("Высота клетки"), cellheight_, calc);
  AddRow(grid, QStringLiteral("Строк"), rows_);
  AddRow(grid, QStringLiteral("Столбцов"), cols_, set);
  AddRow(grid, QStringLiteral("Ширина буквы"), charwidth_);
  AddRow(grid, QStringLiteral("Высота буквы"), charheight_, setChar);
  AddRow(grid, QStringLiteral("Клетка"), cells_, cellnumber_);
  AddRow(grid, QStringLiteral("Код первой клетки"), startFrom_);
  AddRow(grid, QStringLiteral("Порядок клеток"), cellOrder_);
  AddRow(grid, QStringLiteral("Ширины из файла"), widthTable_, chooseWidths);
  AddRow(grid, QStringLiteral("Папка для файлов"), outputDir_);
  AddRow(grid, QStringLiteral("Префикс файлов"), prefix_);
  AddRow(grid, QStringLiteral("Файл буквы"), viewFileName_, save_);
  AddRow(grid, QStringLiteral("Цвет фона"), transpColor_);
  grid->addWidget(charsInCols_, grid->rowCount(), 1);
  auto* measured = new QVBoxLayout;
  measured->addWidget(measuredWidth_);
  measured->addWidget(measuredHeight_);
  auto* charRow = ButtonRow({charView_}, {});
  charRow->insertLayout(1, measured);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {load, wdth, clear, saveAs, cut}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(CloseButton(this));
  auto* right = new QVBoxLayout;
  right->addLayout(grid);
  right->addLayout(charRow);
  right->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(scroll, 1);
  top->addWidget(VerticalScroll(this, right));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(buttons);

  connect(load, &QPushButton::clicked, this, &FontMakerForm::LoadFontPicture);
  connect(calc, &QPushButton::clicked, this, &FontMakerForm::CalcRowsCols);
  connect(set, &QPushButton::clicked, this, &FontMakerForm::SetRowsCols);
  connect(charsInCols_, &QCheckBox::clicked, this, &FontMakerForm::SetRowsCols);
  connect(setChar, &QPushButton::clicked, this, &FontMakerForm::SetCharSize);
  connect(cells_, &QScrollBar::valueChanged, this, &FontMakerForm::ShowCell);
  connect(wdth, &QPushButton::clicked, this, &FontMakerForm::Measure);
  connect(clear, &QPushButton::clicked, this, &FontMakerForm::ClearChar);
  connect(save_, &QPushButton::clicked, this, [this] {
    if (!viewFileName_->text().isEmpty()) SaveChar(FromQ(viewFileName_->text()));
  });
  connect(saveAs, &QPushButton::clicked, this, &FontMakerForm::SaveCharAs);
  connect(cut, &QPushButton::clicked, this, &FontMakerForm::CutAll);
  connect(chooseWidths, &QPushButton::clicked, this, &FontMakerForm::ChooseWidthTable);
  SetCharSize();
  ResizeWithinScreen(this, QSize(900, 560));
}

std::int32_t FontMakerForm::Int(QLineEdit* field) const { return ReadInt(FromQ(field->text())); }

bool FontMakerForm::NumbersTyped(std::initializer_list<QLineEdit*> fields) {
  for (QLineEdit* field : fields)
    if (!FieldNumber(state_.ctx, field)) return false;
  return true;
}

void FontMakerForm::LoadFontPicture() {
  const std::u16string name = AskFileName(state_, false, u"Open picture with font",
                                          u"Png Files (*.png)|*.png\r\nGif Files (*.gif)|*.gif\r\nJpeg Files "
                                          u"(*.jpg)|*.jpg\r\nBmp files (*.bmp)|*.bmp\r\nAll Files (*.*)|*.*");
  if (name.empty() || !FileExists(name)) return;
  auto pic = LoadPicture(name);
  if (!pic) {
    AppendLog(state_, u"Не удалось загрузить картинку " + name, kColourBrightRed);
    return;
  }
  sheet_ = *pic;
  sheetFile_ = name;
  overview_->setPixmap(QPixmap::fromImage(sheet_.scaled(sheet_.size() * kZoom)));
  overview_->adjustSize();
  sizeHeight_->setText(QString::number(sheet_.height()));
  sizeWidth_->setText(QString::number(sheet_.width()));
  setWindowTitle(QStringLiteral("Font maker - ") + ToQ(name));
  CalcRowsCols();
}

// One step: the grid follows from the cell size and is set at once.
void FontMakerForm::CalcRowsCols() {
  if (!NumbersTyped({cellheight_, cellwidth_, sizeWidth_, sizeHeight_})) return;
  const std::int32_t ch = Int(cellheight_), cw = Int(cellwidth_);
  if (ch <= 0 || cw <= 0) return;
  const MakerGrid grid = MakerGridOf(Int(sizeWidth_), Int(sizeHeight_), cw, ch);
  rows_->setText(QString::number(grid.rows));
  cols_->setText(QString::number(grid.cols));
  SetRowsCols();
}

void FontMakerForm::ChooseWidthTable() {
  const std::u16string name = AskFileName(state_, false, u"Open text file",
                                          u"Вынутые данные о ширине букв(*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  if (!name.empty()) widthTable_->setText(ToQ(name));
}

void FontMakerForm::SetRowsCols() {
  if (!NumbersTyped({rows_, cols_})) return;
  sheetRows_ = std::max(Int(rows_), 1);
  sheetCols_ = std::max(Int(cols_), 1);
  cells_->setRange(0, sheetRows_ * sheetCols_ - 1);
  cells_->setPageStep(charsInCols_->isChecked() ? sheetCols_ : sheetRows_);
  ClearChar();
}

void FontMakerForm::SetCharSize() {
  if (!NumbersTyped({charwidth_, charheight_})) return;
  charPicture_ = QImage(std::max(Int(charwidth_), 1), std::max(Int(charheight_), 1), QImage::Format_RGB32);
  ClearChar();
}

void FontMakerForm::ClearChar() {
  charPicture_.fill(Qt::white);
  ShowChar();
}

void FontMakerForm::ShowChar() {
  charView_->setPixmap(QPixmap::fromImage(charPicture_.scaled(charPicture_.size() * kZoom)));
}

void FontMakerForm::DrawCell(int cell) {
  if (sheet_.isNull()) return;
  // A cell larger than the glyph picture is cut at its right and bottom; a
  // smaller one leaves the rest of the picture as it was cleared.
  if (auto pic = SheetCellPicture(sheet_, sheetRows_, sheetCols_, cell)) {
    charPicture_.fill(Qt::white);
    QPainter p(&charPicture_);
    p.drawImage(0, 0, *pic);
  }
  MarkUnsaved(true);
  ShowChar();
}

void FontMakerForm::ShowCell(int cell) {
  cell = std::clamp(cell, 0, sheetRows_ * sheetCols_ - 1);
  cellnumber_->setText(QString::number(cell));
  DrawCell(cell);
  viewFileName_->setText(
      ToQ(MakerViewFileName(FromQ(outputDir_->text()), FromQ(prefix_->text()), MakerCellOf(cell, sheetCols_),
                            Int(startFrom_), charsInCols_->isChecked())));
}

void FontMakerForm::Measure() {
  if (!NumbersTyped({transpColor_})) return;
  if (auto ink = MeasureGlyph(charPicture_, Int(transpColor_))) {
    lastWidth_ = ink->width;
    measuredWidth_->setText(QStringLiteral("ширина=") + Decimal(ink->width));
    measuredHeight_->setText(QStringLiteral("высота=") + Decimal(ink->height));
  }
}

void FontMakerForm::MarkUnsaved(bool unsaved) {
  save_->setText(unsaved ? QStringLiteral("Save *") : QStringLiteral("Save "));
}

bool FontMakerForm::SaveChar(const std::u16string& fileName) {
  if (!SavePictureBmp(charPicture_, fileName, Backup::RotateBak)) {
    const std::u16string error = u"Ошибка сохранения файла " + fileName;
    AppendLog(state_, error, kColourBrightRed);
    MsgBox(state_, error, MsgButtons::Ok, MsgIcon::Error);
    return false;
  }
  MarkUnsaved(false);
  return true;
}

void FontMakerForm::SaveCharAs() {
  const std::u16string name = AskFileName(state_, true, u"Записать картинку с буквой в файл",
                                          u"bmp Files (*.bmp)|*.bmp\r\nAll Files (*.*)|*.*");
  if (name.empty()) return;
  if (SaveChar(name)) MsgBox(state_, u"записано!", MsgButtons::Ok, MsgIcon::Information);
}

void FontMakerForm::CutAll() {
  if (!NumbersTyped({charwidth_, charheight_, startFrom_, transpColor_})) return;
  const auto order = cellOrder_->currentIndex() == 1 ? MakerOrder::Table : MakerOrder::Cp1251;
  if (order == MakerOrder::Table && !state_.table.isLoaded) {
    AppendLog(state_, u"Таблица еще не загружена");
    return;
  }
  // The game's own widths, read from the character width extractor's file.
  std::map<std::int32_t, std::int32_t> romWidths;
  if (const std::u16string widthFile = Trim(FromQ(widthTable_->text())); !widthFile.empty()) {
    IoError error;
    const auto bytes = ReadFileBytes(widthFile, &error);
    if (!bytes) {
      AppendLog(state_, IoErrorText(u"Не удалось прочитать файл ", widthFile, error), kColourBrightRed);
      return;
    }
    romWidths = ParseWidthTable(DecodeTextFile(*bytes));
  }
  LongOperation op(state_);
  long long skipped = 0;
  MakerFdt fdt;
  fdt.charWidth = Int(charwidth_);
  fdt.charHeight = Int(charheight_);
  fdt.sheetFile = sheetFile_;
  fdt.rows = sheetRows_;
  fdt.cols = sheetCols_;
  fdt.outDir = FromQ(outputDir_->text());
  fdt.prefix = FromQ(prefix_->text());
  const std::int32_t start = Int(startFrom_);
  for (int cell = cells_->value(); cell < sheetRows_ * sheetCols_; ++cell) {
    const std::int32_t code = start + cell;
    const std::optional<std::u16string> text = MakerCellText(order, state_.table, code);
    if (!text) {
      ++skipped;  // a code the table has no text for
      continue;
    }
    const std::u16string file = MakerCutFileName(fdt.outDir, fdt.prefix, code);
    cellnumber_->setText(QString::number(cell));
    viewFileName_->setText(ToQ(file));
    DrawCell(cell);
    YieldPoint(state_);
    if (state_.ctx.CancelRequested) break;
    if (!SavePictureBmp(charPicture_, file, Backup::RotateBak)) {
      // An FDT naming a picture that is not there would be written for nothing.
      const std::u16string failed = u"Ошибка сохранения файла " + file + u". FDT не записан";
      AppendLog(state_, failed, kColourBrightRed);
      MsgBox(state_, failed, MsgButtons::Ok, MsgIcon::Error);
      return;
    }
    lastWidth_ = MeasureGlyph(charPicture_, Int(transpColor_)).value_or(InkExtent{lastWidth_, 0}).width;
    // The FDT this cut writes puts 1 pixel between glyphs.
    if (auto w = romWidths.find(code); w != romWidths.end()) lastWidth_ = WidthFromAdvance(w->second, 1);
    fdt.mappingLines.push_back(MakerMappingLineText(lastWidth_, cell, *text));
    MarkUnsaved(false);
  }
  if (skipped > 0) AppendLog(state_, u"Клеток без текста в таблице пропущено:" + NumText(skipped), kColourDarkRed);
  const std::u16string name = MakerFdtFileName(fdt);
  IoError error;
  if (!WriteFileAtomic(name, EncodeTextFile(MakerFdtText(fdt), false), Backup::RotateBak, &error,
                       state_.ctx.writeFaults)) {
    AppendLog(state_, IoErrorText(u"Ошибка сохранения файла ", name, error), kColourBrightRed);
    return;
  }
  MsgBox(state_, u"Done!", MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace vorkat::ui
