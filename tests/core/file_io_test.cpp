#include "core/file_io.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

constexpr WriteStep kAllSteps[] = {WriteStep::RemoveStaleTemp, WriteStep::CreateTemp, WriteStep::WriteTemp,
                                   WriteStep::SyncTemp,        WriteStep::MakeBak,    WriteStep::ReplaceBak,
                                   WriteStep::Rename,          WriteStep::SyncFolder};

// The temporary files of saves in a folder.
std::vector<std::string> Temporaries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().filename().string().find(".vorkat-tmp") != std::string::npos)
      names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Puts a file there without going through a save (which would clean up).
void Plant(const std::filesystem::path& file, std::string_view bytes = "x") {
  std::ofstream(file, std::ios::binary) << bytes;
}

// A process id that no longer runs.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

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
  EXPECT_TRUE(Temporaries(dir.path()).empty());
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
    EXPECT_TRUE(Temporaries(dir.path()).empty());
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
    EXPECT_TRUE(Temporaries(dir.path()).empty());
  }
}

// Two processes saving one file at once: each save has its own temporary
// file, so the name always holds one whole version, every save that says
// it worked did, and nothing is left behind.
TEST_F(AtomicWrite, TwoConcurrentWritersNeverLeaveTheFileEmptyOrHalfWritten) {
  const Bytes a(200000, 0xAA), b(300000, 0xBB);
  dir.Write("x", a);
  constexpr int kSaves = 40;
  auto writer = [&](const Bytes& data) {
    const pid_t child = ::fork();
    if (child == 0) {
      int failed = 0;
      for (int i = 0; i < kSaves; ++i) failed += Save(data) ? 0 : 1;
      ::_exit(failed);
    }
    return child;
  };
  const pid_t children[2] = {writer(a), writer(b)};
  int status[2] = {0, 0};
  bool ended[2] = {false, false};
  int seen = 0;
  while (!ended[0] || !ended[1]) {
    for (int k = 0; k < 2; ++k)
      if (!ended[k] && ::waitpid(children[k], &status[k], WNOHANG) == children[k]) ended[k] = true;
    const Bytes now = dir.Read("x");
    EXPECT_TRUE(now == a || now == b) << "a reader saw " << now.size() << " bytes";
    ++seen;
  }
  for (int s : status) {
    ASSERT_TRUE(WIFEXITED(s));
    EXPECT_EQ(WEXITSTATUS(s), 0) << "saves reported failed";
  }
  EXPECT_GT(seen, 0);
  const Bytes last = dir.Read("x"), bak = dir.Read("x.bak");
  EXPECT_TRUE(last == a || last == b);
  EXPECT_TRUE(bak == a || bak == b);
  EXPECT_TRUE(Temporaries(dir.path()).empty());
}

TEST_F(AtomicWrite, StaleTemporariesOfEndedRunsGoAndLiveOnesStay) {
  dir.Write("y", kOld);
  const std::string dead = "y.vorkat-tmp." + std::to_string(EndedProcess()) + ".7";
  const std::string live = "y.vorkat-tmp." + std::to_string(::getppid()) + ".7";
  Plant(dir.path() / "z.vorkat-tmp");  // the fixed name of older runs
  Plant(dir.path() / dead);
  Plant(dir.path() / live);
  Plant(dir.path() / "notes.vorkat-tmp.txt");  // not of the program's kind
  std::filesystem::create_directories(dir.path() / "w.vorkat-tmp");
  // A load cleans the folder of its file as a save does.
  ASSERT_TRUE(ReadFileBytes(dir.File("y")));
  EXPECT_EQ(Temporaries(dir.path()), (std::vector<std::string>{"notes.vorkat-tmp.txt", "w.vorkat-tmp", live}));
}

TEST_F(AtomicWrite, ABakThatIsAFolderIsNamedInTheError) {
  Prepare();
  std::filesystem::remove(dir.path() / "x.bak");
  std::filesystem::create_directories(dir.path() / "x.bak");
  IoError error;
  EXPECT_FALSE(Save(kNew, {}, &error));
  EXPECT_EQ(error.code, EISDIR);
  EXPECT_EQ(error.description, dir.File("x.bak") + u": " + FromUtf8(std::strerror(EISDIR)));
  EXPECT_EQ(dir.Read("x"), kOld);
}

TEST_F(AtomicWrite, WhatIsNotARegularFileIsNeitherReplacedNorWaitedOn) {
  ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
  IoError error;
  EXPECT_FALSE(WriteFileAtomic(dir.File("fifo"), kNew, Backup::RotateBak, &error));
  EXPECT_EQ(error.code, kNotRegularFile);
  EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "fifo"));
  EXPECT_FALSE(WriteFileAtomic(u"/dev/null", kNew, Backup::None, &error));
  // Readers refuse at once rather than wait for a writer.
  EXPECT_FALSE(ReadFileBytes(dir.File("fifo"), &error));
  EXPECT_EQ(error.code, kNotRegularFile);
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

// Scripts come through pipes too: they are read to their end, not by the
// size a pipe reports (0), and an endless device meets the size limit.
TEST(ReadFileToEnd, ReadsPipesToTheirEndAndRefusesEndlessDevices) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const std::string script = "DOLOG=piped\r\n";
  ASSERT_EQ(::write(fds[1], script.data(), script.size()), static_cast<ssize_t>(script.size()));
  ::close(fds[1]);
  const auto piped = ReadFileToEnd(FromUtf8("/dev/fd/" + std::to_string(fds[0])), nullptr);
  ::close(fds[0]);
  ASSERT_TRUE(piped);
  EXPECT_EQ(std::string(piped->begin(), piped->end()), script);
  IoError error;
  EXPECT_FALSE(ReadFileToEnd(u"/dev/zero", &error, 1 << 20));
  EXPECT_EQ(error.code, EFBIG);
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
