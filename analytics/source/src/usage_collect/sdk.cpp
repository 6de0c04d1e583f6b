#include "usage_collect/sdk.h"

#include <atomic>
#include <chrono>
#include <iostream>

#include "usage_collect/json_writer.h"
#include "usage_collect/text_rules.h"

namespace usage_collect {
namespace {

// Written only by Init and Shutdown, which run while no other thread tracks.
std::atomic<Sdk*> g_instance{nullptr};

std::int64_t NowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// Step 1 of record building: the given keys and the two reserved ones.
bool CheckGivenProperties(const PropertiesNode& properties) {
    std::string message;
    for (const auto& [key, value] : properties.members()) {
        if (!CheckVariableName(key, "Property Key", &message)) {
            std::cerr << message << std::endl;
            return false;
        }
        if (key == "$time" && value.type() != PropertyValue::kDateTime) {
            std::cerr << "The property '$time' should be DateTime type." << std::endl;
            return false;
        }
        if (key == "$project" && value.type() != PropertyValue::kString) {
            std::cerr << "The property '$project' should be String type." << std::endl;
            return false;
        }
    }
    return true;
}

void AppendMember(const char* name, std::string* out, bool* first) {
    if (!*first) {
        out->push_back(',');
    }
    *first = false;
    out->push_back('"');
    out->append(name);
    out->append("\":");
}

}  // namespace

Sdk::Sdk(const std::string& stagingPath, const std::string& serverUrl, const std::string& distinctId,
         bool isLoginId)
    : distinctId_(distinctId), isLoginId_(isLoginId), queue_(serverUrl, stagingPath, kMaxStagedRecords) {
    ResetSuperProperties();
}

Sdk::~Sdk() {
    queue_.CloseQueue();
}

bool Sdk::Init(const std::string& stagingPath, const std::string& serverUrl, const std::string& distinctId,
               bool isLoginId) {
    std::string message;
    if (!CheckIdentifier(distinctId, "Distinct ID", &message)) {
        std::cerr << message << std::endl;
        return false;
    }
    if (g_instance.load() == nullptr) {
        g_instance.store(new Sdk(stagingPath, serverUrl, distinctId, isLoginId));
    }
    return true;
}

void Sdk::Shutdown() {
    delete g_instance.exchange(nullptr);
}

Sdk* Sdk::Instance() {
    return g_instance.load();
}

void Sdk::ResetSuperProperties() {
    std::lock_guard<std::mutex> lock(identityLock_);
    superProperties_ = PropertiesNode();
    superProperties_.SetString("$lib", kLibName);
    superProperties_.SetString("$lib_version", kLibVersion);
}

std::string Sdk::distinct_id() const {
    std::lock_guard<std::mutex> lock(identityLock_);
    return distinctId_;
}

bool Sdk::is_login_id() const {
    std::lock_guard<std::mutex> lock(identityLock_);
    return isLoginId_;
}

PropertiesNode Sdk::super_properties() const {
    std::lock_guard<std::mutex> lock(identityLock_);
    return superProperties_;
}

bool Sdk::AddEvent(const std::string& action, const std::string& eventName, const PropertiesNode& properties,
                   const std::string& distinctId, const std::string& originalId) {
    if (!CheckGivenProperties(properties)) {
        return false;
    }
    std::string message;
    if (action == "track" && !CheckVariableName(eventName, "Event Name", &message)) {
        std::cerr << message << std::endl;
        return false;
    }
    if (action == "track_signup" && !CheckIdentifier(originalId, "Original ID", &message)) {
        std::cerr << message << std::endl;
        return false;
    }
    PropertiesNode merged;
    bool isLoginId;
    {
        std::lock_guard<std::mutex> lock(identityLock_);
        if (action.find("track") != std::string::npos) {
            merged.AddProperties(superProperties_);
        }
        isLoginId = isLoginId_;
    }
    merged.AddProperties(properties);

    std::int64_t time = NowMilliseconds();
    if (const PropertyValue* given = merged.Find("$time")) {
        time = given->dateTime().seconds * 1000 + given->dateTime().milliseconds;
        merged.Remove("$time");
    }
    std::string project;
    if (const PropertyValue* given = merged.Find("$project")) {
        project = given->string();
        merged.Remove("$project");
    }
    if (isLoginId) {
        merged.SetBool("$is_login_id", true);
    }

    // Members in ascending byte order of their names.
    std::string record = "{";
    bool first = true;
    AppendMember("distinct_id", &record, &first);
    AppendJsonString(distinctId, &record);
    if (action == "track" || action == "track_signup") {
        AppendMember("event", &record, &first);
        AppendJsonString(eventName, &record);
    }
    AppendMember("lib", &record, &first);
    record.append("{\"$lib\":\"cpp\",\"$lib_method\":\"code\",\"$lib_version\":\"0.7\"}");
    if (action == "track_signup") {
        AppendMember("original_id", &record, &first);
        AppendJsonString(originalId, &record);
    }
    if (!project.empty()) {
        AppendMember("project", &record, &first);
        AppendJsonString(project, &record);
    }
    AppendMember("properties", &record, &first);
    AppendJsonObject(merged, &record);
    AppendMember("time", &record, &first);
    record.append(std::to_string(time));
    AppendMember("type", &record, &first);
    AppendJsonString(action, &record);
    record.push_back('}');

    queue_.AddRecord(std::move(record));
    return true;
}

bool Sdk::TrackEvent(const std::string& eventName, const PropertiesNode& properties) {
    Sdk* sdk = Instance();
    return sdk != nullptr && sdk->AddEvent("track", eventName, properties, sdk->distinct_id(), "");
}

bool Sdk::TrackEvent(const std::string& eventName) {
    return TrackEvent(eventName, PropertiesNode());
}

bool Sdk::TrackInstallation(const std::string& eventName, const PropertiesNode& properties) {
    PropertiesNode withSource;
    withSource.SetString("$ios_install_source", "");
    withSource.AddProperties(properties);
    return TrackEvent(eventName, withSource);
}

bool Sdk::SignUpLogin(const std::string& loginId) {
    Sdk* sdk = Instance();
    if (sdk == nullptr) {
        return false;
    }
    bool added = sdk->AddEvent("track_signup", "$SignUp", PropertiesNode(), loginId, sdk->distinct_id());
    std::lock_guard<std::mutex> lock(sdk->identityLock_);
    sdk->distinctId_ = loginId;
    sdk->isLoginId_ = true;
    return added;
}

namespace {

template <typename T>
PropertiesNode OneKey(const std::string& key, const T& value) {
    PropertiesNode node;
    if constexpr (std::is_same_v<T, std::string>) {
        node.SetString(key, value);
    } else if constexpr (std::is_same_v<T, int>) {
        node.SetInteger(key, value);
    } else {
        node.SetNumber(key, value);
    }
    return node;
}

}  // namespace

bool Sdk::Profile(const char* action, const PropertiesNode& properties) {
    Sdk* sdk = Instance();
    return sdk != nullptr && sdk->AddEvent(action, "", properties, sdk->distinct_id(), "");
}

bool Sdk::SetProfile(const PropertiesNode& properties) {
    return Profile("profile_set", properties);
}
bool Sdk::SetProfile(const std::string& key, const std::string& value) {
    return Profile("profile_set", OneKey(key, value));
}
bool Sdk::SetProfile(const std::string& key, int value) {
    return Profile("profile_set", OneKey(key, value));
}
bool Sdk::SetProfile(const std::string& key, double value) {
    return Profile("profile_set", OneKey(key, value));
}

bool Sdk::SetProfileOnce(const PropertiesNode& properties) {
    return Profile("profile_set_once", properties);
}
bool Sdk::SetProfileOnce(const std::string& key, const std::string& value) {
    return Profile("profile_set_once", OneKey(key, value));
}
bool Sdk::SetProfileOnce(const std::string& key, int value) {
    return Profile("profile_set_once", OneKey(key, value));
}
bool Sdk::SetProfileOnce(const std::string& key, double value) {
    return Profile("profile_set_once", OneKey(key, value));
}

bool Sdk::IncrementProfile(const PropertiesNode& properties) {
    return Profile("profile_increment", properties);
}
bool Sdk::IncrementProfile(const std::string& key, int value) {
    return Profile("profile_increment", OneKey(key, value));
}

bool Sdk::AppendProfile(const std::string& key, const std::string& value) {
    PropertiesNode node;
    node.SetList(key, {value});
    return Profile("profile_append", node);
}

void Sdk::AddSuperProperties(const PropertiesNode& properties) {
    Sdk* sdk = Instance();
    if (sdk == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(sdk->identityLock_);
    sdk->superProperties_.AddProperties(properties);
}

bool Sdk::FlushAll() {
    Sdk* sdk = Instance();
    return sdk != nullptr && sdk->queue_.FlushAll();
}

}  // namespace usage_collect
