// The part of the program state the patch operations work on: the two ROMs
// and the loaded IPS and BPS patches.
#pragma once

#include "core/core_state.h"
#include "patch/bps.h"
#include "patch/ips_patch.h"

namespace vorkat {

struct PatchState {
  template <class S>
  requires requires(S& s) {
    s.ctx;
    s.rom;
    s.originalRom;
    s.ips;
    s.bps;
  }
  PatchState(S& s) : ctx(s.ctx), rom(s.rom), originalRom(s.originalRom), ips(s.ips), bps(s.bps) {}  // NOLINT

  operator Context&() const { return ctx; }  // NOLINT(google-explicit-constructor)

  Context& ctx;
  RomImage& rom;
  OriginalRomImage& originalRom;
  IpsPatch& ips;
  BpsPatch& bps;
};

// A comparison needs the working and the original ROM; logs which is
// missing and returns false.
inline bool RequireBothRoms(CoreState state) {
  if (!state.rom.isLoaded) {
    AppendRefusal(state, u"Не загружен ROM");
    return false;
  }
  if (!state.originalRom.isLoaded) {
    AppendRefusal(state, u"Не загружен оригинальный ROM");
    return false;
  }
  return true;
}

}  // namespace vorkat
