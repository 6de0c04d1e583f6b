#pragma once
// The saved user information: the anonymous or login distinct id, the login state and the collector
// the ids belong to, kept in section "Base" of the analytics INI file.

#include <string>

namespace kelto::usage {

struct UserInfo {
    bool loggedIn = false;
    std::string userId;
    std::string distinctId;
    int vipLevel = 0;
    std::string url;
    std::string iniPath;
    std::string dataFolder;
    std::string logFilePath;
};

// Clears the saved fields and reads them from `info->iniPath` when the file exists; logged in only
// for exactly "OK". An empty distinct id is replaced by a new identifier and saved at once.
void ReadUserInfo(UserInfo* info);
// Writes the five "Base" keys. False when the file cannot be written.
bool SaveUserInfo(const UserInfo& info);

}  // namespace kelto::usage
