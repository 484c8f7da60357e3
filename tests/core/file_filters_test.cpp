#include "core/file_filters.h"

#include <gtest/gtest.h>

using namespace vorkat;

namespace {

std::vector<std::u16string> Captions(std::u16string_view filters) {
  std::vector<std::u16string> out;
  for (const FileFilter& f : ParseFileFilters(filters)) out.push_back(FilterCaption(f));
  return out;
}

TEST(FileFilters, CaptionsShowThePatternsOnceWhateverTheDescriptionCarries) {
  EXPECT_EQ(Captions(u"Batch Files (*.txt|*.txt\r\nAll Files (*.*)|*.*"),
            (std::vector<std::u16string>{u"Batch Files (*.txt)", u"All Files (*.*)"}));
  EXPECT_EQ(Captions(u"Table Files (*.tbl)|*.tbl"), std::vector<std::u16string>{u"Table Files (*.tbl)"});
  EXPECT_EQ(Captions(u"Файл протокола (*.txt,*.xml)|*.txt;*.xml"),
            std::vector<std::u16string>{u"Файл протокола (*.txt *.xml)"});
  EXPECT_EQ(Captions(u"Вынутые данные о ширине букв(*.txt)|*.txt"),
            std::vector<std::u16string>{u"Вынутые данные о ширине букв (*.txt)"});
}

TEST(FileFilters, ATrailingQuestionMarkAlsoMatchesTheShorterName) {
  EXPECT_EQ(Captions(u"GameBoy Files (*.gba,*.gbc,*.gb)|*.gb?"),
            std::vector<std::u16string>{u"GameBoy Files (*.gb *.gb?)"});
}

}  // namespace
