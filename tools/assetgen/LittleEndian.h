#pragma once

#include <QByteArray>
#include <QtEndian>

// Little-endian fields of the RIFF and bitmap file headers.
namespace assetgen {

inline void Put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

inline void Put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace assetgen
