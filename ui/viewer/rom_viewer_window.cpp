#include "ui/viewer/rom_viewer_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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

#include "app/state.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "ui/search/masked_search_window.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"
#include "ui/viewer/highlight_rules_window.h"
#include "ui/viewer/text_at_address_window.h"
#include "viewer/block_ops.h"

namespace vorkat::ui {

// One pane of the viewer: paints the rows of the page that it shows and
// hands keys, clicks and the wheel to the window.
class ViewerPane : public QWidget {
 public:
  ViewerPane(ROMView* view, bool hex, const char* objectName) : QWidget(view), view_(view), hex_(hex) {
    setObjectName(QLatin1String(objectName));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(80, 60);
  }

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* event) override { view_->HandleKey(event); }
  void mousePressEvent(QMouseEvent* event) override {
    setFocus();
    view_->ClickCell(hex_, event->position().toPoint());
  }
  void wheelEvent(QWheelEvent* event) override {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) view_->Wheel(steps);
  }
  void resizeEvent(QResizeEvent*) override {
    if (hex_) view_->Relayout();
  }
  bool focusNextPrevChild(bool) override { return false; }  // Tab is not a viewer key; keep it here

 private:
  ROMView* view_;
  bool hex_;
};

namespace {

constexpr int kMargin = 3;


QString Line(const std::u16string& s, std::size_t from, std::size_t count) {
  if (from >= s.size()) return {};
  count = std::min(count, s.size() - from);
  return QString::fromUtf16(s.data() + from, static_cast<qsizetype>(count));
}

}  // namespace

void ViewerPane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setFont(font());
  const ViewerModel& m = view_->model();
  const ViewerPage& page = view_->page();
  if (page.empty) return;
  const int cw = view_->charWidth(), lh = view_->lineHeight(), asc = view_->ascent();
  const auto columns = static_cast<std::size_t>(m.Columns);
  const auto cellChars = static_cast<std::size_t>(hex_ ? m.CursorSizeInChar : 1);
  const std::size_t cursorCell =
      static_cast<std::size_t>(m.CursorRow) * columns + static_cast<std::size_t>(m.CursorColumn);
  const std::size_t cursorFrom = cursorCell * cellChars;
  const std::size_t cursorTo = cursorFrom + (hex_ ? cellChars - 1 : 1);  // the digits, not the blank
  const std::u16string& text = hex_ ? page.hex : page.text;
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
      return hex_ ? static_cast<std::int64_t>(page.hexColours[i]) : 0;
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
  resize(860, 560);

  QFont mono(QStringLiteral("Courier New"));
  mono.setStyleHint(QFont::TypeWriter);
  mono.setFixedPitch(true);
  if (!QFontInfo(mono).fixedPitch()) mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics metrics(mono);
  charWidth_ = std::max(metrics.horizontalAdvance(QLatin1Char('0')), 1);
  lineHeight_ = std::max(metrics.lineSpacing(), 1);
  ascent_ = metrics.ascent();

  hexPane_ = new ViewerPane(this, true, "HexView");
  textPane_ = new ViewerPane(this, false, "TxtView");
  hexPane_->setFont(mono);
  textPane_->setFont(mono);
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
  auto* controls = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{jumpLabel, jumpList_, go, follow, back, loadJumps, highlightLabel,
                                                    highlights_, setHighlights})
    controls->addWidget(w);
  controls->addStretch();
  auto* checks = ButtonRow({showOrig_, showDiff_}, {});
  auto* panes = new QHBoxLayout;
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
  });
  textSelection_->setCheckable(true);
  useTable_ = add(edit, "menuUseTrTable", QStringLiteral("Использовать таблицу (U)"), [this] { ToggleTable(); });
  useTable_->setCheckable(true);
  add(edit, "menuDirectVorkatText", QStringLiteral("Втавить строку байт (INS)"), [this] { OpenDirectText(); });
  // Takes back the bytes written by hand, the newest first.
  add(edit, "menuUndoBytes", QStringLiteral("Отменить запись байт"), [this] {
    if (!RunCommand(state_, [&] { UndoRomEdit(state_); })) QApplication::beep();
    Redraw();
  })->setShortcut(QKeySequence::Undo);
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

void ROMView::HandleKey(QKeyEvent* event) {
  const bool modifier = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  auto press = [&](ViewerKey key) { PressViewerKey(state_, model_, key, modifier); };
  switch (event->key()) {
    case Qt::Key_Insert: OpenDirectText(); return;
    case Qt::Key_F7: OpenSearch(); return;
    case Qt::Key_S: press(ViewerKey::SetBlockStart); break;
    case Qt::Key_E: press(ViewerKey::SetBlockEnd); break;
    case Qt::Key_Escape: press(ViewerKey::ClearBlock); break;
    case Qt::Key_U: ToggleTable(); return;
    case Qt::Key_A: RunBlockCommand(AppendBlockToFile); return;
    case Qt::Key_D: RunBlockCommand(DumpBlockAsDialog); return;
    case Qt::Key_W: RunBlockCommand(WriteBlockToFile); return;
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
  Redraw();
}

void ROMView::ClickCell(bool hexPane, QPoint at) {
  const int cellWidth = charWidth_ * (hexPane ? model_.CursorSizeInChar : 1);
  const int column = (at.x() - kMargin) / cellWidth, row = (at.y() - kMargin) / lineHeight_;
  if (column < 0 || row < 0 || column >= model_.Columns || row >= model_.Rows) return;
  if (row * model_.Columns + column >= page_.cells) return;
  model_.CursorRow = row;
  model_.CursorColumn = column;
  Redraw();
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
