// The script editor "X-Editor": every dialog in a list, the text of the
// open one in a text box, and the mass operations over the dialogs.
#pragma once

#include <QMainWindow>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "font/preview_settings.h"

class QAction;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace vorkat {
struct AppState;
struct DialogRecord;
}  // namespace vorkat

namespace vorkat::ui {

class DialogListModel;
class DlgPropsForm;
class RulerLine;
class XViewForm;

class XEditorForm : public QMainWindow {
  Q_OBJECT

 public:
  XEditorForm(AppState& state, QWidget* parent);

  // The dialog shown in the text box; -1 before one is opened.
  std::int32_t currentDialogIndex() const { return current_; }
  // Opens a dialog as Enter or a double click on its list entry does.
  void OpenDialog(int row);
  // Refills the list from the loaded dialogs (they may have been loaded
  // or appended from the main window meanwhile).
  void FillList();
  // Before the program ends: an edit not accepted is asked about (Yes accepts
  // it); false when the user chose to stay.
  Q_INVOKABLE bool SettleBeforeExit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildMenus();
  QAction* AddItem(QMenu* menu, const char* objectName, const QString& caption, void (XEditorForm::*slot)());
  // Runs one menu command (RunCommand): a refused one beeps.
  template <class Command>
  void RunItem(Command&& command);
  template <class Operation>
  void RunOnAttributes(Operation&& operation);

  // The text box and the record.
  std::u16string BoxText() const;
  void ShowInBox(std::u16string_view dlgText);
  void UpdateAcceptButton();
  void Accept();
  // An unaccepted edit is asked about first; false when the user stays.
  bool LeaveCurrentText();
  void AfterDialogsChanged(bool changed);

  // Key bindings.
  void SearchInBox(bool again);
  void ReplaceInBox();
  void SearchInList(bool again);
  // The status line after a search: what was not found.
  void ShowSearchResult(bool nothingFound, bool found);
  bool ListHasFocus() const;
  void FindItem();
  void FindNextItem();
  void ReplaceItem();

  // Menus.
  void LoadDialogsItem();
  void SaveDialogsItem();
  void ToggleProps();
  void ListFont();
  void TextFont();
  void UndoItem();
  void AppendItem();
  void ReplaceAllItem();
  void WrapAllItem();
  void ClearAddrsItem();
  void ClearListFilesItem();
  void SetListFileItem();
  void AddrFromExtractedItem();
  void OldSizesItem();
  void TotalSizeItem();
  void StartCorrectionItem();
  void NewAddressesItem();

  // The preview and the wrapper.
  XViewForm* Preview();
  void SyncPreviewOptions();
  void LoadFdtItem();
  void TransparentColourItem();
  void ReloadPicturesItem();
  void TogglePreview();
  void PrintBox();
  void WrapBox();
  void MarkPagesInBox();
  void ReplaceBoxText(std::u16string_view text);

  DlgPropsForm* Props();

  AppState& state_;
  DialogListModel* model_ = nullptr;
  QListView* list_ = nullptr;
  QPlainTextEdit* box_ = nullptr;
  QPushButton* accept_ = nullptr;
  QScrollBar* ruler_ = nullptr;
  RulerLine* rulerLine_ = nullptr;
  QAction* propsItem_ = nullptr;
  DlgPropsForm* props_ = nullptr;
  XViewForm* preview_ = nullptr;
  QAction* previewItem_ = nullptr;
  std::vector<std::pair<QAction*, bool PreviewSettings::*>> options_;
  bool firstShow_ = true;
  std::int32_t current_ = -1;
  std::u16string SearchForString;
  // What the list was filled from, to notice a set replaced elsewhere.
  // The dialogs the list was filled from: their revision and last index.
  std::uint64_t filledRevision_ = ~std::uint64_t{0};
  std::int32_t filledLast_ = -2;
  bool ListIsStale() const;
};

}  // namespace vorkat::ui
