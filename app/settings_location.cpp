#include "app/settings_location.h"

#include <cstdlib>
#include <filesystem>

#include "core/file_io.h"

namespace vorkat {

namespace {

inline constexpr char16_t kIniName[] = u"vorkat2.ini";

std::u16string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? FromUtf8(value) : std::u16string();
}

std::u16string InFolder(const std::u16string& folder, std::u16string_view name) {
  return FromPath(ToPath(folder) / ToPath(name));
}

}  // namespace

std::u16string FindSettings(const SettingsSearch& search) {
  if (!search.named.empty()) {
    std::filesystem::path named = ToPath(search.named);
    if (named.is_relative()) named = ToPath(search.currentDir) / named;
    return FromPath(named.lexically_normal());
  }
  const std::u16string here = InFolder(search.currentDir, kIniName);
  if (FileExists(here)) return here;
  std::u16string config;
  if (!search.xdgConfigHome.empty() && ToPath(search.xdgConfigHome).is_absolute())
    config = search.xdgConfigHome;
  else if (!search.home.empty())
    config = InFolder(search.home, u".config");
  // Without a home folder there is nowhere else: the current folder's, made at exit.
  if (config.empty()) return here;
  return InFolder(InFolder(config, u"vorkat"), kIniName);
}

SettingsSearch SettingsSearchHere(const std::u16string& currentDir, const std::u16string& named) {
  return {currentDir, named, Env("XDG_CONFIG_HOME"), Env("HOME")};
}

std::u16string WindowStatePath(const std::u16string& iniPath) {
  return FromPath(ToPath(iniPath).parent_path() / "vorkat-window.ini");
}

}  // namespace vorkat
