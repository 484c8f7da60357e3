#include "ui/viewer/rom_viewer_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include <tuple>

#include "app/state.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "ui/search/masked_search_window.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/layout_keys.h"
#include "ui/shell/menu_keys.h"
#include "ui/shell/run_command.h"
#include "ui/viewer/highlight_rules_window.h"
#include "ui/viewer/text_at_address_window.h"
#include "viewer/block_ops.h"

namespace vorkat::ui {

// One pane of the viewer: paints the rows of the page that it shows (the
// offsets, the hex digits or the text) and hands keys, clicks and the wheel
// to the window.
class ViewerPane : public QWidget {
 public:
  enum Kind { Offsets, Hex, Text };

  ViewerPane(ROMView* view, Kind kind, const char* objectName) : QWidget(view), view_(view), kind_(kind) {
    setObjectName(QLatin1String(objectName));
    setFocusPolicy(kind == Offsets ? Qt::NoFocus : Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kind == Offsets ? 20 : 80, 60);
  }

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* event) override { view_->HandleKey(event, kind_ == Hex); }
  void mousePressEvent(QMouseEvent* event) override {
    if (kind_ == Offsets) return;
    setFocus();
    view_->ClickCell(kind_ == Hex, event->position().toPoint(), event->modifiers() & Qt::ShiftModifier);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (kind_ != Offsets && (event->buttons() & Qt::LeftButton))
      view_->DragTo(kind_ == Hex, event->position().toPoint());
  }
  void wheelEvent(QWheelEvent* event) override {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) view_->Wheel(steps);
  }
  void resizeEvent(QResizeEvent*) override {
    if (kind_ == Hex) view_->Relayout();
  }
  bool focusNextPrevChild(bool) override { return false; }  // Tab is not a viewer key; keep it here

 private:
  void PaintCellRange(QPainter& painter, std::int32_t from, std::int32_t to, const QColor& colour) const;

  ROMView* view_;
  Kind kind_;
};

namespace {

constexpr int kMargin = 3;
const QColor kBlockBackground(255, 236, 150);      // the S/E block
const QColor kSelectionBackground(170, 205, 255);  // the selection

QString Line(const std::u16string& s, std::size_t from, std::size_t count) {
  if (from >= s.size()) return {};
  count = std::min(count, s.size() - from);
  return QString::fromUtf16(s.data() + from, static_cast<qsizetype>(count));
}

}  // namespace

void ViewerPane::PaintCellRange(QPainter& painter, std::int32_t from, std::int32_t to, const QColor& colour) const {
  const ViewerModel& m = view_->model();
  const int cellWidth = view_->charWidth() * (kind_ == Hex ? m.CursorSizeInChar : 1);
  for (std::int32_t cell = from; cell < to; ++cell)
    painter.fillRect(kMargin + (cell % m.Columns) * cellWidth, kMargin + (cell / m.Columns) * view_->lineHeight(),
                     cellWidth, view_->lineHeight(), colour);
}

void ViewerPane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kind_ == Offsets ? palette().color(QPalette::Window) : QColor(Qt::white));
  painter.setFont(font());
  const ViewerModel& m = view_->model();
  const ViewerPage& page = view_->page();
  if (page.empty) return;
  const int cw = view_->charWidth(), lh = view_->lineHeight(), asc = view_->ascent();
  if (kind_ == Offsets) {
    painter.setPen(palette().color(QPalette::WindowText));
    for (std::size_t row = 0; row < page.offsets.size(); ++row)
      painter.drawText(kMargin, kMargin + static_cast<int>(row) * lh + asc, ToQ(page.offsets[row]));
    return;
  }
  const bool hex = kind_ == Hex;
  PaintCellRange(painter, page.blockFrom, page.blockTo, kBlockBackground);
  PaintCellRange(painter, page.selectedFrom, page.selectedTo, kSelectionBackground);
  const auto columns = static_cast<std::size_t>(m.Columns);
  const auto cellChars = static_cast<std::size_t>(hex ? m.CursorSizeInChar : 1);
  const std::size_t cursorCell =
      static_cast<std::size_t>(m.CursorRow) * columns + static_cast<std::size_t>(m.CursorColumn);
  const std::size_t cursorFrom = cursorCell * cellChars;
  const std::size_t cursorTo = cursorFrom + (hex ? cellChars - 1 : 1);  // the digits, not the blank
  const std::u16string& text = hex ? page.hex : page.text;
  QFont underlined = font();
  underlined.setUnderline(true);
  for (int row = 0; row < m.Rows; ++row) {
    const std::size_t rowFrom = static_cast<std::size_t>(row) * columns * cellChars;
    if (rowFrom >= text.size()) break;
    const std::size_t rowTo = std::min(text.size(), rowFrom + columns * cellChars);
    const int baseline = kMargin + row * lh + asc;
    // Runs of one colour; the cursor is a run of its own.
    std::size_t runStart = rowFrom;
    auto colourAt = [&](std::size_t i) -> std::int64_t {
      if (i >= cursorFrom && i < cursorTo) return -1;
      return hex ? static_cast<std::int64_t>(page.hexColours[i]) : 0;
    };
    for (std::size_t i = rowFrom + 1; i <= rowTo; ++i) {
      if (i < rowTo && colourAt(i) == colourAt(runStart)) continue;
      const std::int64_t colour = colourAt(runStart);
      painter.setFont(colour < 0 ? underlined : font());
      painter.setPen(colour < 0 ? FromBgr(kViewerCursorColour) : FromBgr(static_cast<std::uint32_t>(colour)));
      painter.drawText(kMargin + static_cast<int>(runStart - rowFrom) * cw, baseline,
                       Line(text, runStart, i - runStart));
      runStart = i;
    }
  }
}

ROMView::ROMView(AppState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("ROMView"));
  ResizeWithinScreen(this, QSize(860, 560));

  QFont mono(QStringLiteral("Courier New"));
  mono.setStyleHint(QFont::TypeWriter);
  mono.setFixedPitch(true);
  if (!QFontInfo(mono).fixedPitch()) mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);

  offsetPane_ = new ViewerPane(this, ViewerPane::Offsets, "OffsetView");
  hexPane_ = new ViewerPane(this, ViewerPane::Hex, "HexView");
  textPane_ = new ViewerPane(this, ViewerPane::Text, "TxtView");
  for (ViewerPane* pane : {offsetPane_, hexPane_, textPane_}) pane->setFont(mono);
  // Measured in the font the panes paint with (the window's size filled in).
  const QFontMetrics metrics(hexPane_->font());
  charWidth_ = std::max(metrics.horizontalAdvance(QLatin1Char('0')), 1);
  lineHeight_ = std::max(metrics.lineSpacing(), 1);
  ascent_ = metrics.ascent();
  textPane_->setFocusPolicy(Qt::ClickFocus);
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setObjectName(QStringLiteral("VScroll1"));
  scroll_->setRange(0, 100);

  jumpList_ = new QComboBox(this);
  jumpList_->setObjectName(QStringLiteral("JumpList"));
  jumpList_->setEditable(true);
  jumpList_->setMinimumWidth(120);
  jumpList_->setToolTip(QStringLiteral("Выбирай адрес куда прыгаем, или напиши руками..."));
  auto* go = Button(this, "btnJumpToAddr", QStringLiteral("GoTo"));
  go->setToolTip(QStringLiteral("Прыгнуть по указанному адресу"));
  auto* follow = Button(this, "ptrjump", QStringLiteral(">"));
  follow->setToolTip(QStringLiteral("Прыгнуть туда, куда СМОТРИТ УКАЗАТЕЛЬ из этого смещения"));
  auto* back = Button(this, "jmpback", QStringLiteral("<"));
  back->setToolTip(QStringLiteral("Отскочить назад"));
  auto* loadJumps = Button(this, "ShowJumps", QStringLiteral("JumpList"));
  showOrig_ = new QCheckBox(QStringLiteral("Показывать оригинал а не исправленный ROM"), this);
  showOrig_->setObjectName(QStringLiteral("ShowOrigHexes"));
  showDiff_ = new QCheckBox(QStringLiteral("Показывать отличия от оригинала"), this);
  showDiff_->setObjectName(QStringLiteral("ShowDiff"));
  highlights_ = new QComboBox(this);
  highlights_->setObjectName(QStringLiteral("HighLView"));
  auto* setHighlights = Button(this, "SetHighL", QStringLiteral("..."));
  cursorStatus_ = new QLabel(this);
  cursorStatus_->setObjectName(QStringLiteral("Text1"));
  blockStatus_ = new QLabel(this);
  blockStatus_->setObjectName(QStringLiteral("statusline"));

  auto* jumpLabel = new QLabel(QStringLiteral("адреса для прыга"), this);
  jumpLabel->setBuddy(jumpList_);
  auto* highlightLabel = new QLabel(QStringLiteral("Что светить"), this);
  highlightLabel->setBuddy(highlights_);
  // Two rows of controls, so that the window fits a small (or scaled) screen.
  auto* controls = ButtonRow({jumpLabel, jumpList_, go, follow, back, loadJumps}, {});
  auto* checks = ButtonRow({highlightLabel, highlights_, setHighlights}, {});
  auto* originals = new QVBoxLayout;
  originals->addWidget(showOrig_);
  originals->addWidget(showDiff_);
  checks->insertLayout(3, originals);
  auto* panes = new QHBoxLayout;
  panes->addWidget(offsetPane_);
  panes->addWidget(hexPane_, 7);
  panes->addWidget(textPane_, 3);
  panes->addWidget(scroll_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(checks);
  layout->addLayout(panes, 1);
  layout->addWidget(cursorStatus_);
  layout->addWidget(blockStatus_);
  BuildMenus();
  for (QPushButton* b : {go, follow, back, loadJumps, setHighlights}) b->setAutoDefault(false);

  connect(go, &QPushButton::clicked, this, [this] {
    JumpToText(state_, model_, FromQ(jumpList_->currentText()));
    Redraw();
  });
  connect(jumpList_, &QComboBox::activated, this, [this] {
    JumpToText(state_, model_, FromQ(jumpList_->currentText()));
    Redraw();
  });
  connect(follow, &QPushButton::clicked, this, [this] {
    FollowPointer(state_, model_, FromQ(jumpList_->currentText()));
    Redraw();
  });
  connect(back, &QPushButton::clicked, this, [this] {
    JumpBack(state_, model_);
    Redraw();
  });
  connect(loadJumps, &QPushButton::clicked, this, &ROMView::LoadJumpListFile);
  connect(setHighlights, &QPushButton::clicked, this, &ROMView::EditHighlights);
  connect(showDiff_, &QCheckBox::toggled, this, &ROMView::DiffToggled);
  connect(showOrig_, &QCheckBox::toggled, this, &ROMView::OriginalToggled);
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int position) {
    if (syncingScroll_) return;
    ScrollTo(state_, model_, position);
    Redraw();
  });
}

void ROMView::BuildMenus() {
  auto* bar = new QMenuBar(this);
  layout()->setMenuBar(bar);
  auto add = [this](QMenu* menu, const char* name, const QString& caption, auto&& slot) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  QMenu* file = bar->addMenu(QStringLiteral("File"));
  add(file, "menuReloadRom", QStringLiteral("Reload ROM"), [this] {
    RunCommand(state_, [&] {
      OpenRom(state_, state_.rom.fileName);
      Redraw();
    });
  });
  add(file, "menuRefreshView", QStringLiteral("Refresh view"), [this] {
    model_.CursorRow = model_.CursorColumn = 0;
    FormLoad();
  });
  add(file, "menuRefreshAll", QStringLiteral("Refresh All"), [this] { FormLoad(); });
  QMenu* view = bar->addMenu(QStringLiteral("View"));
  add(view, "menuJumpTo", QStringLiteral("Jump to"), [this] { AskJumpTo(); });
  add(view, "menuLoadJumpList", QStringLiteral("Load Jump List"), [this] { LoadJumpListFile(); });
  QMenu* edit = bar->addMenu(QStringLiteral("Edit"));
  add(edit, "menuSetBlockStartAddr", QStringLiteral("Set Block Start Address (S)"), [this] {
    PressViewerKey(state_, model_, ViewerKey::SetBlockStart);
    Redraw();
  });
  add(edit, "menuSetBlockEndAddr", QStringLiteral("Set Block End Address (E)"), [this] {
    PressViewerKey(state_, model_, ViewerKey::SetBlockEnd);
    Redraw();
  });
  add(edit, "menuDumpBlock", QStringLiteral("Dump Block as Dialog (D)"),
      [this] { RunBlockCommand(DumpBlockAsDialog); });
  add(edit, "menuWriteBlock", QStringLiteral("Write Block to file (W)"), [this] { RunBlockCommand(WriteBlockToFile); });
  add(edit, "AppendBlockToFile", QStringLiteral("Append Block to file (A)"),
      [this] { RunBlockCommand(AppendBlockToFile); });
  textSelection_ = add(edit, "menuEnableTextSelection", QStringLiteral("Разрешить выделение текста"), [this](bool on) {
    textPane_->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
    if (!on && textPane_->hasFocus()) hexPane_->setFocus();
    if (!on) {
      model_.selectionAnchor = -1;
      Redraw();
    }
  });
  textSelection_->setCheckable(true);
  add(edit, "menuCopySelection", QStringLiteral("Копировать выделенное"), [this] {
    CopySelection(QApplication::focusWidget() != textPane_);
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  useTable_ = add(edit, "menuUseTrTable", QStringLiteral("Использовать таблицу (U)"), [this] { ToggleTable(); });
  useTable_->setCheckable(true);
  add(edit, "menuDirectVorkatText", QStringLiteral("Втавить строку байт (INS)"), [this] { OpenDirectText(); });
  // Takes back the bytes written by hand, the newest first.
  add(edit, "menuUndoBytes", QStringLiteral("Отменить запись байт"), [this] {
    if (!RunCommand(state_, [&] { UndoRomEdit(state_); })) QApplication::beep();
    Redraw();
  })->setShortcut(QKeySequence::Undo);
  AddMnemonics(bar);
  FocusMenuBarWithF10(this, bar);
}

void ROMView::showEvent(QShowEvent* event) {
  // A window shown again after it was closed starts afresh; restoring it
  // from the task bar does not.
  if (!event->spontaneous()) FormLoad();
  QWidget::showEvent(event);
  hexPane_->setFocus();
}

void ROMView::FormLoad() {
  ResetViewer(state_, model_);
  useTable_->setChecked(model_.UseTrTable);
  setWindowTitle(QStringLiteral("VorkatFile Viewer (") + ToQ(state_.rom.fileName) + QStringLiteral(")"));
  ShowHighlightRules();
  Relayout();
}

void ROMView::Relayout() {
  if (isMinimized()) return;
  const int chars = (hexPane_->width() - 2 * kMargin) / charWidth_;
  const int lines = (hexPane_->height() - 2 * kMargin) / lineHeight_;
  LayOutViewer(state_, model_, chars, lines);
  Redraw();
}

void ROMView::Redraw() {
  page_ = FillView(state_, model_);
  cursorStatus_->setText(ToQ(CursorStatusText(model_)));
  blockStatus_->setText(ToQ(BlockStatusText(model_)));
  if (!page_.offsets.empty())
    offsetPane_->setFixedWidth(static_cast<int>(page_.offsets.front().size() + 1) * charWidth_ + 2 * kMargin);
  syncingScroll_ = true;
  scroll_->setValue(ScrollPosition(model_));
  syncingScroll_ = false;
  hexPane_->update();
  textPane_->update();
}

void ROMView::JumpListChanged() {
  jumpList_->clear();
  QStringList items;
  items.reserve(static_cast<qsizetype>(model_.jumpList.size()));
  for (const std::u16string& entry : model_.jumpList) items << ToQ(entry);
  jumpList_->addItems(items);
}

void ROMView::HandleKey(QKeyEvent* event, bool hexPane) {
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  // Letters are matched by the key whatever the keyboard layout.
  const int letter = LatinLetterKey(event);
  if (letter == Qt::Key_C && (modifiers & Qt::ControlModifier)) {
    CopySelection(hexPane);
    return;
  }
  const bool modifier = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  // With text selection allowed, Shift and a move key select.
  const bool selecting = textSelection_->isChecked() && modifiers == Qt::ShiftModifier;
  auto press = [&](ViewerKey key) {
    if (selecting)
      ExtendSelection(state_, model_, key);
    else
      PressViewerKey(state_, model_, key, modifier);
  };
  // The letter commands are the plain keys (Alt + a letter opens a menu).
  const bool plainKey = !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
  switch (plainKey ? letter : 0) {
    case Qt::Key_S: PressViewerKey(state_, model_, ViewerKey::SetBlockStart); break;
    case Qt::Key_E: PressViewerKey(state_, model_, ViewerKey::SetBlockEnd); break;
    case Qt::Key_U: ToggleTable(); return;
    case Qt::Key_A: RunBlockCommand(AppendBlockToFile); return;
    case Qt::Key_D: RunBlockCommand(DumpBlockAsDialog); return;
    case Qt::Key_W: RunBlockCommand(WriteBlockToFile); return;
    default:
      switch (event->key()) {
        case Qt::Key_Insert: OpenDirectText(); return;
        case Qt::Key_F7: OpenSearch(); return;
        case Qt::Key_Escape: PressViewerKey(state_, model_, ViewerKey::ClearBlock); break;
        case Qt::Key_Up: press(ViewerKey::Up); break;
        case Qt::Key_Down: press(ViewerKey::Down); break;
        case Qt::Key_Left: press(ViewerKey::Left); break;
        case Qt::Key_Right: press(ViewerKey::Right); break;
        case Qt::Key_PageUp: press(ViewerKey::PageUp); break;
        case Qt::Key_PageDown: press(ViewerKey::PageDown); break;
        case Qt::Key_Home: press(ViewerKey::Home); break;
        case Qt::Key_End: press(ViewerKey::End); break;
        default: event->ignore(); return;
      }
  }
  Redraw();
}

std::optional<std::pair<int, int>> ROMView::CellAt(bool hexPane, QPoint at) const {
  const int cellWidth = charWidth_ * (hexPane ? model_.CursorSizeInChar : 1);
  const int column = (at.x() - kMargin) / cellWidth, row = (at.y() - kMargin) / lineHeight_;
  if (at.x() < kMargin || at.y() < kMargin || column >= model_.Columns || row >= model_.Rows) return std::nullopt;
  if (row * model_.Columns + column >= page_.cells) return std::nullopt;
  return std::pair{row, column};
}

void ROMView::ClickCell(bool hexPane, QPoint at, bool extend) {
  const auto cell = CellAt(hexPane, at);
  if (!cell) return;
  const bool selecting = extend && textSelection_->isChecked();
  const std::int32_t anchor = model_.selectionAnchor >= 0 ? model_.selectionAnchor : CursorAddress(model_);
  std::tie(model_.CursorRow, model_.CursorColumn) = *cell;
  model_.selectionAnchor = selecting ? anchor : -1;
  Redraw();
}

void ROMView::DragTo(bool hexPane, QPoint at) {
  if (!textSelection_->isChecked()) return;
  const auto cell = CellAt(hexPane, at);
  if (!cell || *cell == std::pair{model_.CursorRow, model_.CursorColumn}) return;
  if (model_.selectionAnchor < 0) model_.selectionAnchor = CursorAddress(model_);
  std::tie(model_.CursorRow, model_.CursorColumn) = *cell;
  Redraw();
}

void ROMView::CopySelection(bool hexPane) {
  if (model_.selectionAnchor < 0) return;
  const std::u16string text = hexPane ? SelectedHex(state_, model_) : SelectedText(state_, model_);
  QApplication::clipboard()->setText(ToQ(text));
}

void ROMView::Wheel(int steps) {
  if (steps > 0)
    ScrollUp(state_, model_, steps * 3);
  else
    ScrollDown(state_, model_, -steps * 3);
  Redraw();
}

void ROMView::RunBlockCommand(void (*operation)(CodecState, ViewerModel&)) {
  if (RunCommand(state_, [&] { operation(state_, model_); })) Redraw();
}

void ROMView::LoadJumpListFile() {
  const std::u16string name =
      AskFileName(state_, false, u"Выбери файл с адресами",
                  u"Спец. логи вставки (*.log)|*.log\r\nЛоги поиска указателей (*.txt)|*.txt\r\n"
                  u"Все файлы (*.*)|*.*");
  if (name.empty()) return;
  if (LoadJumpList(state_, model_, name)) JumpListChanged();
}

void ROMView::AskJumpTo() {
  const auto answer = AskTypedNumber(state_, u"куда прыгаем", u"Vorkat", u"&H");
  if (!answer) return;
  JumpToText(state_, model_, DecText(*answer), false);
  Redraw();
}

void ROMView::OpenDirectText() {
  if (IsBusy(state_)) return;
  VorkatTextForm form(state_, CursorAddress(model_), this);
  form.exec();
  Redraw();
}

void ROMView::OpenSearch() { OpenOrRaise<MaskedSrchForm>(parentWidget(), state_, "MaskedSrchForm"); }

void ROMView::EditHighlights() {
  HighLColorEditForm form(state_, model_, this);
  form.exec();
  ShowHighlightRules();
  Redraw();
  hexPane_->setFocus();
}

void ROMView::ShowHighlightRules() {
  if (model_.HighLightThat.empty()) return;
  highlights_->clear();
  for (const std::u16string& line : SplitCrLf(model_.HighLightThat)) highlights_->addItem(ToQ(line));
  highlights_->setCurrentIndex(0);
}

void ROMView::DiffToggled(bool on) {
  if (on && !state_.originalRom.isLoaded) {
    AppendLog(state_, u"Сначала нужно загрузить оригинальный ROM");
    showDiff_->setChecked(false);
    return;
  }
  model_.ShowDiff = on;
  Redraw();
}

void ROMView::OriginalToggled(bool on) {
  if (on && !state_.originalRom.isLoaded) {
    AppendLog(state_, u"Сначала нужно загрузить оригинальный ROM");
    showOrig_->setChecked(false);
    return;
  }
  model_.ShowOrigHexes = on;
  Redraw();
}

void ROMView::ToggleTable() {
  PressViewerKey(state_, model_, ViewerKey::ToggleTable);
  useTable_->setChecked(model_.UseTrTable);
  Redraw();
}

}  // namespace vorkat::ui
