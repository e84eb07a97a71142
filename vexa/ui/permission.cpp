#include "vexa/ui/permission.h"

#include <cstdint>

#include "platform/process.h"
#include "platform/registry.h"
#include "vexa/res/startup_names.h"

namespace vexa {

PermissionAnswer AskPermission(platform::Registry& registry, std::chrono::milliseconds timeout) {
    PermissionAnswer answer;
    auto object = platform::AutomationObject::Create(registry, kPermissionProgId);
    if (!object) return answer;
    object->SetTimeout(timeout);
    auto call = object->Invoke(kPermissionMethod, {std::string(kProductName)});
    using Kind = platform::AutomationObject::CallResult::Kind;
    switch (call.kind) {
        case Kind::CannotStart:
            break;
        case Kind::Failed:
            // A broken policy must not admit every user.
            answer.kind = PermissionAnswer::Kind::Failed;
            answer.reason = std::string(kPermissionProgId) + " " + std::string(kPermissionMethod) +
                            " failed: " + call.reason;
            break;
        case Kind::Number:
            if (static_cast<int16_t>(call.number) == 0) answer.kind = PermissionAnswer::Kind::Refused;
            break;
    }
    return answer;
}

}  // namespace vexa
