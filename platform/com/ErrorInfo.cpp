#include "platform/com/ErrorInfo.h"

namespace plat {

namespace {
thread_local std::optional<ErrorInfo> last;
}

void SetErrorInfo(const QString& source, const QString& description)
{
    last = ErrorInfo{source, description};
}

void ClearErrorInfo()
{
    last.reset();
}

std::optional<ErrorInfo> TakeErrorInfo()
{
    std::optional<ErrorInfo> out;
    out.swap(last);
    return out;
}

}  // namespace plat
