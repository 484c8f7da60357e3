// The settings file "vorkat2.ini": read once at start-up, rewritten at exit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/pointer_format.h"

namespace vorkat {

struct Context;

struct Settings {
  std::u16string iniPath;
  bool iniWasUnicode = false;
  std::u16string InputRomFileName;
  std::u16string TableFileName;
  std::u16string HelpFileName;
  std::int32_t NumberOfTextChars = 2;
  std::u16string ExtendedLogs = u"YES";
  std::u16string WriteTextInUnicode = u"NO";
  std::u16string DialogDelimiterStr = u"\r\n\u00A7\r\n";
  std::u16string DialogAttrSeparator = u",";
  std::u16string DialogAttrDelimStr = u"\r\n\u00B6\r\n";
  std::u16string CorrectDlgTwoCaps = u"NO";
  std::u16string CorrectDlgNumStart = u"NO";
  std::u16string TrDialogFileFormat;
  std::int32_t StartExtrFromAddr = 0;
  std::int32_t EndExtrFromAddr = 0;
  std::u16string VivorurePrnXPrnY;
  std::u16string interletterspacing;
  std::u16string LastBGFileName;
  // The "PointerFormat=" key: how pointers are read and written program-wide.
  PointerFormat PtrFormat = PointerFormat::GBA;
};

inline constexpr std::u16string_view kDefaultDialogFileFormat =
    u"dlgID,ExtractedFromAddr,OldDlgSize,NewDlgSize,DoPointerChange,NewDlgAddr,OldPtrHEX,NewPtrHEX,"
    u"PtrsAddrListFile,dlgComments,dlgText";

// Real CR LF and spaces <-> "<$VBCRLF>" and "<$SPACE>".
std::u16string TextToMarkupCopy(std::u16string_view text);
std::u16string MarkupToTextCopy(std::u16string_view text);

std::u16string GetIniValue(std::u16string_view text, std::u16string_view key);

// Fills state.settings from the file at settings.iniPath (created empty when absent).
void LoadSettings(Context& ctx);
// Reads every key from the file's text (the lookups of LoadSettings).
void ApplySettingsText(Settings& s, std::u16string_view text);
// Writes the whole file (unless it holds these bytes already); returns false
// (and says so) when it could not.
bool SaveSettings(Context& ctx);

// The file's text as SaveSettings writes it.
std::u16string SettingsFileText(const Settings& s);

}  // namespace vorkat
