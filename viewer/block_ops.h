// Block operations of the viewer: the bytes between the block bounds as a
// dialog, or written or appended to a binary file.
#pragma once

#include <string>

namespace vorkat {

struct CodecState;
struct ViewerModel;

// Each asks for the file name (an empty answer ends it silently), reports
// in the log and a message box, and leaves the files as they were when a
// write fails (with a bright-red line naming the file and the reason).

// Decodes BlockStart <= offset < BlockEnd into one record of a new dialogs file.
void DumpBlockAsDialog(CodecState state, ViewerModel& view);
// Writes the bytes BlockStart..BlockEnd, both included, to a new binary file.
void WriteBlockToFile(CodecState state, ViewerModel& view);
// Adds the bytes BlockStart..BlockEnd after the end of a binary file.
void AppendBlockToFile(CodecState state, ViewerModel& view);

}  // namespace vorkat
