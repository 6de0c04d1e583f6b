#pragma once
// Starting programs that live on after us, and opening addresses in the user's browser.

#include <string>
#include <vector>

namespace platform {

// Starts `program` with `args` in `workingFolder` (empty: ours), detached from our process group;
// it is not our child and is never waited for. False when it could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingFolder);
// Opens a web address or file with the desktop's handler (xdg-open).
bool OpenAddress(const std::string& address);

}  // namespace platform
