#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace assetgen {

// Every file the generator knows, by the name it is written under.
QStringList AssetNames();

// The bytes of the named file; nothing for an unknown name.
std::optional<QByteArray> RenderAsset(const QString& name);

} // namespace assetgen
