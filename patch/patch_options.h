// The patch operations' options (menu toggles; not kept in the settings file).
#pragma once

namespace vorkat {

struct PatchOptions {
  // Patches are built with less memory and more time.
  bool EcoMode = false;
  // Neighbouring changed blocks of an IPS patch are merged where that is shorter.
  bool OptimizeChangesBlocks = true;
};

inline void ToggleEcoMode(PatchOptions& options) { options.EcoMode = !options.EcoMode; }
inline void ToggleOptimizeChangesBlocks(PatchOptions& options) {
  options.OptimizeChangesBlocks = !options.OptimizeChangesBlocks;
}

}  // namespace vorkat
