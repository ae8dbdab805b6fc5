#pragma once
// The hive files on disk: where they are, who may write them, reading them
// (parsed once per version of the file) and changing them under a lock with
// an atomic replace, so that writers in several processes lose nothing.

#include "platform/registry/Hive.h"

#include <functional>
#include <memory>

namespace plat::registry {

enum class HiveId { User, Machine };

QString HivePath(HiveId id);
QString HiveRootName(HiveId id);  // the section prefix in the file

// The hive as it is on disk now. A missing file reads as an empty hive; so
// does a corrupt or unreadable one, which is reported once on stderr.
std::shared_ptr<const Hive> ReadHive(HiveId id);
// One key as it is on disk now, for its values (its subkeys may be left out);
// null when there is none. Cheaper than the whole hive while nothing needed
// that: a reader of a few keys of a big hive builds only an index of the file.
std::shared_ptr<const Key> ReadKey(HiveId id, const QString& path);
bool KeyExists(HiveId id, const QString& path);

// Whether the current user may change the hive file (or create it).
bool HiveWritable(HiveId id);

// Why the hive cannot be read now or, with forWriting, changed: a sentence
// that names its file (and the line where a corrupt one goes wrong). Empty
// when nothing is known to be wrong.
QString HiveProblem(HiveId id, bool forWriting);

// Lets `edit` change the hive under the file's lock and writes it back
// atomically when `edit` returned ERROR_SUCCESS and set `changed`. The hive
// parsed before is reused while the file is unchanged; inside a RegBatch the
// write waits for its Commit(). An edit that fails, or does not set
// `changed`, must leave the hive as it found it, and may not call back into
// the registry. A corrupt hive is never written: ERROR_REGISTRY_CORRUPT.
using HiveEdit = std::function<std::int32_t(Hive& hive, bool& changed)>;
std::int32_t EditHive(HiveId id, const HiveEdit& edit);

// How many times this process has read and parsed a hive file.
std::uint64_t HiveLoadCount();

}  // namespace plat::registry
