#include "app/version.h"

namespace vorkat {

std::string_view ProgramVersion() { return VORKAT_VERSION; }

}  // namespace vorkat
