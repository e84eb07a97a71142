#pragma once
// Where a hive's text lives: a file (with its lock and atomic replacement)
// or memory. Both hand out the parsed content and apply one change at a time.
#include <functional>
#include <memory>

#include "platform/registry.h"
#include "registry_format.h"

namespace platform {

class HiveStore {
public:
    virtual ~HiveStore() = default;
    // The hive as it is now; a missing or damaged hive is empty.
    virtual registry_format::Content Read() = 0;
    virtual bool Writable() const = 0;
    // Under the hive's lock: re-reads the hive, runs `change` on it and, when
    // `change` returns true, stores the result. `change` runs at most once.
    virtual RegStatus Update(const std::function<bool(registry_format::Content&)>& change) = 0;
};

std::shared_ptr<HiveStore> MakeHiveStore(const HiveSource& source);

}  // namespace platform
