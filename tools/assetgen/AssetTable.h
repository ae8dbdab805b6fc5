#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace assetgen {

// Every file the generator knows, by the name it is written under.
QStringList assetNames();

// The bytes of the named file; nothing for an unknown name.
std::optional<QByteArray> renderAsset(const QString& name);

} // namespace assetgen
