#include "core/file_io.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

constexpr WriteStep kAllSteps[] = {WriteStep::RemoveStaleTemp, WriteStep::CreateTemp,   WriteStep::WriteTemp,
                                   WriteStep::SyncTemp,        WriteStep::RemoveOldBak, WriteStep::MakeBak,
                                   WriteStep::Rename,          WriteStep::SyncFolder};

const Bytes kOlder{1};
const Bytes kOld{2, 2};
const Bytes kNew{3, 3, 3};

struct AtomicWrite : ::testing::Test {
  TempDir dir;

  void Prepare() {
    dir.Write("x", kOld);
    dir.Write("x.bak", kOlder);
  }
  bool Save(const Bytes& data, const WriteFaults& faults = {}, IoError* error = nullptr) {
    return WriteFileAtomic(dir.File("x"), data, Backup::RotateBak, error, faults);
  }
};

}  // namespace

TEST_F(AtomicWrite, ReplacesTheFileAndKeepsOneBackup) {
  Prepare();
  ASSERT_TRUE(Save(kNew));
  EXPECT_EQ(dir.Read("x"), kNew);
  EXPECT_EQ(dir.Read("x.bak"), kOld);
  EXPECT_FALSE(dir.Exists("x.vorkat-tmp"));
}

TEST_F(AtomicWrite, AFailureAtAnyStepKeepsTheOldFileAndRemovesTheTemporary) {
  for (WriteStep step : kAllSteps) {
    SCOPED_TRACE(static_cast<int>(step));
    Prepare();
    IoError error;
    const bool saved = Save(kNew, WriteFaults{.failAt = step}, &error);
    // The name is already the new file's once the rename is done; a folder
    // that cannot be synced does not undo that.
    const bool afterRename = step == WriteStep::SyncFolder;
    EXPECT_EQ(saved, afterRename);
    EXPECT_EQ(dir.Read("x"), afterRename ? kNew : kOld);
    EXPECT_FALSE(dir.Exists("x.vorkat-tmp"));
    if (!saved) {
      EXPECT_NE(error.code, 0);
      EXPECT_NE(error.description, FromUtf8(std::strerror(0)));
    }
  }
}

TEST_F(AtomicWrite, AKillBeforeAnyStepLeavesOldOrNewAndTheNextSaveCleansUp) {
  for (WriteStep step : kAllSteps) {
    SCOPED_TRACE(static_cast<int>(step));
    Prepare();
    Save(kNew, WriteFaults{.killBefore = step});
    const bool renamed = step == WriteStep::SyncFolder;
    EXPECT_EQ(dir.Read("x"), renamed ? kNew : kOld);

    const Bytes before = dir.Read("x");
    ASSERT_TRUE(Save(Bytes{4}));
    EXPECT_EQ(dir.Read("x"), Bytes{4});
    EXPECT_EQ(dir.Read("x.bak"), before);
    EXPECT_FALSE(dir.Exists("x.vorkat-tmp"));
  }
}

TEST_F(AtomicWrite, BackupIsCopiedWhereHardLinksAreRefused) {
  Prepare();
  ASSERT_TRUE(Save(kNew, WriteFaults{.noHardLinks = true}));
  EXPECT_EQ(dir.Read("x"), kNew);
  EXPECT_EQ(dir.Read("x.bak"), kOld);
}

TEST_F(AtomicWrite, SavingThroughASymbolicLinkWritesItsTargetAndKeepsTheLink) {
  std::filesystem::create_directories(dir.path() / "real");
  dir.Write("real/x", kOld);
  std::filesystem::create_symlink("real/x", dir.path() / "link");
  ASSERT_TRUE(WriteFileAtomic(dir.File("link"), kNew, Backup::RotateBak, nullptr));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link"));
  EXPECT_EQ(dir.Read("real/x"), kNew);
  EXPECT_EQ(dir.Read("real/x.bak"), kOld);
  EXPECT_FALSE(dir.Exists("link.bak"));
}

TEST_F(AtomicWrite, ErrorsCarryTheFailingCallsReason) {
  IoError error;
  EXPECT_FALSE(WriteFileAtomic(dir.File("no-folder/x"), kNew, Backup::None, &error));
  EXPECT_EQ(error.code, ENOENT);
  EXPECT_EQ(IoErrorText(u"Не удалось записать файл ", dir.File("no-folder/x"), error),
            u"Не удалось записать файл " + dir.File("no-folder/x") + u": " + FromUtf8(std::strerror(ENOENT)));
  std::filesystem::create_directories(dir.path() / "folder");
  EXPECT_FALSE(WriteFileAtomic(dir.File("folder"), kNew, Backup::None, &error));
  EXPECT_EQ(error.code, EISDIR);
}

TEST(ReadWholeFile, RefusesAFileOverItsLimitBeforeAllocating) {
  TempDir dir;
  dir.Write("f", Bytes(11, 7));
  bool allocated = false;
  IoError error;
  Bytes out;
  auto allocate = [&](std::size_t n) {
    allocated = true;
    out.resize(n);
    return out.data();
  };
  EXPECT_FALSE(ReadWholeFile(dir.File("f"), 10, allocate, &error));
  EXPECT_FALSE(allocated);
  EXPECT_EQ(error.code, EFBIG);
  EXPECT_EQ(error.description, u"файл слишком велик: 11 байт, а можно не больше 10");
  EXPECT_TRUE(ReadWholeFile(dir.File("f"), 11, allocate, &error));
  EXPECT_EQ(out, Bytes(11, 7));
}

// Large files are read as two halves by two threads: every byte lands in its
// place for sizes on both sides of that limit, odd halves included.
TEST(ReadWholeFile, LargeFilesArriveWhole) {
  TempDir dir;
  for (std::size_t size : {std::size_t{0}, kReadInTwoFrom - 1, kReadInTwoFrom + 1}) {
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i ^ i >> 8 ^ i >> 16);
    dir.Write("f", data);
    auto read = ReadFileBytes(dir.File("f"), nullptr, kMaxRomFileSize);
    ASSERT_TRUE(read) << size;
    EXPECT_TRUE(*read == data) << size;
  }
}
