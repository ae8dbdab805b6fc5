#pragma once
// The readable listing of a component library's embedded resources.

#include "platform/com/Resources.h"

#include <QString>

QString ListResources(const QString& path, const plat::ResourceDirectory& resources);
