// The state the patch operations work on: everything below and the loaded IPS patch.
#pragma once

#include "insert/insert_state.h"
#include "patch/ips_patch.h"

namespace vorkat {

struct PatchState : InsertState {
  using InsertState::InsertState;
  IpsPatch ips;
};

}  // namespace vorkat
