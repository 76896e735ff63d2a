#include "Json.h"

#include <cmath>
#include <cstdio>

namespace ravlin {

std::string jsonString(const std::string &utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

JsonObject &JsonObject::add(const std::string &key, const std::string &text)
{
    m_fields.emplace_back(key, jsonString(text));
    return *this;
}

JsonObject &JsonObject::add(const std::string &key, long long number)
{
    m_fields.emplace_back(key, std::to_string(number));
    return *this;
}

JsonObject &JsonObject::add(const std::string &key, double number)
{
    // As long as the number needs: a fixed buffer would cut large ones.
    const double value = std::isfinite(number) ? number : 0.0;
    std::string text(static_cast<size_t>(std::snprintf(nullptr, 0, "%.3f", value)), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.3f", value);
    m_fields.emplace_back(key, text);
    return *this;
}

JsonObject &JsonObject::addBool(const std::string &key, bool value)
{
    m_fields.emplace_back(key, value ? "true" : "false");
    return *this;
}

JsonObject &JsonObject::addNull(const std::string &key)
{
    m_fields.emplace_back(key, "null");
    return *this;
}

JsonObject &JsonObject::add(const std::string &key, const JsonObject &object)
{
    m_fields.emplace_back(key, object.text());
    return *this;
}

JsonObject &JsonObject::add(const std::string &key, const std::vector<JsonObject> &objects)
{
    std::string list = "[";
    for (size_t i = 0; i < objects.size(); ++i)
        list += (i ? "," : "") + objects[i].text();
    m_fields.emplace_back(key, list + "]");
    return *this;
}

JsonObject &JsonObject::addNumbers(const std::string &key, const std::vector<uint8_t> &bytes)
{
    std::string list = "[";
    for (size_t i = 0; i < bytes.size(); ++i)
        list += (i ? "," : "") + std::to_string(bytes[i]);
    m_fields.emplace_back(key, list + "]");
    return *this;
}

JsonObject &JsonObject::addRaw(const std::string &key, const std::string &json)
{
    m_fields.emplace_back(key, json);
    return *this;
}

JsonObject &JsonObject::append(const JsonObject &other)
{
    m_fields.insert(m_fields.end(), other.m_fields.begin(), other.m_fields.end());
    return *this;
}

std::string JsonObject::text() const
{
    std::string out = "{";
    for (size_t i = 0; i < m_fields.size(); ++i)
        out += (i ? "," : "") + jsonString(m_fields[i].first) + ":" + m_fields[i].second;
    return out + "}";
}

} // namespace ravlin
