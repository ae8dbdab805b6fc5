#pragma once
// The hive files on disk: where they are, who may write them, reading them
// (cached until the file changes) and changing them under a lock with an
// atomic replace, so that writers in several processes lose nothing.

#include "platform/registry/Hive.h"

#include <functional>
#include <memory>

namespace plat::registry {

enum class HiveId { User, Machine };

QString HivePath(HiveId id);
QString HiveRootName(HiveId id);  // the section prefix in the file

// The hive as it is on disk now. A missing file reads as an empty hive; so
// does a corrupt one, which is reported once on stderr.
std::shared_ptr<const Hive> ReadHive(HiveId id);

// Whether the current user may change the hive file (or create it).
bool HiveWritable(HiveId id);

// Re-reads the hive under its lock, lets `edit` change it and writes it back
// atomically when `edit` returned ERROR_SUCCESS and set `changed`. A corrupt
// hive is never written: ERROR_REGISTRY_CORRUPT.
using HiveEdit = std::function<std::int32_t(Hive& hive, bool& changed)>;
std::int32_t EditHive(HiveId id, const HiveEdit& edit);

}  // namespace plat::registry
