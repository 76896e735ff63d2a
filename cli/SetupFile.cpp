#include "SetupFile.h"

#include <istream>
#include <sstream>

#include "CliError.h"
#include "CommandTable.h"
#include "IntegerText.h"

namespace ravlin {

size_t Setup::settingCount() const
{
    size_t n = (masterInhibit ? 1 : 0) + (inhibits ? 1 : 0);
    for (int i = 0; i < 16; ++i)
        n += (sorter[i] ? 1 : 0) + (coinId[i] ? 1 : 0);
    return n;
}

namespace {

std::string trim(const std::string &text)
{
    const size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return "";
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

// The value part up to a comment, with its quotes taken off. A quoted
// value ends at the last quote of the line that only a comment follows, so
// that a value holding quotes itself (a coin id such as a"bc d) reads back
// as it was written.
std::string valueOf(const std::string &raw, bool &quoted)
{
    const std::string text = trim(raw);
    quoted = !text.empty() && text[0] == '"';
    if (quoted) {
        size_t end = std::string::npos;
        for (size_t at = text.rfind('"'); at != std::string::npos && at > 0; at = text.rfind('"', at - 1)) {
            const std::string after = trim(text.substr(at + 1));
            if (after.empty() || after[0] == '#') {
                end = at;
                break;
            }
        }
        if (end == std::string::npos)
            throw std::runtime_error(text.find('"', 1) == std::string::npos ? "a quote is not closed"
                                                                             : "text after the closing quote");
        return text.substr(1, end - 1);
    }
    return trim(text.substr(0, text.find('#')));
}

std::string hex16Text(uint16_t v)
{
    return hex16(v);
}

} // namespace

std::string coinIdValue(const std::string &bytes)
{
    const std::string shown = shownText(bytes);
    if (shown.find_first_of(" #\"") != std::string::npos || shown.empty())
        return "\"" + shown + "\"";
    return shown;
}

// One line of the file into setup; throws CliError "FILE:LINE: reason".
void parseLine(Setup &setup, const std::string &line, const std::string &fileName, int number);

Setup parseSetup(std::istream &in, const std::string &fileName, std::vector<std::string> *errors)
{
    Setup setup;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        try {
            parseLine(setup, line, fileName, number);
        } catch (const CliError &error) {
            if (!errors)
                throw;
            errors->push_back(error.what());
        }
    }
    return setup;
}

void parseLine(Setup &setup, const std::string &line, const std::string &fileName, int number)
{
    {
        auto fail = [&](const std::string &why) {
            return usageError(fileName + ":" + std::to_string(number) + ": " + why);
        };
        const std::string content = trim(line);
        if (content.empty() || content[0] == '#')
            return;
        const size_t equals = content.find('=');
        if (equals == std::string::npos)
            throw fail("expected \"key = value\"");
        std::istringstream keyWords(content.substr(0, equals));
        std::string key, channelText, extra;
        keyWords >> key >> channelText >> extra;
        if (!extra.empty())
            throw fail("unknown key '" + trim(content.substr(0, equals)) + "'");
        bool quoted = false;
        std::string value;
        try {
            value = valueOf(content.substr(equals + 1), quoted);
        } catch (const std::exception &error) {
            throw fail(error.what());
        }
        try {
            if (key == "master-inhibit" && channelText.empty()) {
                if (setup.masterInhibit)
                    throw fail("master-inhibit given twice");
                if (value == "on" || value == "yes" || value == "1")
                    setup.masterInhibit = true;
                else if (value == "off" || value == "no" || value == "0")
                    setup.masterInhibit = false;
                else
                    throw fail("master-inhibit is on or off, not '" + value + "'");
            } else if (key == "inhibits" && channelText.empty()) {
                if (setup.inhibits)
                    throw fail("inhibits given twice");
                setup.inhibits = static_cast<uint16_t>(parseNumber(value, 0, 0xFFFF, "inhibits"));
            } else if ((key == "sorter" || key == "coin-id") && !channelText.empty()) {
                const int index = channelArgument(channelText) - 1;
                if (key == "sorter") {
                    if (setup.sorter[index])
                        throw fail(key + " " + channelText + " given twice");
                    setup.sorter[index] = static_cast<uint8_t>(parseNumber(value, 0, 255, "the sorter path"));
                } else {
                    if (setup.coinId[index])
                        throw fail(key + " " + channelText + " given twice");
                    setup.coinId[index] = coinIdArgument(value);
                }
            } else {
                throw fail("unknown key '" + trim(content.substr(0, equals)) + "'");
            }
        } catch (const CliError &error) {
            const std::string message = error.what();
            if (message.rfind(fileName + ":", 0) == 0)
                throw;
            throw fail(message);
        }
    }
}

std::string formatSetup(const Setup &setup, const std::vector<std::string> &comments)
{
    std::ostringstream out;
    for (const std::string &comment : comments)
        out << "# " << comment << "\n";
    if (setup.masterInhibit)
        out << "master-inhibit = " << (*setup.masterInhibit ? "on" : "off") << "    # on: every coin is refused\n";
    if (setup.inhibits)
        out << "inhibits = " << hex16Text(*setup.inhibits) << "    # bit k-1 set: channel k accepts coins ("
            << channelList(*setup.inhibits) << ")\n";
    for (int i = 0; i < 16; ++i) {
        if (!setup.sorter[i] && !setup.coinId[i])
            continue;
        out << "\n";
        if (setup.coinId[i])
            out << "coin-id " << i + 1 << " = " << coinIdValue(*setup.coinId[i]) << "\n";
        if (setup.sorter[i])
            out << "sorter " << i + 1 << " = " << unsigned(*setup.sorter[i]) << "\n";
    }
    return out.str();
}

std::vector<Difference> compareSetup(const Setup &wanted, const Setup &found)
{
    std::vector<Difference> list;
    auto onOff = [](const std::optional<bool> &v) { return v ? (*v ? "on" : "off") : "unread"; };
    if (wanted.masterInhibit && wanted.masterInhibit != found.masterInhibit)
        list.push_back({"master-inhibit", onOff(wanted.masterInhibit), onOff(found.masterInhibit)});
    if (wanted.inhibits && wanted.inhibits != found.inhibits)
        list.push_back({"inhibits", hex16Text(*wanted.inhibits), found.inhibits ? hex16Text(*found.inhibits) : "unread"});
    for (int i = 0; i < 16; ++i) {
        const std::string n = std::to_string(i + 1);
        if (wanted.sorter[i] && wanted.sorter[i] != found.sorter[i])
            list.push_back({"sorter " + n, std::to_string(*wanted.sorter[i]),
                            found.sorter[i] ? std::to_string(*found.sorter[i]) : "unread"});
        if (wanted.coinId[i] && wanted.coinId[i] != found.coinId[i])
            list.push_back({"coin-id " + n, coinIdValue(*wanted.coinId[i]),
                            found.coinId[i] ? coinIdValue(*found.coinId[i]) : "unread"});
    }
    return list;
}

} // namespace ravlin
