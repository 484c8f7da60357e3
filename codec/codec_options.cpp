#include "codec/codec_options.h"

#include "core/runtime.h"

namespace vorkat {

void ToggleSkipUnknownTRChars(CodecOptions& options) { options.SkipUnknownTRChars = !options.SkipUnknownTRChars; }
void ToggleHexEncodeUnknownChars(CodecOptions& options) { FlipYesNo(options.HexEncodeUnknownChars); }

}  // namespace vorkat
