#pragma once
// The description of the last failure on this thread, which a failing method
// leaves for its caller (the dispatch path turns it into an EXCEPINFO).

#include <QString>
#include <optional>

namespace plat {

struct ErrorInfo {
    QString source;
    QString description;
};

void SetErrorInfo(const QString& source, const QString& description);
void ClearErrorInfo();
std::optional<ErrorInfo> TakeErrorInfo();  // and clears it

}  // namespace plat
