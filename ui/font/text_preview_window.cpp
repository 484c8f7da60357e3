#include "ui/font/text_preview_window.h"

#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "font/font_commands.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/menu_keys.h"

namespace vorkat::ui {

namespace {

// The picture of a preview before any background: a GBA screen.
constexpr QSize kDefaultPictureSize(240, 160);
constexpr int kBrushSize = 8;
constexpr int kMaxZoom = 4;

}  // namespace

// The picture control: shows the preview picture at its own size and
// reports the pointer in picture pixels.
class PreviewPicture : public QWidget {
 public:
  explicit PreviewPicture(XViewForm* form) : QWidget(form), form_(form) {
    setObjectName(QStringLiteral("Picture1"));
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("X-Preview"));
  }

  // The picture at the window's zoom: whole factors, so its pixels stay square and sharp.
  void Refresh() {
    setFixedSize(form_->Picture().size() * form_->Zoom());
    update();
  }

  int mouseX = 0;  // myMouseX
  int mouseY = 0;  // myMouseY

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(QPoint(0, 0), form_->Picture().size() * form_->Zoom()), form_->Picture());
  }

  // The pointer in picture pixels.
  QPoint PicturePoint(const QMouseEvent* event) const {
    const QPoint at = event->position().toPoint();
    return {at.x() / form_->Zoom(), at.y() / form_->Zoom()};  // the pixel under the pointer, not the nearest corner
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    const QPoint at = PicturePoint(event);
    mouseX = at.x();
    mouseY = at.y();
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    setCursor(ctrl ? Qt::CrossCursor : Qt::ArrowCursor);
    if (ctrl && event->buttons().testFlag(Qt::LeftButton)) form_->PaintBrush(mouseX, mouseY);
  }

  void mousePressEvent(QMouseEvent* event) override {
    if (event->modifiers().testFlag(Qt::ControlModifier) && event->button() == Qt::LeftButton)
      form_->PaintBrush(PicturePoint(event).x(), PicturePoint(event).y());
  }

  void mouseDoubleClickEvent(QMouseEvent* event) override {
    const QPoint at = PicturePoint(event);
    mouseX = at.x();
    mouseY = at.y();
    form_->PickPrintPosition(mouseX, mouseY);
  }

 private:
  XViewForm* form_;
};

XViewForm::XViewForm(AppState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("xview"));
  setWindowTitle(QStringLiteral("X-Preview"));

  auto* menus = new QMenuBar(this);
  const auto item = [&](const char* name, const QString& caption, void (XViewForm::*run)()) {
    QAction* action = menus->addAction(caption);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, run);
  };
  item("menuBackground", QStringLiteral("Background"), &XViewForm::LoadBackground);
  item("menuClearBG", QStringLiteral("Очистить фон"), &XViewForm::ClearPicture);
  item("menuBGColor", QStringLiteral("Цвет фона"), &XViewForm::ChooseBackgroundColour);
  item("menuPicSize", QStringLiteral("Размер картинки"), &XViewForm::AskPictureSize);
  item("menuPhoto", QStringLiteral("Фото"), &XViewForm::SavePicture);
  item("menuHelp", QStringLiteral("Help"), &XViewForm::ShowHelp);

  auto* cls = Button(this, "btnCLS", QStringLiteral("CLS"));
  cls->setAutoDefault(false);
  connect(cls, &QPushButton::clicked, this, &XViewForm::ClearPicture);

  auto* zoom = new QComboBox(this);
  zoom->setObjectName(QStringLiteral("cmbZoom"));
  for (int factor = 1; factor <= kMaxZoom; ++factor) zoom->addItem(QStringLiteral("x%1").arg(factor), factor);
  auto* zoomLabel = new QLabel(QStringLiteral("Масштаб"), this);
  zoomLabel->setBuddy(zoom);
  connect(zoom, &QComboBox::activated, this, [this, zoom] { SetZoom(zoom->currentData().toInt()); });

  view_ = new PreviewPicture(this);
  scroll_ = new QScrollArea(this);
  scroll_->setWidget(view_);
  scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menus);
  layout->addWidget(scroll_, 1);
  layout->addLayout(ButtonRow({cls, zoomLabel, zoom}, {CloseButton(this)}));
  FocusMenuBarWithF10(this, menus);
  AddMnemonics(menus);
  Rebuild();
  ResizeWithinScreen(this, QSize(kDefaultPictureSize.width() + 40, kDefaultPictureSize.height() + 90));
}

void XViewForm::SetZoom(int factor) {
  zoom_ = std::clamp(factor, 1, kMaxZoom);
  view_->Refresh();
}

void XViewForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (firstShow_) Shown();
}

void XViewForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Q_EMIT Hidden();
}

void XViewForm::Shown() {
  firstShow_ = false;
  const std::u16string& name = state_.ctx.settings.LastBGFileName;
  if (!name.empty() && FileExists(name)) LoadBackgroundFile(name);
}

bool XViewForm::LoadBackgroundFile(const std::u16string& name) {
  std::optional<QImage> picture = LoadPicture(name);
  if (!picture) {
    AppendLog(state_, u"Не удалось прочитать картинку " + name, kColourBrightRed);
    return false;
  }
  background_ = std::move(*picture);
  Rebuild();
  return true;
}

void XViewForm::Rebuild() {
  const QSize size = fixedSize_.isValid()    ? fixedSize_
                     : !background_.isNull() ? background_.size()
                                             : kDefaultPictureSize;
  base_ = QImage(size, QImage::Format_RGB32);
  base_.fill(colour_);
  if (!background_.isNull()) {
    QPainter p(&base_);
    p.drawImage(0, 0, background_);
  }
  picture_ = base_;
  view_->Refresh();
}

bool XViewForm::LoadFntPics() {
  FontDescriptionTable& fdt = state_.fdt;
  if (!fdt.isLoaded) {
    MsgBox(state_, kFdtNotLoadedMessage);
    return false;
  }
  // The load yields for the progress bar; other commands wait until it ends.
  LongOperation op(state_);
  ShowProgress(state_, 0, fdt.lastMappingIndex);
  state_.glyphsLoaded = false;
  FontPicturesLoad load = ui::LoadFntPics(fdt, sheet_, state_.preview, state_.ctx.settings.VivorurePrnXPrnY,
                                          state_.ctx.settings.interletterspacing, [this](std::size_t entry) {
                                            SetProgress(state_, static_cast<std::int64_t>(entry));
                                            YieldPoint(state_);
                                          });
  AppendLogLines(state_, load.log);
  store_ = std::move(load.store);
  state_.glyphsLoaded = store_.complete;
  if (load.showErrorsMessage) MsgBox(state_, kGlyphErrorsMessage);
  HideProgress(state_);
  return state_.glyphsLoaded;
}

void XViewForm::PrintText(std::u16string_view text) {
  const std::optional<PreviewLayout> layout = PrintLayout(state_, text, isVisible());
  if (!layout || layout->steps.empty()) return;
  const std::vector<DrawStep>& steps = layout->steps;
  for (std::size_t next = 0; next < steps.size();) {
    next = DrawSteps(picture_, steps, next, store_, base_);
    const StepKind last = steps[next - 1].kind;
    if (last == StepKind::PauseScroll || last == StepKind::PauseMore) {
      view_->update();
      const bool scroll = last == StepKind::PauseScroll;
      MsgBox(state_, scroll ? kScrollPauseText : kMorePauseText, MsgButtons::Ok, MsgIcon::None,
             scroll ? kScrollPauseTitle : kMorePauseTitle);
    }
  }
  view_->update();
}

void XViewForm::LoadBackground() {
  const std::u16string name = AskFileName(state_, false, u"Load background picture",
                                          u"Picture files (gif,bmp,jpg)|*.gif;*.bmp;*.jpg\r\nAll Files (*.*)|*.*");
  if (name.empty()) return;
  if (!FileExists(name)) {
    MsgBox(state_, u"Картинка по имени " + name + u" не найдена");
    return;
  }
  if (LoadBackgroundFile(name)) state_.ctx.settings.LastBGFileName = name;
}

void XViewForm::ClearPicture() {
  const std::u16string& name = state_.ctx.settings.LastBGFileName;
  if (!name.empty() && FileExists(name) && LoadBackgroundFile(name)) return;
  picture_ = base_;
  view_->update();
}

void XViewForm::ChooseBackgroundColour() {
  const QColor colour = QColorDialog::getColor(colour_, this);
  if (colour.isValid()) SetBackgroundColour(colour);
}

void XViewForm::SetBackgroundColour(const QColor& colour) {
  colour_ = colour;
  background_ = QImage();
  state_.ctx.settings.LastBGFileName.clear();
  Rebuild();
}

void XViewForm::AskPictureSize() {
  QSize size = picture_.size();
  if (auto w = AskTypedNumber(state_, u"Введите ширину фоновой картинки (pixels)?", u"Ширина ?",
                              FromQ(QString::number(size.width()))))
    size.setWidth(*w);
  if (auto h = AskTypedNumber(state_, u"Введите высоту фоновой картинки (pixels)?", u"Высота ?",
                              FromQ(QString::number(size.height()))))
    size.setHeight(*h);
  SetPictureSize(size);
}

void XViewForm::SetPictureSize(const QSize& size) {
  // A picture needs at least one pixel each way.
  fixedSize_ = QSize(std::max(size.width(), 1), std::max(size.height(), 1));
  Rebuild();
}

void XViewForm::SavePicture() {
  std::u16string name =
      AskFileName(state_, true, u"Записать картинку в файл", u"Bitmap (*.bmp)|*.bmp\r\nAll Files (*.*)|*.*");
  if (name.empty()) return;
  const std::size_t folderEnd = name.find_last_of(u"\\/");
  if (name.find(u'.', folderEnd == std::u16string::npos ? 0 : folderEnd + 1) == std::u16string::npos) name += u".bmp";
  if (!SavePictureBmp(picture_, name)) {
    AppendLog(state_, u"Не удалось записать картинку в файл " + name, kColourBrightRed);
    return;
  }
  MsgBox(state_, u"Записано!", MsgButtons::Ok, MsgIcon::Information, u"Картинка сохранена");
}

void XViewForm::ShowHelp() {
  MsgBox(state_,
         u"Удерживая кнопку CTRL и левую кнопку мышки,\r\n"
         u"можно закрашивать белым часть картинки\r\n"
         u"Двойной click по картинке, позволит установить\r\n"
         u"X и Y для печати текста по умолчанию.\r\n",
         MsgButtons::Ok, MsgIcon::Information);
}

void XViewForm::PaintBrush(int x, int y) {
  QPainter p(&picture_);
  p.fillRect(x, y, kBrushSize, kBrushSize, Qt::white);
  p.end();
  view_->update();
}

void XViewForm::PickPrintPosition(int x, int y) { AskDefaultPrintPosition(state_, x, y); }

XViewForm* PreviewWindow(QWidget* mainWindow, AppState& state) {
  auto* form = mainWindow->findChild<XViewForm*>(QStringLiteral("xview"));
  return form ? form : new XViewForm(state, mainWindow);
}

}  // namespace vorkat::ui
