#pragma once
// Typed property values and the ordered property sets that records are built from.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace usage_collect {

namespace utils {
class ObjectNode;
}

// A point in time as the collector expects it: seconds since 1970 plus milliseconds.
struct DateTime {
    std::int64_t seconds = 0;
    int milliseconds = 0;
};

// A tagged value. The alternatives are declared in tag order, so the variant index is the tag the
// serialiser switches on.
class PropertyValue {
public:
    enum Type { kNumber = 0, kInteger = 1, kString = 2, kList = 3, kDateTime = 4, kBool = 5, kObject = 6 };

    PropertyValue() = default;
    static PropertyValue Number(double value) {
        return PropertyValue(Payload(std::in_place_index<kNumber>, value));
    }
    static PropertyValue Integer(std::int64_t value) {
        return PropertyValue(Payload(std::in_place_index<kInteger>, value));
    }
    static PropertyValue String(std::string value) {
        return PropertyValue(Payload(std::in_place_index<kString>, std::move(value)));
    }
    static PropertyValue List(std::vector<std::string> value) {
        return PropertyValue(Payload(std::in_place_index<kList>, std::move(value)));
    }
    static PropertyValue Time(DateTime value) {
        return PropertyValue(Payload(std::in_place_index<kDateTime>, value));
    }
    static PropertyValue Bool(bool value) {
        return PropertyValue(Payload(std::in_place_index<kBool>, value));
    }
    static PropertyValue Object(std::shared_ptr<const utils::ObjectNode> value) {
        return PropertyValue(Payload(std::in_place_index<kObject>, std::move(value)));
    }

    Type type() const { return static_cast<Type>(payload_.index()); }
    double number() const { return std::get<kNumber>(payload_); }
    std::int64_t integer() const { return std::get<kInteger>(payload_); }
    const std::string& string() const { return std::get<kString>(payload_); }
    const std::vector<std::string>& list() const { return std::get<kList>(payload_); }
    DateTime dateTime() const { return std::get<kDateTime>(payload_); }
    bool boolean() const { return std::get<kBool>(payload_); }
    const utils::ObjectNode& object() const { return *std::get<kObject>(payload_); }

private:
    using Payload = std::variant<double, std::int64_t, std::string, std::vector<std::string>, DateTime, bool,
                                 std::shared_ptr<const utils::ObjectNode>>;
    explicit PropertyValue(Payload payload) : payload_(std::move(payload)) {}

    Payload payload_;
};

namespace utils {

// An ordered map from key to value. std::map over std::string orders keys by plain byte comparison,
// which is the member order of the serialised object.
class ObjectNode {
public:
    using Members = std::map<std::string, PropertyValue>;

    ObjectNode() = default;
    ObjectNode(const ObjectNode&) = default;
    ObjectNode& operator=(const ObjectNode&) = default;
    virtual ~ObjectNode() = default;

    virtual void SetObject(const std::string& key, const ObjectNode& node);

    const Members& members() const { return members_; }
    const PropertyValue* Find(const std::string& key) const;
    bool Contains(const std::string& key) const { return members_.count(key) != 0; }
    void Remove(const std::string& key) { members_.erase(key); }
    bool empty() const { return members_.empty(); }

protected:
    void Put(const std::string& key, PropertyValue value) {
        members_.insert_or_assign(key, std::move(value));
    }

private:
    Members members_;
};

}  // namespace utils

// The property set that callers build. It never holds a nested object.
class PropertiesNode : public utils::ObjectNode {
public:
    void SetObject(const std::string& key, const utils::ObjectNode& node) override;

    // False (with a message on standard error) when the text is too long or not acceptable UTF-8.
    bool SetString(const std::string& key, const std::string& text);
    void SetNumber(const std::string& key, double value);
    void SetInteger(const std::string& key, int value);
    void SetBool(const std::string& key, bool value);
    void SetDateTime(const std::string& key, std::int64_t seconds, int milliseconds);
    void SetList(const std::string& key, const std::vector<std::string>& list);
    void AddProperties(const PropertiesNode& other);
    // Sets a value of any tag but an object; used when copying and merging.
    void SetValue(const std::string& key, const PropertyValue& value);
};

}  // namespace usage_collect
