// Loading a table file into the program-wide table, and setting its type.
#pragma once

#include <string>
#include <string_view>

#include "core/text.h"

namespace vorkat {

struct CodecState;

// Loads the table file. With nameGiven false the open dialog "Load Table
// file" asks for it first and the answer becomes settings.TableFileName;
// with true (batch LOADTABLE, which sets TableFileName first) that name is
// used as it is. A file that cannot be read is reported and the table stays.
void LoadTable(CodecState state, bool nameGiven);

// Loads table text already in memory (as read from `fileName`) the same way.
// A text that yields no entry is refused (false) and the loaded table stays.
// `encoding` is how the file was read; the table save writes it the same way.
bool LoadTableText(CodecState state, std::u16string_view text, std::u16string_view fileName,
                   TextEncoding encoding = TextEncoding::Ansi);

// Menu "Установить тип таблицы": asks for the type and stores it as typed.
void SetTableType(CodecState state);

}  // namespace vorkat
