// The state the codec works on: the shared state and the loaded table.
#pragma once

#include "codec/translation_table.h"
#include "core/core_state.h"

namespace vorkat {

struct CodecState : CoreState {
  using CoreState::CoreState;
  TranslationTable table;
};

// Logs "Таблица еще не загружена" and returns false when no table is loaded.
inline bool RequireTable(CodecState& state) {
  if (state.table.isLoaded) return true;
  AppendLog(state, u"Таблица еще не загружена");
  return false;
}

}  // namespace vorkat
