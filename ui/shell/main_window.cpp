#include "ui/shell/main_window.h"

#include <algorithm>
#include <iterator>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTime>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/commands.h"
#include "app/state.h"
#include "core/file_io.h"
#include "insert/address_forms.h"
#include "insert/insert_options.h"
#include "patch/patch_options.h"
#include "codec/codec_options.h"
#include "core/runtime.h"
#include "ui/shell/about_box.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/menu_keys.h"
#include "ui/shell/run_command.h"
#include "ui/shell/user_guide_window.h"
#include "ui/shell/window_state.h"

namespace vorkat::ui {
namespace {

struct MenuItem {
  const char* parent;  // object name of the menu it belongs to
  const char* name;
  const char* caption;
  bool submenu = false;
};

// The menu tree: parents before children, in display order.
const MenuItem kMenus[] = {
    {"", "menuFile", "File", true},
    {"menuFile", "menuOpen", "Open", true},
    {"menuOpen", "menuOpenRom", "ROM"},
    {"menuOpen", "menuOpenTable", "Table"},
    {"menuOpen", "menuOpenDialog", "Dialogs"},
    {"menuOpen", "menuAppendDlgs", "Append Dialogs file"},
    {"menuOpen", "menuOpenVorkat1Script", "Файл перевода"},
    {"menuOpen", "menuLoadFDT", "Font Description Table (FDT)"},
    {"menuOpen", "menuReadIPS", "IPS"},
    {"menuOpen", "menuReadBPS", "BPS"},
    {"menuOpen", "menuOpOrigRom", "Original ROM"},
    {"menuFile", "menuSave", "Save", true},
    {"menuSave", "menuSaveRom", "ROM"},
    {"menuSave", "menuSaveTable", "Table"},
    {"menuSave", "menuSaveDialogsFile", "Dialogs as"},
    {"menuSave", "menuSaveROMas", "ROM as"},
    {"menuSave", "menuSaveVorkat1scriptAs", "Диалоги как Файл перевода"},
    {"menuSave", "menuSaveChangesAsIPS", "IPS as"},
    {"menuSave", "menuSaveChangesAsBPS", "BPS as"},
    {"menuSave", "menuTableToXml", "Table file as XML"},
    {"menuSave", "menuSaveFDTas", "Font Desciption Table(FDT) as"},
    {"menuFile", "menuExport", "Export", true},
    {"menuExport", "menuExportPO", "gettext PO"},
    {"menuExport", "menuExportXLIFF", "XLIFF 1.2"},
    {"menuExport", "menuExportCSV", "CSV"},
    {"menuFile", "menuImport", "Import", true},
    {"menuImport", "menuImportPO", "gettext PO"},
    {"menuImport", "menuImportXLIFF", "XLIFF 1.2"},
    {"menuImport", "menuImportCSV", "CSV"},
    {"menuFile", "menuRecent", "Последние файлы", true},
    {"menuFile", "menuExit", "Exit"},
    {"", "menuTools", "Tools", true},
    {"menuTools", "menuApplyIPStoROM", "Применить IPS к ROM"},
    {"menuTools", "menuApplyBPStoROM", "Применить BPS к ROM"},
    {"menuTools", "menuROMSearcher", "ROM Searcher"},
    {"menuTools", "menuRelativeSearch", "Относительный поиск"},
    {"menuTools", "menuFindPointersInROM", "Поиск поинтеров в ROM"},
    {"menuTools", "menuMakeTable", "Make Table"},
    {"menuTools", "menuTableEditor", "Table Editor"},
    {"menuTools", "menuFDTeditor", "Редактор FDT"},
    {"menuTools", "menuFontMaker", "Font maker"},
    {"menuTools", "menuFontMapper", "Font Mapper"},
    {"menuTools", "menuRomTiles", "Тайлы ROM'а"},
    {"menuTools", "menuChTrTable", "Проверить таблицу на обратимость"},
    {"menuTools", "menuCharLenExtractor", "Вынуть ширину букв"},
    {"menuTools", "menuCombineDlgs", "Объединить файлы диалогов"},
    {"menuTools", "menuMakePatch", "Найти отличия от оригинала (ROM/ROM)"},
    {"menuTools", "menuRunBatch", "Выполнить пакетное задание"},
    {"menuTools", "menuPointerTable", "Таблица указателей..."},
    {"", "menuEdit", "Edit", true},
    {"menuEdit", "menuExtractTextFromRom", "Вынуть текст из ROM"},
    {"menuEdit", "menuViaPointersExtractor", "Дамп текста по указателям"},
    {"menuEdit", "menuDumpTxtByAddrs", "Дамп текста по адресам"},
    {"menuEdit", "menuROMViewer", "HEX гляделка ROM'а"},
    {"menuEdit", "menuReturnDialgs2ROM", "Вернуть диалоги в ROM (manual)"},
    {"menuEdit", "menuCalcPtrsAndPutDialogs", "Разложить диалоги (auto)"},
    {"menuEdit", "menuVerifyInsertion", "Проверить вставку"},
    {"menuEdit", "menuXXEditor", "X-Editor"},
    {"", "menuOptions", "Options", true},
    {"menuOptions", "menuExtendedLogs", "Extended logs"},
    {"menuOptions", "menuWriteTextInUnicode", "Писать файлы в Unicode"},
    {"menuOptions", "menuSetTableType", "Установить тип таблицы"},
    {"menuOptions", "menuHexEncodeUnknownChars", "Укодировать не описанные символы"},
    {"menuOptions", "menuClearLogs", "Очистить окно логов"},
    {"menuOptions", "menuCreateInsertionLogs", "Создавать спец. log исправлений"},
    {"menuOptions", "menuSkipUnknownTRChars", "Игнорировать не описанные в таблице сомволы"},
    {"menuOptions", "menuEcoMode", "Экономичный режим сравнения ROM'ов"},
    {"menuOptions", "menuOptimizeChangesBlocks", "Объединять блоки сравнения ROM'ов"},
    {"menuOptions", "menuPointerFormat", "Формат указателей", true},
    {"menuPointerFormat", "menuPtrFormatGBA", "GBA (4 байта, 08/09 в конце)"},
    {"menuPointerFormat", "menuPtrFormatGB16", "GB16 (2 байта, текст остается в своем банке)"},
    {"menuPointerFormat", "menuPtrFormatGB24", "GB24 (банк, младший, старший)"},
    {"menuPointerFormat", "menuPtrFormatGB24R", "GB24R (младший, старший, банк)"},
    {"menuPointerFormat", "menuPtrFormatOffset", "OFFSET (смещение от базы, 2-4 байта)..."},
    {"", "menuHelp", "Help", true},
    {"menuHelp", "menuUserGuide", "Руководство пользователя"},
    {"menuHelp", "menuAbout", "About"},
};

struct Toggle {
  const char* name;
  void (*flip)(AppState&);
  bool (*checked)(const AppState&);
};

const Toggle kToggles[] = {
    {"menuExtendedLogs", [](AppState& s) { ToggleExtendedLogs(s.ctx); },
     [](const AppState& s) { return IsYes(s.ctx.settings.ExtendedLogs); }},
    {"menuWriteTextInUnicode", [](AppState& s) { ToggleWriteTextInUnicode(s.ctx); },
     [](const AppState& s) { return IsYes(s.ctx.settings.WriteTextInUnicode); }},
    {"menuHexEncodeUnknownChars", [](AppState& s) { ToggleHexEncodeUnknownChars(s.codecOptions); },
     [](const AppState& s) { return IsYes(s.codecOptions.HexEncodeUnknownChars); }},
    {"menuCreateInsertionLogs", [](AppState& s) { ToggleCreateInsertionLogs(s.insertOptions); },
     [](const AppState& s) { return s.insertOptions.CreateInsertionLogs; }},
    {"menuSkipUnknownTRChars", [](AppState& s) { ToggleSkipUnknownTRChars(s.codecOptions); },
     [](const AppState& s) { return s.codecOptions.SkipUnknownTRChars; }},
    {"menuEcoMode", [](AppState& s) { ToggleEcoMode(s.patchOptions); },
     [](const AppState& s) { return s.patchOptions.EcoMode; }},
    {"menuOptimizeChangesBlocks", [](AppState& s) { ToggleOptimizeChangesBlocks(s.patchOptions); },
     [](const AppState& s) { return s.patchOptions.OptimizeChangesBlocks; }},
    // The pointer formats: one is always checked (the offset form's item among the check marks below).
    {"menuPtrFormatGBA", [](AppState& s) { SetPointerFormat(s, u"GBA"); },
     [](const AppState& s) { return s.ctx.settings.PtrFormat == PointerFormat::GBA; }},
    {"menuPtrFormatGB16", [](AppState& s) { SetPointerFormat(s, u"GB16"); },
     [](const AppState& s) { return s.ctx.settings.PtrFormat == PointerFormat::GB16; }},
    {"menuPtrFormatGB24", [](AppState& s) { SetPointerFormat(s, u"GB24"); },
     [](const AppState& s) { return s.ctx.settings.PtrFormat == PointerFormat::GB24; }},
    {"menuPtrFormatGB24R", [](AppState& s) { SetPointerFormat(s, u"GB24R"); },
     [](const AppState& s) { return s.ctx.settings.PtrFormat == PointerFormat::GB24R; }},
};

// Keyboard shortcuts of the frequent commands (listed in the README).
QKeySequence ShortcutOf(const QString& name) {
  if (name == QLatin1String("menuOpenRom")) return QKeySequence::Open;
  if (name == QLatin1String("menuOpenDialog")) return QKeySequence(Qt::CTRL | Qt::Key_D);
  if (name == QLatin1String("menuSaveRom")) return QKeySequence::Save;
  if (name == QLatin1String("menuXXEditor")) return QKeySequence(Qt::CTRL | Qt::Key_E);
  if (name == QLatin1String("menuROMViewer")) return QKeySequence(Qt::CTRL | Qt::Key_R);
  if (name == QLatin1String("menuRunBatch")) return QKeySequence(Qt::CTRL | Qt::Key_B);
  if (name == QLatin1String("menuExit")) return QKeySequence::Quit;
  return {};
}

const Toggle* FindToggle(const QString& name) {
  for (const Toggle& t : kToggles)
    if (name == QLatin1String(t.name)) return &t;
  return nullptr;
}

// Items that open a window yet show a check mark of the state: the offset
// pointer format, whose width, base and byte order its form chooses.
struct CheckMark {
  const char* name;
  bool (*checked)(const AppState&);
};

const CheckMark kCheckMarks[] = {
    {"menuPtrFormatOffset", [](const AppState& s) { return IsOffsetFormat(s.ctx.settings.PtrFormat); }},
};

bool HasCheckMark(const QString& name) {
  return FindToggle(name) || std::any_of(std::begin(kCheckMarks), std::end(kCheckMarks),
                                         [&](const CheckMark& m) { return name == QLatin1String(m.name); });
}


}  // namespace

MainForm::MainForm(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(ToQ(state_.ProgramTitle));
  ResizeWithinScreen(this, QSize(760, 520));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  log_ = new QPlainTextEdit(central);
  log_->setObjectName(QStringLiteral("LogText"));
  log_->setReadOnly(true);
  log_->setUndoRedoEnabled(false);
  log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(log_);
  progress_ = new QProgressBar(central);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setVisible(false);
  layout->addWidget(progress_);
  auto* row = new QHBoxLayout();
  clock_ = new QPushButton(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), central);
  clock_->setObjectName(QStringLiteral("CommandButton1"));
  stop_ = new QPushButton(QStringLiteral("Прервать процесс ..."), central);
  stop_->setObjectName(QStringLiteral("Command2"));
  stop_->setEnabled(false);  // only while an operation runs
  row->addWidget(clock_);
  row->addStretch(1);
  row->addWidget(stop_);
  layout->addLayout(row);
  setCentralWidget(central);

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this,
          [this] { clock_->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))); });
  timer1_->start();
  connect(clock_, &QPushButton::clicked, this, [this] {
    if (timer1_->isActive())
      timer1_->stop();
    else
      timer1_->start();
  });
  connect(stop_, &QPushButton::clicked, this, [this] { state_.ctx.CancelRequested = true; });

  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(0);
  connect(&flushTimer_, &QTimer::timeout, this, &MainForm::FlushLog);
  busyTimer_.setInterval(100);
  connect(&busyTimer_, &QTimer::timeout, this, [this] {
    if (!IsBusy(state_)) LeaveBusy();
  });

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StatusText"));
  statusBar()->addWidget(status_, 1);
  // A run that logged an error says so here too, as vorkat-cli says it by its exit status.
  errors_ = new QLabel(this);
  errors_->setObjectName(QStringLiteral("StatusErrors"));
  errors_->setStyleSheet(QStringLiteral("QLabel { color: rgb(255, 0, 0); }"));
  errors_->setVisible(false);
  statusBar()->addPermanentWidget(errors_);
  FocusMenuBarWithF10(this, menuBar());

  BuildMenus();
  if (QMenu* recent = findChild<QMenu*>(QStringLiteral("menuRecent")))
    connect(recent, &QMenu::aboutToShow, this, &MainForm::FillRecentMenu);
  AddMnemonics(menuBar());
  SyncCheckMarks();
  UpdateStatus();
  ShowEarlierLog();
}

void MainForm::ShowEarlierLog() {
  // Start-up logs before the window exists (the settings file in use, say).
  if (state_.ctx.log.text.empty()) return;
  std::size_t at = 0;
  for (const std::u16string& line : SplitCrLf(state_.ctx.log.text)) {
    std::uint32_t colour = kColourDefault;
    for (const LogSpan& span : state_.ctx.log.spans)
      if (span.start == at) colour = span.colour;
    QueueLogLine(line, colour, at == 0);
    at += line.size() + kCrLf.size();
  }
}

void MainForm::BuildMenus() {
  for (const MenuItem& item : kMenus) {
    const QString name = QLatin1String(item.name);
    const QString caption = QString::fromUtf8(item.caption);
    QMenu* parentMenu = item.parent[0] ? findChild<QMenu*>(QLatin1String(item.parent)) : nullptr;
    if (item.submenu) {
      // Alt + the first letter opens each top menu; the caption itself stays as it is.
      QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(u'&' + caption);
      menu->setObjectName(name);
      menu->menuAction()->setObjectName(name + QStringLiteral("Action"));
      continue;
    }
    QAction* action = parentMenu->addAction(caption);
    action->setObjectName(name);
    const std::string key = name.toStdString();
    const bool available = FindToggle(name) || name == QLatin1String("menuExit") ||
                           name == QLatin1String("menuAbout") || name == QLatin1String("menuUserGuide") ||
                           FindFormCommand(key) || FindCoreCommand(key);
    action->setEnabled(available);
    if (HasCheckMark(name)) action->setCheckable(true);
    if (const QKeySequence key = ShortcutOf(name); !key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this, [this, name] { RunMenuCommand(name); });
  }
}

QAction* MainForm::Action(const QString& objectName) const { return findChild<QAction*>(objectName); }

void MainForm::SyncCheckMarks() {
  for (const Toggle& t : kToggles)
    if (QAction* a = Action(QLatin1String(t.name))) a->setChecked(t.checked(state_));
  for (const CheckMark& m : kCheckMarks)
    if (QAction* a = Action(QLatin1String(m.name))) a->setChecked(m.checked(state_));
}

void MainForm::RunMenuCommand(const QString& objectName) {
  // Opening a window, a toggle or the exit are refused while busy too, though
  // only the core commands keep the state busy while they run.
  if (IsBusy(state_)) {
    QApplication::beep();
    AppendLog(state_, u"Дождитесь окончания текущей операции или прервите её кнопкой \"Прервать процесс ...\"",
              kColourDarkRed);
    return;
  }
  const std::string key = objectName.toStdString();
  if (const Toggle* t = FindToggle(objectName)) {
    t->flip(state_);
  } else if (objectName == QLatin1String("menuExit")) {
    close();
    return;
  } else if (objectName == QLatin1String("menuAbout")) {
    ShowAbout(state_, this);
  } else if (objectName == QLatin1String("menuUserGuide")) {
    ShowUserGuide(this);
  } else if (const FormCommand* f = FindFormCommand(key)) {
    RunGuarded(state_, [&] { f->open(this, state_); });
  } else if (const Command* c = FindCoreCommand(key)) {
    RunCommand(state_, [&] { c->run(state_); });
  }
  AfterCommand();
}

void MainForm::UpdateStatus() {
  std::u16string title = state_.ProgramTitle;
  if (state_.rom.isLoaded) title += u" - " + FileNameOf(state_.rom.fileName) + (state_.rom.modified ? u"*" : u"");
  setWindowTitle(ToQ(title));

  QStringList parts;
  parts << (state_.rom.isLoaded
                ? QStringLiteral("ROM: %1 (%2 байт)").arg(ToQ(FileNameOf(state_.rom.fileName))).arg(state_.rom.size())
                : QStringLiteral("ROM не загружен"));
  parts << (state_.table.isLoaded ? QStringLiteral("таблица: %1, %2 кодов%3")
                                        .arg(ToQ(state_.table.type), QString::number(state_.table.tokenCount),
                                             state_.table.changed ? QStringLiteral(" (изменена)") : QString())
                                  : QStringLiteral("таблица не загружена"));
  parts << (state_.dialogs.isLoaded ? QStringLiteral("диалогов: %1%2")
                                          .arg(state_.dialogs.lastIndex + 1)
                                          .arg(state_.dialogs.changed ? QStringLiteral(" (изменены)") : QString())
                                    : QStringLiteral("диалоги не загружены"));
  parts << (state_.fdt.isLoaded ? QStringLiteral("FDT: %1").arg(ToQ(FileNameOf(state_.fdt.fileName)))
                                : QStringLiteral("FDT не загружен"));
  status_->setText(parts.join(QStringLiteral("   |   ")));
  if (state_.ctx.errorLinesLogged > 0) {
    constexpr qsizetype kShown = 100;
    QString last = ToQ(state_.ctx.lastErrorLine);
    if (last.size() > kShown) last = last.left(kShown) + QStringLiteral("...");
    errors_->setText(QStringLiteral("Ошибок: %1; последняя: %2").arg(state_.ctx.errorLinesLogged).arg(last));
    errors_->setToolTip(ToQ(state_.ctx.lastErrorLine));
  }
  errors_->setVisible(state_.ctx.errorLinesLogged > 0);
}

void MainForm::UseRecentFiles(const QString& path) {
  recentPath_ = path;
  LoadRecentFiles(recent_, path);
}

void MainForm::SaveRecent() {
  if (!recentPath_.isEmpty()) SaveRecentFiles(recent_, recentPath_);
}

void MainForm::FileChosen(std::u16string_view filters, const std::u16string& name) {
  recent_.lastChosen[std::u16string(filters)] = name;
  SaveRecent();
}

void MainForm::FillRecentMenu() {
  QMenu* menu = findChild<QMenu*>(QStringLiteral("menuRecent"));
  menu->clear();
  constexpr struct {
    RecentKind kind;
    const char* caption;
  } kKinds[] = {{RecentKind::Rom, "ROM"}, {RecentKind::Table, "Таблица"}, {RecentKind::Dialogs, "Диалоги"}};
  int n = 0;
  for (const auto& k : kKinds) {
    for (const std::u16string& name : recent_.List(k.kind)) {
      // An '&' in a file name is a letter, not a mnemonic.
      QAction* a = menu->addAction(QString::fromUtf8(k.caption) + QStringLiteral(": ") +
                                   ToQ(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
      a->setObjectName(QStringLiteral("menuRecentFile%1").arg(n++));
      connect(a, &QAction::triggered, this, [this, kind = k.kind, name] {
        if (IsBusy(state_)) {
          QApplication::beep();
          return;
        }
        RunCommand(state_, [&] { OpenRecentFile(state_, recent_, kind, name); });
        SaveRecent();
        AfterCommand();
      });
    }
  }
  if (n == 0) menu->addAction(QStringLiteral("(пусто)"))->setEnabled(false);
}

void MainForm::AfterCommand() {
  FlushLog();
  SyncCheckMarks();
  if (NoteLoadedFiles(recent_, state_)) SaveRecent();
  if (IsBusy(state_)) return;
  if (closeAfterOperation_) {
    // The user chose to stop the operation and leave: the normal exit sequence runs now.
    closeAfterOperation_ = false;
    close();
  } else if (state_.ctx.exitRequested && !exiting_) {
    exiting_ = true;
    close();
  }
}

void MainForm::QueueLogLine(std::u16string_view line, std::uint32_t colour, bool first) {
  pending_.push_back({std::u16string(line), colour, first});
  if (!flushTimer_.isActive()) flushTimer_.start();
}

void MainForm::FlushLog() {
  UpdateStatus();
  if (pending_.empty()) return;
  QTextCursor cursor(log_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  QTextCharFormat plain;
  QString run;
  auto flushRun = [&] {
    if (run.isEmpty()) return;
    cursor.insertText(run, plain);
    run.clear();
  };
  for (const PendingLine& p : pending_) {
    QString text = ToQ(ReplaceAll(p.text, kCrLf, u"\n"));
    if (!p.first) text.prepend(u'\n');
    if (p.colour == kColourDefault) {
      run += text;
      continue;
    }
    flushRun();
    QTextCharFormat coloured;
    coloured.setForeground(FromBgr(p.colour));
    cursor.insertText(text, coloured);
  }
  flushRun();
  cursor.endEditBlock();
  pending_.clear();
  log_->moveCursor(QTextCursor::End);
  log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

void MainForm::ClearLogPane() {
  pending_.clear();
  log_->clear();
}

void MainForm::ShowProgressState(const ProgressState& p) {
  // Qt's bar holds int; scale wide ranges down.
  std::int64_t span = p.maximum - p.minimum;
  int shift = 0;
  while ((span >> shift) > 0x7FFFFFFF) ++shift;
  progress_->setRange(0, static_cast<int>(span >> shift));
  progress_->setValue(static_cast<int>(std::clamp(p.value - p.minimum, std::int64_t{0}, span) >> shift));
  progress_->setVisible(p.visible);
}

void MainForm::EnterBusyYield() {
  FlushLog();
  if (busyShown_ || !IsBusy(state_)) return;
  busyShown_ = true;
  menuBar()->setEnabled(false);
  stop_->setEnabled(true);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == this || !w->isVisible() || !w->isEnabled()) continue;
    // A window whose own operation runs keeps its stop buttons (it disables its start button itself).
    if (w->property("staysEnabledWhileBusy").toBool()) continue;
    w->setEnabled(false);
    disabledWindows_.push_back(w);
  }
  busyTimer_.start();
}

void MainForm::LeaveBusy() {
  busyTimer_.stop();
  busyShown_ = false;
  menuBar()->setEnabled(true);
  stop_->setEnabled(false);
  for (QWidget* w : disabledWindows_) w->setEnabled(true);
  disabledWindows_.clear();
  AfterCommand();
}

void MainForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) SyncCheckMarks();
  QMainWindow::changeEvent(event);
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (IsBusy(state_)) {
    // An operation is still running below this event; ending now would cut
    // it off halfway. Stopping it first lets it finish its current item.
    event->ignore();
    if (closeAfterOperation_) return;
    if (MsgBox(state_, u"Прервать операцию и выйти?", MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
      closeAfterOperation_ = true;
      state_.ctx.CancelRequested = true;
    }
    return;
  }
  // A window holding an edit of its own (the X-Editor's text box) settles it first.
  for (QWidget* w : findChildren<QWidget*>()) {
    bool settled = true;
    if (w->metaObject()->indexOfMethod("SettleBeforeExit()") >= 0 &&
        QMetaObject::invokeMethod(w, "SettleBeforeExit", Q_RETURN_ARG(bool, settled)) && !settled) {
      event->ignore();
      return;
    }
  }
  if (!state_.ctx.exitRequested) ExitProgram(state_);
  if (!state_.ctx.exitRequested) {  // the dialogs could not be saved and the user stays
    FlushLog();
    event->ignore();
    return;
  }
  exiting_ = true;
  FlushLog();
  event->accept();
  QApplication::quit();
}

}  // namespace vorkat::ui
