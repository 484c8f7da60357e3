#include "ui/tiles/rom_tiles_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "core/text.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {

// The painted tiles: the visible page only, scaled by the zoom, with the
// selection's frame; keys and the mouse go to the form.
class TileCanvas : public QWidget {
 public:
  explicit TileCanvas(RomTilesForm* form) : QWidget(form), form_(form) {
    setObjectName(QStringLiteral("picTiles"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(256, 256);
  }

  int PageRows() const { return VisibleRows(form_->view(), height()); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const TileView& view = form_->view();
    const int rows = PageRows();
    const TilePage page = FillTilePage(form_->data(), view, rows);
    QImage image(page.pixels.pixels.data(), page.pixels.width, page.pixels.height, page.pixels.width,
                 QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (const Rgb& c : form_->palette()) colours.push_back(qRgb(c.r, c.g, c.b));
    while (colours.size() < 256) colours.push_back(qRgb(0, 0, 0));
    image.setColorTable(colours);
    const int zoom = std::max(view.zoom, 1);
    p.drawImage(QRect(0, 0, image.width() * zoom, image.height() * zoom), image);
    if (const auto& sel = form_->selection()) {
      if (auto shown = VisibleSelection(view, rows, *sel)) {
        const int cw = kTileSide * zoom, ch = view.layout.CellHeight() * zoom;
        p.setPen(QPen(Qt::red, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(shown->col * cw, shown->row * ch, shown->cols * cw - 1, shown->rows * ch - 1);
      }
    }
  }

  void keyPressEvent(QKeyEvent* e) override {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
      case Qt::Key_Right: form_->Move(ctrl ? TileStep::Byte : TileStep::Tile, +1, PageRows()); break;
      case Qt::Key_Left: form_->Move(ctrl ? TileStep::Byte : TileStep::Tile, -1, PageRows()); break;
      case Qt::Key_Down: form_->Move(TileStep::Row, +1, PageRows()); break;
      case Qt::Key_Up: form_->Move(TileStep::Row, -1, PageRows()); break;
      case Qt::Key_PageDown: form_->Move(TileStep::Page, +1, PageRows()); break;
      case Qt::Key_PageUp: form_->Move(TileStep::Page, -1, PageRows()); break;
      default: QWidget::keyPressEvent(e); return;
    }
    update();
  }

  void mousePressEvent(QMouseEvent* e) override {
    anchor_ = CellUnder(e->position().toPoint());
    if (anchor_) form_->Select(SelectionBetween(form_->view(), *anchor_, *anchor_));
    update();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!anchor_) return;
    if (auto cell = CellUnder(e->position().toPoint())) {
      form_->Select(SelectionBetween(form_->view(), *anchor_, *cell));
      update();
    }
  }
  void mouseReleaseEvent(QMouseEvent*) override { anchor_.reset(); }

 private:
  std::optional<CellRect> CellUnder(QPoint at) const {
    const int zoom = std::max(form_->view().zoom, 1);
    return CellAt(form_->view(), PageRows(), at.x() / zoom, at.y() / zoom);
  }

  RomTilesForm* form_;
  std::optional<CellRect> anchor_;
};

namespace {

constexpr std::u16string_view kPngFilters = u"PNG (*.png)|*.png\r\nAll Files (*.*)|*.*";

QString HexQ(std::int64_t v) { return ToQ(u"&h" + HexText(static_cast<std::uint64_t>(v))); }

}  // namespace

RomTilesForm::RomTilesForm(AppState& state, QWidget* parent) : StateWindow<QWidget>(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("RomTilesForm"));
  setWindowTitle(QStringLiteral("Тайлы ROM'а"));
  offset_ = TextField(this, "fldTilesOffset", QStringLiteral("&h0"));
  format_ = new QComboBox(this);
  format_->setObjectName(QStringLiteral("cmbTileFormat"));
  for (TileFormat f : {TileFormat::GB1, TileFormat::GB2, TileFormat::GBA4, TileFormat::GBA8})
    format_->addItem(ToQ(TileFormatName(f)), static_cast<int>(f));
  format_->setCurrentIndex(2);
  perRow_ = TextField(this, "fldTilesPerRow", QStringLiteral("16"));
  tileHeight_ = new QComboBox(this);
  tileHeight_->setObjectName(QStringLiteral("cmbTileHeight"));
  tileHeight_->addItems({QStringLiteral("8"), QStringLiteral("16")});
  paletteKind_ = new QComboBox(this);
  paletteKind_->setObjectName(QStringLiteral("cmbPalette"));
  paletteKind_->addItems({QStringLiteral("Серая шкала"), QStringLiteral("BGR555 из ROM'а")});
  paletteOffset_ = TextField(this, "fldPaletteOffset", QStringLiteral("&h0"));
  zoom_ = new QSpinBox(this);
  zoom_->setObjectName(QStringLiteral("spnZoom"));
  zoom_->setRange(1, 8);
  zoom_->setValue(2);
  lz77_ = new QCheckBox(QStringLiteral("Сжато LZ77 (адрес - начало блока)"), this);
  lz77_->setObjectName(QStringLiteral("chkLz77"));
  freeStart_ = TextField(this, "fldTilesFreeStart");
  freeEnd_ = TextField(this, "fldTilesFreeEnd");
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("lblTilesStatus"));
  canvas_ = new TileCanvas(this);
  auto* apply = Button(this, "btnTilesApply", QStringLiteral("Показать"));
  auto* exportButton = Button(this, "btnTilesExport", QStringLiteral("Экспорт в PNG"));
  auto* importButton = Button(this, "btnTilesImport", QStringLiteral("Импорт из PNG"));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Адрес"), offset_, apply);
  AddRow(grid, QStringLiteral("Формат"), format_);
  AddRow(grid, QStringLiteral("Тайлов в строке"), perRow_);
  AddRow(grid, QStringLiteral("Высота тайла"), tileHeight_);
  AddRow(grid, QStringLiteral("Палитра"), paletteKind_);
  AddRow(grid, QStringLiteral("Адрес палитры"), paletteOffset_);
  AddRow(grid, QStringLiteral("Увеличение"), zoom_);
  grid->addWidget(lz77_, grid->rowCount(), 0, 1, 2);
  AddRow(grid, QStringLiteral("Свободно с"), freeStart_);
  AddRow(grid, QStringLiteral("Свободно по"), freeEnd_);
  auto* side = new QVBoxLayout;
  side->addLayout(grid);
  side->addWidget(
      new QLabel(QStringLiteral("Стрелки: тайл и строка, Ctrl+стрелки: байт,\nPgUp/PgDn: страница, мышь: выделение"),
                 this));
  side->addStretch();
  side->addLayout(ButtonRow({exportButton, importButton}, {}));
  side->addLayout(ButtonRow({}, {CloseButton(this)}));
  auto* top = new QHBoxLayout;
  top->addWidget(canvas_, 1);
  top->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(status_);

  connect(apply, &QPushButton::clicked, this, [this] {
    ApplyOptions();
    canvas_->setFocus();
  });
  connect(offset_, &QLineEdit::returnPressed, this, &RomTilesForm::ApplyOptions);
  for (QComboBox* box : {format_, tileHeight_, paletteKind_})
    connect(box, &QComboBox::currentIndexChanged, this, &RomTilesForm::ApplyOptions);
  connect(zoom_, &QSpinBox::valueChanged, this, &RomTilesForm::ApplyOptions);
  connect(lz77_, &QCheckBox::toggled, this, &RomTilesForm::ApplyOptions);
  connect(exportButton, &QPushButton::clicked, this, &RomTilesForm::Export);
  connect(importButton, &QPushButton::clicked, this, &RomTilesForm::Import);
  ResizeWithinScreen(this, QSize(860, 600));
}

void RomTilesForm::LoadFields() { ApplyOptions(); }

std::span<const std::uint8_t> RomTilesForm::data() const {
  if (lzBlock_) return blockData_;
  return state_.rom.view();
}

void RomTilesForm::ApplyOptions() {
  view_.layout.format = static_cast<TileFormat>(format_->currentData().toInt());
  view_.layout.tileHeight = tileHeight_->currentIndex() == 1 ? 16 : 8;
  view_.perRow = std::clamp(ReadInt(FromQ(perRow_->text())), 1, 256);
  view_.zoom = zoom_->value();
  const std::int64_t offset = std::max(ReadInt(FromQ(offset_->text())), 0);
  const std::optional<std::int64_t> block = lz77_->isChecked() ? std::optional<std::int64_t>(offset) : std::nullopt;
  // The block is read again each time: an import may have changed it.
  const std::optional<std::int64_t> previous = lzBlock_;
  blockData_.clear();
  lzBlock_.reset();
  if (block && state_.rom.isLoaded) {
    if (auto read = ReadLz77Block(state_, state_.rom.view(), *block)) {
      blockData_ = std::move(read->data);
      lzBlock_ = block;
    }
  }
  if (!block)
    view_.offset = offset;
  else if (lzBlock_ != previous)
    view_.offset = 0;
  const int colours = TileColours(view_.layout.format);
  palette_ = GreyRamp(colours);
  if (paletteKind_->currentIndex() == 1) {
    if (auto rom = ReadBgr555Palette(state_.rom.view(), ReadInt(FromQ(paletteOffset_->text())), colours))
      palette_ = *rom;
  }
  ShowStatus();
  canvas_->update();
}

void RomTilesForm::Move(TileStep step, int direction, int pageRows) {
  view_.offset = MoveOffset(view_, step, direction, pageRows, static_cast<std::int64_t>(data().size()));
  if (!lzBlock_) offset_->setText(HexQ(view_.offset));
  ShowStatus();
}

void RomTilesForm::Select(const TileSelection& selection) {
  selection_ = selection;
  ShowStatus();
}

void RomTilesForm::ShowStatus() {
  QString text = (lzBlock_ ? QStringLiteral("Блок LZ77 %1 (%2 байт), адрес в блоке %3")
                                 .arg(HexQ(*lzBlock_))
                                 .arg(blockData_.size())
                                 .arg(HexQ(view_.offset))
                           : QStringLiteral("Адрес %1").arg(HexQ(view_.offset)));
  if (selection_)
    text += QStringLiteral("; выделено %1x%2 клеток с %3")
                .arg(selection_->cols)
                .arg(selection_->rows)
                .arg(HexQ(selection_->first));
  status_->setText(text);
}

std::optional<TileSheetJob> RomTilesForm::SelectionJob() {
  if (!RequireRom(state_)) return std::nullopt;
  if (!selection_) {
    AppendLog(state_, u"Тайлы не выделены: выдели прямоугольник мышью", kColourDarkRed);
    return std::nullopt;
  }
  TileSheetJob job;
  job.layout = view_.layout;
  job.cells =
      CellRectOffsets(selection_->first, view_.perRow, view_.layout.CellBytes(), selection_->rows, selection_->cols);
  job.columns = selection_->cols;
  job.palette = palette_;
  job.lz77Block = lzBlock_;
  return job;
}

void RomTilesForm::Export() {
  RunCommand(state_, [this] {
    auto job = SelectionJob();
    if (!job) return;
    const std::u16string name = AskFileName(state_, true, u"Сохранить тайлы в PNG", kPngFilters);
    if (!name.empty()) ExportTileSheet(state_, *job, name);
  });
}

void RomTilesForm::Import() {
  RunCommand(state_, [this] {
    auto job = SelectionJob();
    if (!job) return;
    const std::u16string name = AskFileName(state_, false, u"Загрузить тайлы из PNG", kPngFilters);
    if (name.empty()) return;
    const Lz77Room room{ReadInt(FromQ(freeStart_->text())), ReadInt(FromQ(freeEnd_->text()))};
    std::int64_t blockAt = 0;
    if (!ImportTileSheet(state_, *job, name, room, &blockAt)) return;
    // A moved block is shown at its new place.
    if (lzBlock_ && blockAt != *lzBlock_) {
      offset_->setText(HexQ(blockAt));
      lzBlock_ = blockAt;
    }
    ApplyOptions();
  });
}

}  // namespace vorkat::ui
