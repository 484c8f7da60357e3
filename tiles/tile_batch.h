// The batch commands of the tiles, with the grey ramp of the format as the palette:
//   TILESEXPORT=offset,count,format,perrow,file.png[,LZ77]
//   TILESIMPORT=file.png,offset,format,perrow[,LZ77]
// `count` counts 8x8 tiles; with LZ77 the offset is the block's and the
// tiles are counted from the start of its data. False when the line was
// refused (logged, nothing changed).
#pragma once

#include <string_view>

namespace vorkat {

struct CoreState;

bool TilesExportLine(CoreState state, std::u16string_view argument);
bool TilesImportLine(CoreState state, std::u16string_view argument);

}  // namespace vorkat
