// The state the patch operations work on: everything below and the loaded IPS and BPS patches.
#pragma once

#include "insert/insert_state.h"
#include "patch/bps.h"
#include "patch/ips_patch.h"

namespace vorkat {

struct PatchState : InsertState {
  using InsertState::InsertState;
  IpsPatch ips;
  BpsPatch bps;
};

// A comparison needs the working and the original ROM; logs which is
// missing and returns false.
inline bool RequireBothRoms(CoreState& state) {
  if (!state.rom.isLoaded) {
    AppendLog(state, u"Не загружен ROM");
    return false;
  }
  if (!state.originalRom.isLoaded) {
    AppendLog(state, u"Не загружен оригинальный ROM");
    return false;
  }
  return true;
}

}  // namespace vorkat
