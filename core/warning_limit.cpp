#include "core/warning_limit.h"

#include <string>

#include "core/log.h"
#include "core/text.h"

namespace vorkat {

void WarningLimit::LogHidden(Context& ctx, std::uint32_t colour) const {
  AppendLog(ctx,
            std::u16string(what_) + u": ещё" + NumText(static_cast<long long>(hidden())) +
                u" таких сообщений не показано (показаны первые" + NumText(static_cast<long long>(shown_)) + u")",
            colour);
}

}  // namespace vorkat
