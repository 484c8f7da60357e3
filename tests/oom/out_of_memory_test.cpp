// Running out of memory inside a command ends that command only. The
// allocation failure is injected by replacing the global allocation
// functions of this test program; they behave normally unless armed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "app/app.h"
#include "app/commands.h"
#include "batch/batch.h"
#include "script/dialogs_file.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

namespace {
// While set, every allocation of at least this many bytes fails.
std::size_t g_failFrom = 0;
}  // namespace

// Every plain and nothrow form is replaced, so that what one form allocates
// another form frees consistently (the sanitizers check that).
void* operator new(std::size_t size) {
  if (g_failFrom != 0 && size >= g_failFrom) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (g_failFrom != 0 && size >= g_failFrom) return nullptr;
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

struct ArmedAllocationFailure {
  explicit ArmedAllocationFailure(std::size_t from) { g_failFrom = from; }
  ~ArmedAllocationFailure() { g_failFrom = 0; }
};

TEST(OutOfMemory, ABatchLineAndAMenuCommandEndCleanlyAndKeepTheLoadedDialogs) {
  TempDir dir;
  ScriptedHost host;
  AppState state(host);
  StartUp(state, FromPath(dir.path()));
  // A file of 20,000 dialogs, and one dialog loaded.
  state.dialogs.records.assign(20000, DialogRecord{});
  for (int i = 0; i < 20000; ++i) state.dialogs.records[i] = {DecText(i), u"10"};
  state.dialogs.records[0].dlgText = u"new";
  state.dialogs.lastIndex = 19999;
  state.dialogs.records.emplace_back();
  state.dialogs.isLoaded = true;
  state.dialogs.fileName = dir.File("big.txt");
  ASSERT_EQ(SaveDialogs(state, true), SaveOutcome::Saved);
  state.dialogs.records.resize(2);
  state.dialogs.records[0].dlgText = u"old";
  state.dialogs.lastIndex = 0;
  state.dialogs.fileName = dir.File("small.txt");
  const auto before = state.dialogs.records;
  dir.WriteText("script.txt", u"LOADDIALOGS=" + dir.File("big.txt") + u"\r\nDOLOG=after\r\n");

  BatchResult result;
  {
    ArmedAllocationFailure armed(256 * 1024);
    result = RunBatch(state, dir.File("script.txt"));
  }
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(state.ctx.busy, 0);
  EXPECT_EQ(state.dialogs.records.size(), before.size());
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"old");
  EXPECT_NE(state.ctx.log.text.find(u"Не хватило памяти"), std::u16string::npos);
  EXPECT_EQ(state.ctx.log.text.find(u"after"), std::u16string::npos);

  host.fileNames.push_back(dir.File("big.txt"));
  {
    ArmedAllocationFailure armed(256 * 1024);
    EXPECT_FALSE(RunGuarded(state, [&] { FindCoreCommand("menuOpenDialog")->run(state); }));
  }
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"old");
  EXPECT_FALSE(state.ctx.progress.visible);
  FindCoreCommand("menuClearLogs")->run(state);  // the program goes on
  EXPECT_TRUE(state.ctx.log.text.empty());
}

}  // namespace
