#include "usage_collect/property_value.h"

#include <iostream>

#include "usage_collect/text_rules.h"

namespace usage_collect {
namespace utils {

void ObjectNode::SetObject(const std::string& key, const ObjectNode& node) {
    Put(key, PropertyValue::Object(std::make_shared<const ObjectNode>(node)));
}

const PropertyValue* ObjectNode::Find(const std::string& key) const {
    auto it = members_.find(key);
    return it == members_.end() ? nullptr : &it->second;
}

}  // namespace utils

void PropertiesNode::SetObject(const std::string&, const utils::ObjectNode&) {}

bool PropertiesNode::SetString(const std::string& key, const std::string& text) {
    std::string message;
    if (!CheckStringValue(key, text, &message)) {
        std::cerr << message << std::endl;
        return false;
    }
    Put(key, PropertyValue::String(text));
    return true;
}

void PropertiesNode::SetNumber(const std::string& key, double value) {
    Put(key, PropertyValue::Number(value));
}

void PropertiesNode::SetInteger(const std::string& key, int value) {
    Put(key, PropertyValue::Integer(static_cast<std::int64_t>(value)));
}

void PropertiesNode::SetBool(const std::string& key, bool value) {
    Put(key, PropertyValue::Bool(value));
}

void PropertiesNode::SetDateTime(const std::string& key, std::int64_t seconds, int milliseconds) {
    Put(key, PropertyValue::Time(DateTime{seconds, milliseconds}));
}

void PropertiesNode::SetList(const std::string& key, const std::vector<std::string>& list) {
    Put(key, PropertyValue::List(list));
}

void PropertiesNode::AddProperties(const PropertiesNode& other) {
    for (const auto& [key, value] : other.members()) {
        Put(key, value);
    }
}

void PropertiesNode::SetValue(const std::string& key, const PropertyValue& value) {
    if (value.type() != PropertyValue::kObject) {
        Put(key, value);
    }
}

}  // namespace usage_collect
