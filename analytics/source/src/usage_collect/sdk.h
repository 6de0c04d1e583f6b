#pragma once
// The process-wide collection core: builds records from actions and property sets, validates them
// and hands them to the record queue. Every static operation does nothing (or returns false) while no
// instance exists.

#include <memory>
#include <mutex>
#include <string>

#include "usage_collect/property_value.h"
#include "usage_collect/record_queue.h"

namespace usage_collect {

inline constexpr char kLibName[] = "cpp";
inline constexpr char kLibVersion[] = "0.7";

class Sdk {
public:
    // Creates the instance unless one exists (then true, nothing changes). False when the distinct id
    // is empty or longer than 255 bytes.
    static bool Init(const std::string& stagingPath, const std::string& serverUrl,
                     const std::string& distinctId, bool isLoginId);
    // Destroys the instance: unsent records are written to the staging file.
    static void Shutdown();
    static Sdk* Instance();

    static bool TrackEvent(const std::string& eventName, const PropertiesNode& properties);
    static bool TrackEvent(const std::string& eventName);
    static bool TrackInstallation(const std::string& eventName, const PropertiesNode& properties);
    static bool SignUpLogin(const std::string& loginId);

    static bool SetProfile(const PropertiesNode& properties);
    static bool SetProfile(const std::string& key, const std::string& value);
    static bool SetProfile(const std::string& key, int value);
    static bool SetProfile(const std::string& key, double value);
    static bool SetProfileOnce(const PropertiesNode& properties);
    static bool SetProfileOnce(const std::string& key, const std::string& value);
    static bool SetProfileOnce(const std::string& key, int value);
    static bool SetProfileOnce(const std::string& key, double value);
    static bool IncrementProfile(const PropertiesNode& properties);
    static bool IncrementProfile(const std::string& key, int value);
    static bool AppendProfile(const std::string& key, const std::string& value);

    static void AddSuperProperties(const PropertiesNode& properties);
    static bool FlushAll();

    RecordQueue& queue() { return queue_; }
    std::string distinct_id() const;
    bool is_login_id() const;
    PropertiesNode super_properties() const;

    ~Sdk();

private:
    Sdk(const std::string& stagingPath, const std::string& serverUrl, const std::string& distinctId,
        bool isLoginId);
    void ResetSuperProperties();
    bool AddEvent(const std::string& action, const std::string& eventName, const PropertiesNode& properties,
                  const std::string& distinctId, const std::string& originalId);
    static bool Profile(const char* action, const PropertiesNode& properties);

    // Guards the identity and the super properties, which a login may change while others track.
    mutable std::mutex identityLock_;
    PropertiesNode superProperties_;
    std::string distinctId_;
    bool isLoginId_;
    RecordQueue queue_;
};

// A new identifier in GUID text form, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" in upper case.
std::string NewIdentifier();
// The identifier used when no GUID can be made: eight pseudo-random values, "%x%x-%x-%x-%x-%x%x%x".
std::string NewFallbackIdentifier();

}  // namespace usage_collect
