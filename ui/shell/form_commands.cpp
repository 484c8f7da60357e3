#include "ui/shell/form_commands.h"

namespace vorkat::ui {

const FormCommand* FindFormCommand(std::string_view objectName) {
  for (auto list : {CodecWindows(), ExtractWindows(), InsertWindows(), ViewerWindows(), EditorWindows(),
                    SearchWindows(), FontToolsWindows(), TilesWindows()})
    for (const FormCommand& c : list)
      if (c.objectName == objectName) return &c;
  return nullptr;
}

}  // namespace vorkat::ui
