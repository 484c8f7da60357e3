#include "ui/search/relative_search_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/runtime.h"
#include "search/draft_table.h"
#include "search/relative_search.h"
#include "ui/search/relative_hits_model.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/run_command.h"

namespace vorkat::ui {
namespace {

constexpr std::u16string_view kTableFilters = u"Table Files (*.tbl)|*.tbl\r\nAll Files (*.*)|*.*";

}  // namespace

RelativeSearchForm::RelativeSearchForm(AppState& state, QWidget* parent) : StateWindow(parent), state_(state) {
  setObjectName(QStringLiteral("RelativeSrchForm"));
  setWindowTitle(QStringLiteral("Относительный поиск"));

  word_ = TextField(this, "fldWord");
  width_ = new QComboBox(this);
  width_->setObjectName(QStringLiteral("cmbCodeWidth"));
  width_->addItem(QStringLiteral("1 байт"), 1);
  width_->addItem(QStringLiteral("2 байта (старший первым)"), 2);
  start_ = NumberField(this, "fldRangeStart");
  end_ = NumberField(this, "fldRangeEnd");
  run_ = Button(this, "btnStartSearch", QStringLiteral("Начать поиск"));
  auto* stop = Button(this, "btnStopSearch", QStringLiteral("Прервать поиск"));
  makeTable_ = Button(this, "btnMakeTable", QStringLiteral("Создать таблицу"));
  auto* close = Button(this, "btnClose", QStringLiteral("Закрыть"));
  for (QPushButton* b : {run_, stop, makeTable_, close}) b->setAutoDefault(false);
  run_->setDefault(true);  // Enter in a field starts the search
  makeTable_->setEnabled(false);

  model_ = new RelativeHitsModel(state_, this);
  hits_ = new QTableView(this);
  hits_->setObjectName(QStringLiteral("lstHits"));
  hits_->setModel(model_);
  hits_->setSelectionBehavior(QAbstractItemView::SelectRows);
  hits_->setSelectionMode(QAbstractItemView::SingleSelection);
  hits_->verticalHeader()->hide();
  hits_->horizontalHeader()->setStretchLastSection(true);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("lblHitCount"));

  auto* grid = new QGridLayout;
  AddRow(grid, QStringLiteral("Слово (* — любой символ)"), word_);
  AddRow(grid, QStringLiteral("Ширина кода"), width_);
  AddRow(grid, QStringLiteral("Искать со смещения"), start_);
  AddRow(grid, QStringLiteral("До смещения (не включая)"), end_);
  auto* buttons = ButtonRow({run_, stop}, {makeTable_, close});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(hits_, 1);
  layout->addWidget(count_);
  layout->addLayout(buttons);
  ResizeWithinScreen(this, QSize(640, 420));

  connect(run_, &QPushButton::clicked, this, &RelativeSearchForm::Run);
  connect(stop, &QPushButton::clicked, this, [this] { state_.ctx.CancelRequested = true; });
  connect(makeTable_, &QPushButton::clicked, this, &RelativeSearchForm::MakeTable);
  connect(close, &QPushButton::clicked, this, [this] {
    state_.ctx.CancelRequested = true;
    hide();
  });
  connect(hits_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RelativeSearchForm::SelectionChanged);
  connect(model_, &QAbstractItemModel::modelReset, this, &RelativeSearchForm::SelectionChanged);
}

void RelativeSearchForm::ForgetStaleHits() {
  if (model_->ForgetIfRomChanged()) count_->clear();
}

void RelativeSearchForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) ForgetStaleHits();
  StateWindow::changeEvent(event);
}

void RelativeSearchForm::LoadFields() {
  ForgetStaleHits();
  // The whole ROM, unless the range was set for this ROM's size already.
  const std::size_t size = state_.rom.view().size();
  if (size == rangeRomSize_ && !end_->text().isEmpty()) return;
  rangeRomSize_ = size;
  start_->setText(Decimal(0));
  end_->setText(Decimal(static_cast<long long>(size)));
}

void RelativeSearchForm::SelectionChanged() { makeTable_->setEnabled(hits_->selectionModel()->hasSelection()); }

void RelativeSearchForm::Run() {
  const auto from = FieldNumber(state_.ctx, start_, 0);
  const auto to = from ? FieldNumber(state_.ctx, end_, 0) : std::nullopt;
  if (!to) return;
  RunCommand(state_, [&] {
    const std::u16string word = FromQ(word_->text());
    const int width = width_->currentData().toInt();
    const auto start = static_cast<std::size_t>(std::max(*from, 0));
    const auto end = static_cast<std::size_t>(std::max(*to, 0));
    // The stop button of this window stays usable while the search yields;
    // the search's own guard gives the button back also when it runs out of memory.
    setProperty("staysEnabledWhileBusy", true);
    run_->setEnabled(false);
    RunGuarded(state_, [&] {
      RelativeSearchResult result = RelativeSearch(state_, word, width, start, end);
      if (!result.searched) return;
      const std::u16string countLine = RelativeCountLine(result.count);
      AppendLog(state_, countLine);
      model_->Show(word, width, std::move(result.hits));
      count_->setText(ToQ(countLine));
    });
    run_->setEnabled(true);
    setProperty("staysEnabledWhileBusy", false);
  });
}

void RelativeSearchForm::MakeTable() {
  ForgetStaleHits();
  RunCommand(state_, [&] {
    const QModelIndexList rows = hits_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    const RelativeHit hit = model_->Hit(rows.front().row());
    const std::u16string file = AskFileName(state_, true, u"Save drafted Table file", kTableFilters);
    if (file.empty()) return;
    DraftTable(state_, model_->WordText(), model_->Width(), hit.offset, file);
  });
}

}  // namespace vorkat::ui
