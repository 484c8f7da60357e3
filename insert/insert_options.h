// The insertion's option (a menu toggle; not kept in the settings file).
#pragma once

namespace vorkat {

struct InsertOptions {
  // Each insertion also writes its log file beside the dialogs.
  bool CreateInsertionLogs = false;
};

inline void ToggleCreateInsertionLogs(InsertOptions& options) {
  options.CreateInsertionLogs = !options.CreateInsertionLogs;
}

}  // namespace vorkat
