// Loading a table file into the program-wide table, and setting its type.
#pragma once

#include <string>
#include <string_view>

namespace vorkat {

struct CodecState;

// Loads the table file. With nameGiven false the open dialog "Load Table
// file" asks for it first and the answer becomes settings.TableFileName;
// with true (batch LOADTABLE, which sets TableFileName first) that name is
// used as it is. A file that cannot be read is reported and the table stays.
void LoadTable(CodecState state, bool nameGiven);

// Loads table text already in memory (as read from `fileName`) the same way.
void LoadTableText(CodecState state, std::u16string_view text, std::u16string_view fileName);

// Menu "Установить тип таблицы": asks for the type and stores it as typed.
void SetTableType(CodecState state);

}  // namespace vorkat
