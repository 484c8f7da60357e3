// The local date and time as the program writes them.
#pragma once

#include <string>

namespace vorkat {

// The current local time through a strftime format.
std::u16string LocalTimeText(const char* format);

// As the log shows it, e.g. "05.03.2024 14:07:09".
inline std::u16string NowText() { return LocalTimeText("%d.%m.%Y %H:%M:%S"); }

}  // namespace vorkat
