#pragma once
// Whether the current user may use the program, as the outside
// user-permission object answers.
#include <chrono>
#include <string>

namespace platform {
class Registry;
}

namespace vexa {

struct PermissionAnswer {
    enum class Kind {
        Admitted,  // a non-zero answer, or no object to ask
        Refused,   // the object answered 0
        Failed,    // the object started but gave no answer; treated as a refusal
    } kind = Kind::Admitted;
    std::string reason;  // for Failed
};

// Asks "Talmor_SelectDB.SelectDBClass" `CheckUserPermission("Kelvane")`. An
// object that is not registered or cannot start admits; its answer is a
// 16-bit integer, 0 refusing.
PermissionAnswer AskPermission(platform::Registry& registry,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace vexa
