#include "Run.h"

#include <ostream>

#include "CliError.h"
#include "CommandTable.h"
#include "IntegerText.h"

namespace ravlin {

namespace {

struct OptionName
{
    unsigned flag;
    const char *name;
};

const OptionName kOptionNames[] = {
    {kAddress, "--address"}, {kTimeout, "--timeout"}, {kInterval, "--interval"}, {kCount, "--count"},
    {kFor, "--for"},         {kRange, "--range"},     {kGap, "--gap"},           {kLatch, "--latch"},
    {kNoVerify, "--no-verify"}, {kPolls, "--polls"},
};

void checkOptions(const Arguments &args, const Command &command)
{
    for (const std::string &given : args.given)
        for (const OptionName &option : kOptionNames)
            if (given == option.name && !(command.options & option.flag))
                throw usageError(given + " does not apply to " + command.name);
    const int count = static_cast<int>(args.positionals.size());
    if (count < command.minArguments || (command.maxArguments >= 0 && count > command.maxArguments)) {
        std::string usage = std::string("usage: ravlin ") + command.name;
        if (*command.arguments)
            usage += std::string(" ") + command.arguments;
        throw usageError(usage + " (ravlin help " + command.name + ")");
    }
}

void printFailure(const Arguments &args, const std::string &name, const std::string &message, std::ostream &out,
                  std::ostream &err)
{
    err << "ravlin: " << (name.empty() ? "" : name + ": ") << message << "\n" << std::flush;
    if (args.json && !name.empty()) {
        JsonObject object;
        object.add("command", name).add("port", args.port).add("address", static_cast<int>(args.address));
        object.addBool("ok", false).add("error", message);
        out << object.text() << "\n" << std::flush;
    }
}

} // namespace

int runRavlin(const std::vector<std::string> &words, std::ostream &out, std::ostream &err)
{
    Arguments args;
    std::string name;
    try {
        try {
            parseArguments(words, args);
        } catch (const CliError &) {
            name = args.command;
            throw;
        }
        name = args.command;
        if (args.version) {
            out << "ravlin 1.2.0\n";
            return kExitOk;
        }
        if (name.empty() && !args.help) {
            err << "usage: ravlin COMMAND [--port PORT] [--address N] [options]\n"
                   "ravlin --help lists the commands and options; ravlin help COMMAND shows one.\n";
            return kExitUsage;
        }
        if (name.empty() || name == "help") {
            if (name == "help" && !args.positionals.empty()) {
                const Command *command = findCommand(args.positionals[0]);
                if (!command)
                    throw usageError("no command '" + args.positionals[0] + "' (ravlin --help lists them)");
                printCommandHelp(out, *command);
                return kExitOk;
            }
            printUsage(out);
            return kExitOk;
        }
        const Command *command = findCommand(name);
        if (!command)
            throw usageError("no command '" + name + "' (ravlin --help lists them)");
        if (args.help) {
            printCommandHelp(out, *command);
            return kExitOk;
        }
        checkOptions(args, *command);
        Context context(args, *command, out, err);
        command->run(context);
        return kExitOk;
    } catch (const CliError &error) {
        printFailure(args, name, error.what(), out, err);
        return error.status();
    } catch (const IntegerConversionError &error) {
        printFailure(args, name, error.what(), out, err);
        return kExitDevice;
    } catch (const std::exception &error) {
        printFailure(args, name, error.what(), out, err);
        return kExitDevice;
    } catch (...) {
        printFailure(args, name, "unexpected failure", out, err);
        return kExitDevice;
    }
}

} // namespace ravlin
