#pragma once
// Qt's texts in GoogleTest's failure messages as text, not as bytes.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
