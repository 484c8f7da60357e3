#include <array>

#include <QWidget>

#include "app/state.h"
#include "core/runtime.h"
#include "font/font_commands.h"
#include "ui/fonttools/fdt_editor_window.h"
#include "ui/fonttools/font_maker_window.h"
#include "ui/fonttools/font_mapper_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"

namespace vorkat::ui {
namespace {

// The FDT editor is modal and made anew each time; its save leaves the FDT
// unloaded with the lines it wrote, which are parsed again when it closes.
void OpenFdtEditor(QWidget* mainWindow, AppState& state) {
  const bool wasLoaded = state.fdt.isLoaded;
  FDTeditForm form(state, mainWindow);
  form.exec();
  if (!state.fdt.isLoaded && (wasLoaded || form.Saved())) ReparseFontDescription(state);
}

// The mapper's changes reach only the FDT in memory, which it says first.
void OpenFontMapper(QWidget* mainWindow, AppState& state) {
  MsgBox(state, u"Сохранения исправленного FDT НЕТУ!\r\nСделанные тут исправления действуют только до выхода из Vorkat",
         MsgButtons::Ok, MsgIcon::Information);
  OpenOrRaise<FontMapperForm>(mainWindow, state, "FontMapperForm");
}

constexpr std::array kWindows = {
    FormCommand{"menuFDTeditor", OpenFdtEditor},
    FormCommand{"menuFontMaker", [](QWidget* w, AppState& s) { OpenOrRaise<FontMakerForm>(w, s, "FontMakerForm"); }},
    FormCommand{"menuFontMapper", OpenFontMapper},
};

}  // namespace

std::span<const FormCommand> FontToolsWindows() { return kWindows; }

}  // namespace vorkat::ui
