#include "ctl/commands.h"

#include "ctl/ctl_texts.h"

namespace dx400::ctl {

namespace {

constexpr int kAny = -1;

struct CommandEntry {
    const char* name;
    const char* usage; // after "dx400ctl "
    int minArguments;
    int maxArguments; // kAny: no limit
    bool takesProfile;
    Command (*prepare)(const Options&);
};

// clang-format off
constexpr CommandEntry kCommands[] = {
    {"ports", "ports", 0, 0, false, preparePorts},
    {"read", "read [NAME...]", 0, kAny, false, prepareRead},
    {"write", "write NAME=VALUE... | write --profile FILE", 0, kAny, true, prepareWrite},
    {"save", "save --profile FILE", 0, 0, true, prepareSave},
    {"verify", "verify --profile FILE [--write]", 0, 0, true, prepareVerify},
    {"move", "move abs|inc PULSES", 2, 2, false, prepareMove},
    {"jog", "jog rol|ror SPEED [--for SECONDS]", 2, 2, false, prepareJog},
    {"stop", "stop", 0, 0, false, prepareStop},
    {"output", "output on|off", 1, 1, false, prepareOutput},
    {"inputs", "inputs", 0, 0, false, prepareInputs},
    {"position", "position", 0, 0, false, preparePosition},
    {"send", "send CMD OPT D3 D2 D1 D0", 6, 6, false, prepareSend},
    {"watch", "watch [position] [inputs] [--interval MS] [--for SECONDS] [--csv]", 0, 2, false,
     prepareWatch},
};
// clang-format on

const CommandEntry* findCommand(const QString& name) {
    for (const CommandEntry& entry : kCommands) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

} // namespace

Failure usageFailure(const Options& options) {
    return {ExitCode::Usage, text::ctl::usage(findCommand(options.command)->usage)};
}

Command prepareCommand(const Options& options) {
    const CommandEntry* entry = findCommand(options.command);
    if (!entry)
        throw Failure(ExitCode::Usage, text::ctl::unknownCommand(options.command.toStdString()));
    const auto refuse = [&](bool given, const char* option) {
        if (given)
            throw Failure(ExitCode::Usage, text::ctl::optionNotFor(option, entry->name));
    };
    refuse(!options.profile.isEmpty() && !entry->takesProfile, "profile");
    refuse(options.writeFirst && options.command != QLatin1String("verify"), "write");
    const bool watch = options.command == QLatin1String("watch");
    refuse(options.forSeconds.has_value() && options.command != QLatin1String("jog") && !watch,
           "for");
    refuse(options.csv && !watch, "csv");
    if (options.csv && options.json)
        throw Failure(ExitCode::Usage, std::string(text::ctl::kCsvOrJson));
    refuse(options.intervalGiven && !watch, "interval");
    const auto count = static_cast<int>(options.arguments.size());
    if (count < entry->minArguments || (entry->maxArguments != kAny && count > entry->maxArguments))
        throw usageFailure(options);
    return entry->prepare(options);
}

} // namespace dx400::ctl
