// What the tests of batch scripts share: a scripted host, the program state
// started in a scratch folder, and a script written there and run.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/app.h"
#include "app/state.h"
#include "batch/batch.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

namespace vorkat::testing {

struct BatchFixture : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  void SetUp() override { StartUp(state, FromPath(dir.path())); }

  // Writes the script as Windows-1251 text and runs it.
  BatchResult Run(std::u16string_view script) {
    dir.WriteText("script.txt", script);
    return RunBatch(state, dir.File("script.txt"));
  }
  std::u16string F(const std::string& name) const { return dir.File(name); }
};

}  // namespace vorkat::testing
