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

}  // namespace vorkat
