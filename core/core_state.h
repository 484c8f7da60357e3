// How a module's procedures see the program state: a module state is a small
// set of references to the documents the module works on plus the context.
// The program-wide state (app/state.h) owns every document once; a module
// state is made from it, or from a wider module state, by naming the same
// members, and is passed by value. No state type derives from another.
#pragma once

#include "core/context.h"
#include "core/rom.h"

namespace vorkat {

// The documents of core: the working ROM and the original one.
struct CoreState {
  template <class S>
  requires requires(S& s) {
    s.ctx;
    s.rom;
    s.originalRom;
  }
  CoreState(S& s) : ctx(s.ctx), rom(s.rom), originalRom(s.originalRom) {}  // NOLINT(google-explicit-constructor)
  CoreState(Context& c, RomImage& r, OriginalRomImage& o) : ctx(c), rom(r), originalRom(o) {}

  operator Context&() const { return ctx; }  // NOLINT(google-explicit-constructor)

  Context& ctx;
  RomImage& rom;
  OriginalRomImage& originalRom;
};

}  // namespace vorkat
