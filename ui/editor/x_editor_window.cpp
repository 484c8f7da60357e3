#include "ui/editor/x_editor_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QStatusBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/runtime.h"
#include "editor/dialog_props.h"
#include "editor/editor_search.h"
#include "editor/editor_text.h"
#include "editor/mass_edit.h"
#include "font/font_commands.h"
#include "script/dialog_undo.h"
#include "script/dialogs_file.h"
#include "ui/editor/dialog_list_model.h"
#include "ui/editor/dialog_properties_window.h"
#include "ui/font/text_preview_window.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/layout_keys.h"
#include "ui/shell/menu_keys.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {

// The ruler's vertical line, drawn over the text box; it lets clicks through.
class RulerLine : public QWidget {
 public:
  explicit RulerLine(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }
  void SetX(int x) {
    x_ = x;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    p.drawLine(x_, 0, x_, height());
  }

 private:
  int x_ = 0;
};

namespace {

// The text box holds a dialog's CR LF pairs as paragraph breaks; a lone LF
// as a line separator and a lone CR as the visible symbol for CR, so that
// every text comes back from the box as it went in.
constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kCrSymbol = 0x240D;

QString ToBox(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      out.push_back(u'\n');
      ++i;
    } else if (c == u'\n') {
      out.push_back(kLineSeparator);
    } else if (c == u'\r') {
      out.push_back(kCrSymbol);
    } else {
      out.push_back(c);
    }
  }
  return ToQ(out);
}

std::u16string FromBox(const QString& raw) {
  std::u16string out;
  out.reserve(static_cast<std::size_t>(raw.size()));
  for (QChar qc : raw) {
    const char16_t c = qc.unicode();
    if (c == kParagraphSeparator)
      out += kCrLf;
    else if (c == kLineSeparator)
      out.push_back(u'\n');
    else if (c == kCrSymbol)
      out.push_back(u'\r');
    else
      out.push_back(c);
  }
  return out;
}

// A letter matches its key whatever the keyboard layout.
bool IsKey(QKeyEvent* e, int key, Qt::KeyboardModifiers mods) {
  const int pressed = key >= Qt::Key_A && key <= Qt::Key_Z ? LatinLetterKey(e) : e->key();
  return pressed == key && (e->modifiers() & ~Qt::KeypadModifier) == mods;
}

// The replace window of the text box; nothing when cancelled.
std::optional<ReplaceRequest> AskReplace(QWidget* parent) {
  QDialog box(parent);
  box.setObjectName(QStringLiteral("ReplaceForm"));
  box.setWindowTitle(QStringLiteral("Замена"));
  auto* find = TextField(&box, "fldSearchString");
  auto* repl = TextField(&box, "fldReplaceWith");
  auto* ignoreCase = new QCheckBox(QStringLiteral("НЕ учитывать регистр"), &box);
  ignoreCase->setObjectName(QStringLiteral("chkIgnoreCase"));
  auto* changeAll = new QCheckBox(QStringLiteral("Заменять во всем тексте (в окне редактирования)"), &box);
  changeAll->setObjectName(QStringLiteral("chkChangeAll"));
  auto* start = Button(&box, "btnStart", QStringLiteral("Заменить"));
  auto* cancel = Button(&box, "btnCancel", QStringLiteral("Отмена"));
  start->setDefault(true);
  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Что искать"), find);
  AddRow(grid, QStringLiteral("На что заменить"), repl);
  auto* buttons = ButtonRow({}, {start, cancel});
  auto* layout = new QVBoxLayout(&box);
  layout->addLayout(grid);
  layout->addWidget(ignoreCase);
  layout->addWidget(changeAll);
  layout->addLayout(buttons);
  QObject::connect(start, &QPushButton::clicked, &box, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &box, &QDialog::reject);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return ReplaceRequest{FromQ(find->text()), FromQ(repl->text()), ignoreCase->isChecked(), changeAll->isChecked()};
}

}  // namespace

XEditorForm::XEditorForm(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
  setObjectName(QStringLiteral("xEditor"));
  setWindowTitle(QStringLiteral("X-Editor"));
  setWindowFlag(Qt::Window);
  ResizeWithinScreen(this, QSize(820, 620));

  auto* central = new QWidget(this);
  model_ = new DialogListModel(state_, this);
  list_ = new QListView(central);
  list_->setObjectName(QStringLiteral("lstDialogs"));
  list_->setAccessibleName(QStringLiteral("Диалоги"));
  list_->setModel(model_);
  list_->setUniformItemSizes(true);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  box_ = new QPlainTextEdit(central);
  box_->setObjectName(QStringLiteral("txtDialog"));
  box_->setAccessibleName(QStringLiteral("Текст диалога"));
  ruler_ = new QScrollBar(Qt::Horizontal, central);
  ruler_->setObjectName(QStringLiteral("HScrollRuler"));
  ruler_->setAccessibleName(QStringLiteral("Линейка"));
  rulerLine_ = new RulerLine(box_->viewport());
  accept_ = Button(central, "btnAcceptChanges", QStringLiteral("Принять изменения"));
  accept_->setEnabled(false);

  auto* layout = new QVBoxLayout(central);
  layout->addWidget(list_, 2);
  layout->addWidget(box_, 3);
  layout->addWidget(ruler_);
  auto* print = Button(central, "doPrintText", QStringLiteral("Печать"));
  auto* wrap = Button(central, "btnSetScriptLfs", QStringLiteral("Расставить переносы"));
  auto* pages = Button(central, "btnSetPages", QStringLiteral("Расставить страницы"));
  auto* row = ButtonRow({print, wrap, pages}, {accept_});
  layout->addLayout(row);
  setCentralWidget(central);
  statusBar()->setObjectName(QStringLiteral("statusEditor"));
  BuildMenus();
  AddMnemonics(menuBar());
  FocusMenuBarWithF10(this, menuBar());

  list_->installEventFilter(this);
  box_->installEventFilter(this);
  box_->viewport()->installEventFilter(this);
  connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& i) { OpenDialog(i.row()); });
  connect(box_, &QPlainTextEdit::textChanged, this, &XEditorForm::UpdateAcceptButton);
  connect(accept_, &QPushButton::clicked, this, &XEditorForm::Accept);
  connect(print, &QPushButton::clicked, this, &XEditorForm::PrintBox);
  connect(wrap, &QPushButton::clicked, this, &XEditorForm::WrapBox);
  connect(pages, &QPushButton::clicked, this, &XEditorForm::MarkPagesInBox);
  connect(ruler_, &QScrollBar::valueChanged, rulerLine_, &RulerLine::SetX);
}

QAction* XEditorForm::AddItem(QMenu* menu, const char* objectName, const QString& caption,
                              void (XEditorForm::*slot)()) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(QLatin1String(objectName));
  connect(a, &QAction::triggered, this, slot);
  return a;
}

void XEditorForm::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
  AddItem(file, "menuLoadDialogs", QStringLiteral("Load Dialogs"), &XEditorForm::LoadDialogsItem);
  AddItem(file, "menuSaveDialogs", QStringLiteral("Save Dialogs"), &XEditorForm::SaveDialogsItem);
  // Ctrl+Z in the text box undoes typing there; elsewhere it undoes the last
  // change of the dialogs (a mass operation, an accepted edit, an import).
  QMenu* edit = menuBar()->addMenu(QStringLiteral("Правка"));
  edit->setObjectName(QStringLiteral("menuXEdit"));
  QAction* undo = AddItem(edit, "menuUndo", QStringLiteral("Отменить"), &XEditorForm::UndoItem);
  undo->setShortcut(QKeySequence::Undo);
  connect(edit, &QMenu::aboutToShow, this, [this, undo] {
    const auto& steps = state_.dialogs.undoSteps;
    undo->setText(CanUndoDialogs(state_.dialogs) ? QStringLiteral("Отменить: ") + ToQ(steps.back().what)
                                                 : QStringLiteral("Отменить"));
  });
  QMenu* view = menuBar()->addMenu(QStringLiteral("Вид"));
  propsItem_ = AddItem(view, "menuViewDLGProp", QStringLiteral("Свойства диалога"), &XEditorForm::ToggleProps);
  propsItem_->setCheckable(true);
  AddItem(view, "menuListFont", QStringLiteral("Шрифт для списка диалогов"), &XEditorForm::ListFont);
  AddItem(view, "menuTextFont", QStringLiteral("Шрифт для окна редактирования"), &XEditorForm::TextFont);
  QMenu* search = menuBar()->addMenu(QStringLiteral("Поиск"));
  // The keys act on the list or on the text box, whichever has the focus.
  AddItem(search, "menuFind", QStringLiteral("Найти"), &XEditorForm::FindItem)->setShortcut(Qt::Key_F7);
  AddItem(search, "menuFindNext", QStringLiteral("Найти дальше"), &XEditorForm::FindNextItem)
      ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7));
  AddItem(search, "menuReplace", QStringLiteral("Заменить"), &XEditorForm::ReplaceItem)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  QMenu* ops = menuBar()->addMenu(QStringLiteral("Операции"));
  AddItem(ops, "menuAppendToAll", QStringLiteral("Подклеить строку к тексту диалога сзади"), &XEditorForm::AppendItem);
  AddItem(ops, "menuReplaceAll", QStringLiteral("Замена одного на другое (CTRL+H)"), &XEditorForm::ReplaceAllItem);
  AddItem(ops, "menuWrapAllDialogs", QStringLiteral("Расставить переносы во всех диалогах"), &XEditorForm::WrapAllItem);
  AddItem(ops, "menuClearNewAddrs", QStringLiteral("Очистить адрес вставки у всех диалогов"),
          &XEditorForm::ClearAddrsItem);
  AddItem(ops, "menuClearPtrsListFiles",
          QStringLiteral("Очистить у всех диалогов поле с файлом 'правильных' указателей"),
          &XEditorForm::ClearListFilesItem);
  AddItem(ops, "menuSetPtrsListFile", QStringLiteral("Дать всем диалогам единый файл 'правильных' указателей"),
          &XEditorForm::SetListFileItem);
  AddItem(ops, "menuNewAddrFromExtracted", QStringLiteral("Сделать адрес вставки равным адресу откуда вынули"),
          &XEditorForm::AddrFromExtractedItem);
  AddItem(ops, "menuCalcOldSizes", QStringLiteral("Посчитать 'старую' длинну диалогов"), &XEditorForm::OldSizesItem);
  AddItem(ops, "menuCalcTotalSize", QStringLiteral("Расчитать общую длинну текста диалогов"),
          &XEditorForm::TotalSizeItem);
  AddItem(ops, "menuFixDlgStart",
          QStringLiteral("Исправить адрес начала диалога, убрав из начала текста диалога некий символ(ы)"),
          &XEditorForm::StartCorrectionItem);
  AddItem(ops, "menuCalcNewAddrs", QStringLiteral("Расчет новых адресов для вставки"), &XEditorForm::NewAddressesItem);

  QMenu* font = menuBar()->addMenu(QStringLiteral("Шрифт"));
  AddItem(font, "menuEdLoadFDT", QStringLiteral("Load FDT"), &XEditorForm::LoadFdtItem);
  AddItem(font, "menuTranspColor", QStringLiteral("Прозрачный цвет"), &XEditorForm::TransparentColourItem);
  AddItem(font, "menuReloadFntPics", QStringLiteral("Перечитать картинки с буквами"), &XEditorForm::ReloadPicturesItem);
  previewItem_ = AddItem(font, "menuXPreview", QStringLiteral("Окно X-preview"), &XEditorForm::TogglePreview);
  previewItem_->setCheckable(true);
  font->addSeparator();
  const auto option = [&](const char* name, const char* caption, bool PreviewSettings::*flag) {
    QAction* a = font->addAction(QString::fromUtf8(caption));
    a->setObjectName(QLatin1String(name));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, flag](bool on) { state_.preview.*flag = on; });
    options_.push_back({a, flag});
  };
  option("menuDoClsBeforePrint", "Чистить 'фон' перед началом печати", &PreviewSettings::DoClsBeforePrint);
  option("menuIgnoreClsWhenPrint", "Не очищать фон при печати текста", &PreviewSettings::IgnoreClsWhenPrint);
  option("menuWaitForKeyPress", "Делать паузы при печати текста", &PreviewSettings::WaitForKeyPress);
  option("menuIgnoreHex", "Игнорировать HEX при 'печати'", &PreviewSettings::IgnoreHex);
  const auto ask = [&](const char* name, const char* caption, void (*askValue)(FontState)) {
    QAction* a = font->addAction(QString::fromUtf8(caption));
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, [this, askValue] { RunItem([&] { askValue(state_); }); });
  };
  ask("menuIgnoreHexN", "Дополнительно пропускать N символов после HEX", AskIgnoreHexN);
  ask("menuPrintFromX", "начинать печатать с X=...", AskPrintX);
  ask("menuPrintFromY", "начинать печатать с Y=...", AskPrintY);
  ask("menuInterLetterStep", "Расстояние между буквами", AskInterLetterStep);
  font->addSeparator();
  ask("menuSetGameLF", "Установить, как в скрипте описывается 'перенос строки' ", AskGameLFchar);
  ask("menuSetGameScroll", "Установить как в скрипте обозначать 'новая страница'", AskGameScrollChar);
  ask("menuSetWrapBorder", "Установить правую границу для авторасстановки 'переносов'", AskWrapRightLimit);
  ask("menuSetLinesPerPage", "Установить каждый N-нный 'newline' на 'newpage'", AskLinesPerPage);
}

XViewForm* XEditorForm::Preview() {
  if (!preview_) {
    preview_ = PreviewWindow(parentWidget() ? parentWidget() : this, state_);
    connect(preview_, &XViewForm::Hidden, this, [this] { previewItem_->setChecked(false); });
  }
  return preview_;
}

void XEditorForm::SyncPreviewOptions() {
  for (const auto& [action, flag] : options_) action->setChecked(state_.preview.*flag);
}

void XEditorForm::LoadFdtItem() {
  // The glyphs are read after every load; without a table of two mappings
  // that says "еше не загружена".
  RunItem([&] {
    LoadFontDescription(state_);
    Preview()->LoadFntPics();
  });
}

void XEditorForm::TransparentColourItem() {
  MsgBox(state_, u"По техническим причинам, 'прозрачный цвет' это БЕЛЫЙ rgb(FF,FF,FF)", MsgButtons::Ok,
         MsgIcon::Information, u"Sorry");
}

void XEditorForm::ReloadPicturesItem() {
  RunItem([&] { Preview()->LoadFntPics(); });
}

void XEditorForm::TogglePreview() {
  XViewForm* preview = Preview();
  if (preview->isVisible()) {
    preview->hide();
  } else {
    preview->show();
    preview->raise();
  }
  previewItem_->setChecked(preview->isVisible());
}

void XEditorForm::PrintBox() {
  RunItem([&] { Preview()->PrintText(BoxText()); });
}

void XEditorForm::WrapBox() {
  RunItem([&] {
    if (auto wrapped = SetScriptLfs(state_, BoxText())) {
      ReplaceBoxText(*wrapped);
      Preview()->PrintText(*wrapped);
    }
  });
}

void XEditorForm::MarkPagesInBox() {
  RunItem([&] {
    if (auto marked = SetPages(state_, BoxText())) ReplaceBoxText(*marked);
  });
}

void XEditorForm::ReplaceBoxText(std::u16string_view text) {
  // The caret stays where it was (as far as the text reaches); the edit is
  // not accepted until the accept button is pressed.
  const int caret = box_->textCursor().position();
  box_->setPlainText(ToBox(text));
  QTextCursor cursor = box_->textCursor();
  cursor.setPosition(std::min(caret, box_->document()->characterCount() - 1));
  box_->setTextCursor(cursor);
}

template <class Command>
void XEditorForm::RunItem(Command&& command) {
  if (!RunCommand(state_, std::forward<Command>(command))) QApplication::beep();
}

bool XEditorForm::ListIsStale() const {
  return filledRevision_ != state_.dialogs.revision || filledLast_ != state_.dialogs.lastIndex;
}

void XEditorForm::FillList() {
  model_->Refill();
  filledRevision_ = state_.dialogs.revision;
  filledLast_ = state_.dialogs.lastIndex;
  if (!IsDialogIndex(state_, current_)) {
    current_ = -1;
    UpdateAcceptButton();
    return;
  }
  list_->setCurrentIndex(model_->index(current_));
  list_->scrollTo(model_->index(current_));
  UpdateAcceptButton();
}

void XEditorForm::showEvent(QShowEvent* event) {
  // Opening the window: the ruler's reach and, when the set changed, the list.
  ruler_->setMaximum(std::max(0, width() - 16));
  if (ListIsStale()) FillList();
  if (firstShow_) {
    // Opening the editor: the print options start as they always do, and the
    // glyph pictures of a loaded FDT are read.
    firstShow_ = false;
    state_.preview.DoClsBeforePrint = true;
    state_.preview.IgnoreClsWhenPrint = false;
    state_.preview.WaitForKeyPress = true;
    SyncPreviewOptions();
    if (state_.fdt.isLoaded) RunItem([&] { Preview()->LoadFntPics(); });
  }
  QMainWindow::showEvent(event);
}

void XEditorForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && ListIsStale()) FillList();
  QMainWindow::changeEvent(event);
}

void XEditorForm::resizeEvent(QResizeEvent* event) {
  ruler_->setMaximum(std::max(0, width() - 16));
  QMainWindow::resizeEvent(event);
}

bool XEditorForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_->viewport() && event->type() == QEvent::Resize) {
    rulerLine_->setGeometry(box_->viewport()->rect());
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // F7, Shift+F7 and Ctrl+H are also the Search menu's shortcuts, which take
  // them first while the window is active.
  if (watched == box_) {
    if (IsKey(key, Qt::Key_F7, Qt::NoModifier))
      SearchInBox(false);
    else if (IsKey(key, Qt::Key_F7, Qt::ShiftModifier))
      SearchInBox(true);
    else if (IsKey(key, Qt::Key_H, Qt::ControlModifier))
      ReplaceInBox();
    else if (IsKey(key, Qt::Key_Clear, Qt::NoModifier))
      WrapBox();  // the keypad's 5 without Num Lock
    else
      return false;
    return true;
  }
  if (watched == list_) {
    if (IsKey(key, Qt::Key_F7, Qt::NoModifier))
      SearchInList(false);
    else if (IsKey(key, Qt::Key_F7, Qt::ShiftModifier))
      SearchInList(true);
    else if (IsKey(key, Qt::Key_Return, Qt::NoModifier) || IsKey(key, Qt::Key_Enter, Qt::NoModifier))
      OpenDialog(list_->currentIndex().row());
    else if (IsKey(key, Qt::Key_H, Qt::ControlModifier))
      ReplaceAllItem();
    else
      return false;
    return true;
  }
  return false;
}

std::u16string XEditorForm::BoxText() const { return FromBox(box_->document()->toRawText()); }

void XEditorForm::ShowInBox(std::u16string_view dlgText) {
  box_->setPlainText(ToBox(dlgText));
  UpdateAcceptButton();
}

void XEditorForm::UpdateAcceptButton() {
  accept_->setEnabled(IsDialogIndex(state_, current_) &&
                      BoxText() != state_.dialogs.records[static_cast<std::size_t>(current_)].dlgText);
}

void XEditorForm::Accept() {
  if (!IsDialogIndex(state_, current_)) return;
  AcceptDialogText(state_, current_, BoxText());
  model_->DialogChanged(current_);
  accept_->setEnabled(false);
}

bool XEditorForm::LeaveCurrentText() {
  if (!accept_->isEnabled()) return true;
  switch (AskAboutUnacceptedText(state_)) {
    case MsgAnswer::Yes: Accept(); return true;
    case MsgAnswer::No: return true;
    default: return false;
  }
}

bool XEditorForm::SettleBeforeExit() {
  if (!LeaveCurrentText()) return false;
  if (props_) props_->SettlePending();
  return true;
}

void XEditorForm::OpenDialog(int row) {
  if (!IsDialogIndex(state_, row)) return;
  if (!LeaveCurrentText()) {
    if (current_ >= 0) list_->setCurrentIndex(model_->index(current_));
    return;
  }
  if (props_) props_->SettlePending();
  current_ = row;
  list_->setCurrentIndex(model_->index(row));
  ShowInBox(state_.dialogs.records[static_cast<std::size_t>(row)].dlgText);
  if (props_ && props_->isVisible()) props_->SetDialog(row);
}

void XEditorForm::AfterDialogsChanged(bool changed) {
  if (!changed) return;
  const bool pendingText = accept_->isEnabled();
  FillList();
  // A text box without an edit of its own shows the dialog as it is now.
  if (IsDialogIndex(state_, current_) && !pendingText)
    ShowInBox(state_.dialogs.records[static_cast<std::size_t>(current_)].dlgText);
  if (props_ && props_->isVisible()) props_->ShowDlg();
}

void XEditorForm::SearchInBox(bool again) {
  const std::u16string text = BoxText();
  QTextCursor c = box_->textCursor();
  const std::size_t start = DialogOffsetFromBox(text, static_cast<std::size_t>(c.selectionStart()));
  const std::size_t end = DialogOffsetFromBox(text, static_cast<std::size_t>(c.selectionEnd()));
  bool nothingFound = false;
  std::optional<TextSpan> hit = SearchInDialog(state_, SearchForString, text, start, end - start, again, &nothingFound);
  ShowSearchResult(nothingFound, hit.has_value());
  if (!hit) return;
  c.setPosition(static_cast<int>(BoxOffsetFromDialog(text, hit->start)));
  c.setPosition(static_cast<int>(BoxOffsetFromDialog(text, hit->start + hit->length)), QTextCursor::KeepAnchor);
  box_->setTextCursor(c);
}

void XEditorForm::ReplaceInBox() {
  std::optional<ReplaceRequest> request = AskReplace(this);
  if (!request) return;
  const std::u16string text = BoxText();
  QTextCursor c = box_->textCursor();
  const int caret = c.position();
  std::optional<std::u16string> result =
      ReplaceInDialog(text, DialogOffsetFromBox(text, static_cast<std::size_t>(caret)), *request);
  if (!result) return;
  c.select(QTextCursor::Document);
  c.insertText(ToBox(*result));
  c.setPosition(std::min(caret, box_->document()->characterCount() - 1));
  box_->setTextCursor(c);
}

void XEditorForm::SearchInList(bool again) {
  bool nothingFound = false;
  const int row = SearchInDialogs(state_, SearchForString, list_->currentIndex().row(), again, &nothingFound);
  ShowSearchResult(nothingFound, row >= 0);
  if (row < 0) return;
  list_->scrollTo(model_->index(row));
  OpenDialog(row);  // the found dialog in the text box
  list_->setFocus();
}

void XEditorForm::ShowSearchResult(bool nothingFound, bool found) {
  if (nothingFound)
    statusBar()->showMessage(QStringLiteral("Не найдено: \"") + ToQ(SearchForString) + QStringLiteral("\""));
  else if (found)
    statusBar()->clearMessage();
}

bool XEditorForm::ListHasFocus() const { return QApplication::focusWidget() != box_; }

void XEditorForm::FindItem() {
  if (ListHasFocus())
    SearchInList(false);
  else
    SearchInBox(false);
}

void XEditorForm::FindNextItem() {
  if (ListHasFocus())
    SearchInList(true);
  else
    SearchInBox(true);
}

void XEditorForm::ReplaceItem() {
  if (ListHasFocus())
    ReplaceAllItem();
  else
    ReplaceInBox();
}

void XEditorForm::LoadDialogsItem() {
  if (!LeaveCurrentText()) return;
  if (props_) props_->SettlePending();
  RunItem([&] {
    if (AskToSaveDialogChanges(state_)) LoadDialogs(state_, false);
  });
  if (!ListIsStale()) return;
  current_ = -1;
  box_->clear();
  FillList();
  if (props_ && props_->isVisible()) props_->SetDialog(-1);
}

void XEditorForm::SaveDialogsItem() {
  RunItem([&] { SaveDialogs(state_, false); });
}

DlgPropsForm* XEditorForm::Props() {
  if (!props_) {
    props_ = new DlgPropsForm(state_, this);
    connect(props_, &DlgPropsForm::closed, this, [this] { propsItem_->setChecked(false); });
  }
  return props_;
}

void XEditorForm::ToggleProps() {
  if (props_ && props_->isVisible()) {
    props_->reject();
    return;
  }
  Props()->SetDialog(current_);
  props_->show();
  props_->raise();
  propsItem_->setChecked(true);
}

void XEditorForm::ListFont() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, list_->font(), this, QStringLiteral("Шрифт для списка диалогов"));
  if (ok) list_->setFont(font);
}

void XEditorForm::TextFont() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, box_->font(), this, QStringLiteral("Шрифт для окна редактирования"));
  if (ok) box_->setFont(font);
}

void XEditorForm::AppendItem() {
  bool changed = false;
  RunItem([&] { changed = AppendToEveryDialog(state_); });
  AfterDialogsChanged(changed);
}

void XEditorForm::UndoItem() {
  if (props_) props_->SettlePending();
  bool changed = false;
  RunItem([&] { changed = UndoDialogsChange(state_); });
  AfterDialogsChanged(changed);
}

void XEditorForm::ReplaceAllItem() {
  bool changed = false;
  RunItem([&] { changed = ReplaceInAllDialogs(state_); });
  AfterDialogsChanged(changed);
}

void XEditorForm::WrapAllItem() {
  bool changed = false;
  RunItem([&] { changed = AskAndWrapAllDialogs(state_); });
  AfterDialogsChanged(changed);
}

void XEditorForm::StartCorrectionItem() {
  if (props_) props_->SettlePending();
  bool changed = false;
  RunItem([&] { changed = CorrectDialogStarts(state_); });
  AfterDialogsChanged(changed);
}

// An operation that changes attributes the properties window shows: its
// pending edits are settled first, and it shows the result.
template <class Operation>
void XEditorForm::RunOnAttributes(Operation&& operation) {
  if (props_) props_->SettlePending();
  bool changed = false;
  RunItem([&] { changed = operation(); });
  if (changed && props_ && props_->isVisible()) props_->ShowDlg();
}

void XEditorForm::ClearAddrsItem() {
  RunOnAttributes([&] { return ClearInsertionAddresses(state_); });
}

void XEditorForm::ClearListFilesItem() {
  RunOnAttributes([&] { return ClearPointerListFiles(state_); });
}

void XEditorForm::SetListFileItem() {
  RunOnAttributes([&] { return SetPointerListFileForAll(state_); });
}

void XEditorForm::AddrFromExtractedItem() {
  RunOnAttributes([&] { return InsertionAddrFromExtractionAddr(state_); });
}

void XEditorForm::OldSizesItem() {
  RunOnAttributes([&] { return CalcOldDialogSizes(state_); });
}

void XEditorForm::TotalSizeItem() {
  RunItem([&] { ShowTotalDialogsSize(state_); });
}

void XEditorForm::NewAddressesItem() {
  RunOnAttributes([&] { return RunNewAddresses(state_); });
}

}  // namespace vorkat::ui
