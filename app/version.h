// The program's version, one number for the build, --version, the About box
// and the package (the project's VERSION in CMakeLists.txt).
#pragma once

#include <string_view>

namespace vorkat {

std::string_view ProgramVersion();

}  // namespace vorkat
