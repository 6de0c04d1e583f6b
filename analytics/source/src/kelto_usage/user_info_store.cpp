#include "kelto_usage/user_info_store.h"

#include "platform/ini_file.h"
#include "platform/paths.h"
#include "usage_collect/sdk.h"

namespace kelto::usage {

void ReadUserInfo(UserInfo* info) {
    info->loggedIn = false;
    info->userId.clear();
    info->distinctId.clear();
    info->vipLevel = 0;
    info->url.clear();
    if (platform::PathExists(info->iniPath)) {
        platform::IniFile ini(info->iniPath);
        info->distinctId = ini.GetString("Base", "DistinctId", "");
        info->userId = ini.GetString("Base", "UserId", "");
        info->vipLevel = ini.GetInt("Base", "UserVipLevel", 0);
        info->loggedIn = ini.GetString("Base", "isLogined", "") == "OK";
        info->url = ini.GetString("Base", "URL", "");
    }
    if (info->distinctId.empty()) {
        info->distinctId = usage_collect::NewIdentifier();
        SaveUserInfo(*info);
    }
}

bool SaveUserInfo(const UserInfo& info) {
    platform::IniFile ini(info.iniPath);
    bool saved = ini.SetString("Base", "DistinctId", info.distinctId);
    saved = ini.SetString("Base", "UserId", info.userId) && saved;
    saved = ini.SetString("Base", "UserVipLevel", std::to_string(info.vipLevel)) && saved;
    saved = ini.SetString("Base", "URL", info.url) && saved;
    saved = ini.SetString("Base", "isLogined", info.loggedIn ? "OK" : "NG") && saved;
    return saved;
}

}  // namespace kelto::usage
