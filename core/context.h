// What every operation needs besides the documents it works on: the host,
// the settings, the log, and the bookkeeping of the running operation
// (busy, stop request, progress, yield clock). One per program run.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "core/file_io.h"
#include "core/host.h"
#include "core/log.h"
#include "core/settings.h"

namespace vorkat {

struct Context {
  explicit Context(Host& h) : host(h) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  Host& host;
  Settings settings;
  LogWindow log;

  int logMuted = 0;  // above 0 while a LogMute lives

  // Bright-red lines logged in this run (a clear of the log keeps the count).
  std::size_t errorLinesLogged = 0;
  std::u16string lastErrorLine;  // the latest of them; the window's status bar shows it

  // Above 0 while a batch script runs (and while vorkat-cli ends its run):
  // a refused command is then an error, since nobody reads the log at once.
  int batchDepth = 0;

  bool CancelRequested = false;
  // Depth of running long operations; while above 0, commands that change
  // the state are refused.
  int busy = 0;
  // Set by the exit sequence; hosts end their event loop when they see it.
  bool exitRequested = false;

  ProgressState progress;
  std::chrono::steady_clock::time_point lastYield{};
  std::chrono::milliseconds yieldInterval{20};  // tests set 0 to yield at every point

  WriteFaults writeFaults;  // failure injection for tests
};

}  // namespace vorkat
