// The window "Тайлы ROM'а": the ROM (or an LZ77 block of it) read as console
// tiles, a rectangle of them exported to a PNG sheet and imported back.
#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

#include "tiles/tile_commands.h"
#include "tiles/tile_page.h"
#include "ui/shell/form_kit.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class TileCanvas;

class RomTilesForm : public StateWindow<QWidget> {
  Q_OBJECT

 public:
  RomTilesForm(AppState& state, QWidget* parent);
  void LoadFields() override;

  // What the canvas paints and moves: read by it on each paint and key.
  const TileView& view() const { return view_; }
  std::span<const std::uint8_t> data() const;
  const TilePalette& palette() const { return palette_; }
  const std::optional<TileSelection>& selection() const { return selection_; }
  void Move(TileStep step, int direction, int pageRows);
  void Select(const TileSelection& selection);

 private:
  // Reads the option fields into the view, the palette and the block.
  void ApplyOptions();
  void ShowStatus();
  std::optional<TileSheetJob> SelectionJob();
  void Export();
  void Import();

  AppState& state_;
  QLineEdit* offset_ = nullptr;
  QComboBox* format_ = nullptr;
  QLineEdit* perRow_ = nullptr;
  QComboBox* tileHeight_ = nullptr;
  QComboBox* paletteKind_ = nullptr;
  QLineEdit* paletteOffset_ = nullptr;
  QSpinBox* zoom_ = nullptr;
  QCheckBox* lz77_ = nullptr;
  QLineEdit* freeStart_ = nullptr;
  QLineEdit* freeEnd_ = nullptr;
  QLabel* status_ = nullptr;
  TileCanvas* canvas_ = nullptr;

  TileView view_;
  TilePalette palette_;
  std::optional<std::int64_t> lzBlock_;  // the ROM offset of the block shown
  std::vector<std::uint8_t> blockData_;  // its data
  std::optional<TileSelection> selection_;
};

}  // namespace vorkat::ui
