// One JSON object, built field by field in order and written on one line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ravlin {

class JsonObject
{
public:
    JsonObject &add(const std::string &key, const std::string &text);
    JsonObject &add(const std::string &key, const char *text) { return add(key, std::string(text)); }
    JsonObject &add(const std::string &key, long long number);
    JsonObject &add(const std::string &key, int number) { return add(key, static_cast<long long>(number)); }
    JsonObject &add(const std::string &key, unsigned number) { return add(key, static_cast<long long>(number)); }
    JsonObject &add(const std::string &key, long number) { return add(key, static_cast<long long>(number)); }
    JsonObject &add(const std::string &key, double number);
    JsonObject &addBool(const std::string &key, bool value);
    JsonObject &addNull(const std::string &key);
    JsonObject &add(const std::string &key, const JsonObject &object);
    JsonObject &add(const std::string &key, const std::vector<JsonObject> &objects);
    JsonObject &addNumbers(const std::string &key, const std::vector<uint8_t> &bytes);
    JsonObject &addRaw(const std::string &key, const std::string &json);

    // The other object's fields after these.
    JsonObject &append(const JsonObject &other);

    bool empty() const { return m_fields.empty(); }
    std::string text() const;

private:
    std::vector<std::pair<std::string, std::string>> m_fields; // key, JSON value
};

// A string as a JSON literal. Device texts are ISO 8859-1 bytes: they are
// converted to UTF-8 before they get here.
std::string jsonString(const std::string &utf8);

} // namespace ravlin
