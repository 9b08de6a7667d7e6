// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/arguments.h"

#include <cmath>
#include <set>
#include <string_view>

#include "capture/data_files.h"
#include "capture/file_text.h"
#include "cli/words.h"

namespace orv::cli {

namespace {

struct CommandName {
    std::string_view name;
    CommandKind kind;
};

constexpr CommandName kCommands[] = {
    {"scan", CommandKind::Scan},           {"regs", CommandKind::Regs},
    {"write", CommandKind::Write},         {"set", CommandKind::Set},
    {"calibrate", CommandKind::Calibrate}, {"standby", CommandKind::Standby},
    {"wakeup", CommandKind::Wakeup},       {"power-down", CommandKind::PowerDown},
    {"reset", CommandKind::Reset},         {"collect", CommandKind::Collect},
    {"analyze", CommandKind::Analyze},
};

struct CalibrationName {
    std::string_view name;
    Command command;
};

constexpr CalibrationName kCalibrations[] = {
    {"self", Command::SelfCal},           {"self-offset", Command::SelfOffsetCal},
    {"self-gain", Command::SelfGainCal},  {"system-offset", Command::SysOffsetCal},
    {"system-gain", Command::SysGainCal},
};

// The options a command takes besides the global ones.
enum class Option { Count, Output, Gain, Vref, Rate };

struct OptionName {
    std::string_view longName;
    std::string_view shortName;
    Option option;
};

constexpr OptionName kCommandOptions[] = {
    {"--count", "-n", Option::Count}, {"--output", "-o", Option::Output},
    {"--gain", "", Option::Gain},     {"--vref", "", Option::Vref},
    {"--rate", "", Option::Rate},
};

bool isHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

// What the scan of the arguments found, before any is checked against
// the command.
struct Scanned {
    std::vector<std::string> words;  // the command and its arguments
    std::vector<std::pair<Option, std::string>> options;
};

// Why the command line is refused, as one line for the user.
struct Refusal {
    std::string text;
};

Scanned scan(const std::vector<std::string>& args, CliOptions& options) {
    Scanned scanned;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            scanned.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const std::optional<std::string> attached =
            equals == std::string::npos ? std::nullopt : std::optional(arg.substr(equals + 1));
        const auto value = [&]() -> std::string {
            if (attached) {
                return *attached;
            }
            if (i + 1 >= args.size()) {
                throw Refusal(name + " needs a value");
            }
            return args[++i];
        };
        const auto flag = [&](bool& set) {
            if (attached) {
                throw Refusal(name + " takes no value");
            }
            set = true;
        };
        if (name == "--port") {
            options.ports.push_back(value());
        } else if (name == "--simulate") {
            flag(options.simulate);
        } else if (name == "--json") {
            flag(options.json);
        } else {
            bool known = false;
            for (const OptionName& option : kCommandOptions) {
                if (name == option.longName ||
                    (!option.shortName.empty() && name == option.shortName)) {
                    scanned.options.emplace_back(option.option, value());
                    known = true;
                    break;
                }
            }
            if (!known) {
                throw Refusal("unknown option '" + arg + "'");
            }
        }
    }
    return scanned;
}

std::optional<CommandKind> commandOf(std::string_view word) {
    for (const CommandName& command : kCommands) {
        if (word == command.name) {
            return command.kind;
        }
    }
    return std::nullopt;
}

std::string optionName(Option option) {
    for (const OptionName& name : kCommandOptions) {
        if (name.option == option) {
            return std::string(name.shortName.empty() ? name.longName : name.shortName);
        }
    }
    return {};
}

bool takes(CommandKind command, Option option, bool hasFile) {
    switch (option) {
        case Option::Count:
            return command == CommandKind::Collect || (command == CommandKind::Analyze && !hasFile);
        case Option::Output:
            return command == CommandKind::Collect;
        case Option::Gain:
        case Option::Vref:
        case Option::Rate:
            return command == CommandKind::Analyze;
    }
    return false;
}

double positiveNumber(const std::string& text, Option option) {
    const auto value = file_text::finiteNumber(text);
    if (!value || *value <= 0.0) {
        throw Refusal("bad " + optionName(option) + " '" + text + "' (a positive number)");
    }
    return *value;
}

// The block's file by its extension: ".csv" a capture, ".txt" the text
// file with its raw file.
OutputKind outputKindOf(const std::string& path) {
    const std::size_t separator = path.find_last_of(std::string("/") + pathSeparator());
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot >= nameStart) {
        const std::string_view extension = std::string_view(path).substr(dot);
        if (sameWord(extension, ".csv")) {
            return OutputKind::Capture;
        }
        if (sameWord(extension, ".txt")) {
            return OutputKind::TextPair;
        }
    }
    throw Refusal("-o takes a .csv file (a capture) or a .txt file (the text and raw files): '" +
                  path + "'");
}

void applyOption(Option option, const std::string& text, CliOptions& options) {
    switch (option) {
        case Option::Count: {
            const auto count = wholeValue(text, kMaxDataCount);
            if (!count || *count < 1) {
                throw Refusal("bad -n '" + text + "' (a count from 1 to 65535)");
            }
            options.count = static_cast<int>(*count);
            break;
        }
        case Option::Output:
            options.output = outputKindOf(text);
            options.outputPath = text;
            break;
        case Option::Gain: {
            const auto gain = wholeValue(text, 64);
            if (!gain || *gain < 1 || (*gain & (*gain - 1)) != 0) {
                throw Refusal("bad --gain '" + text + "' (1, 2, 4, 8, 16, 32, 64)");
            }
            options.gain = static_cast<int>(*gain);
            break;
        }
        case Option::Vref:
            options.vref = positiveNumber(text, option);
            break;
        case Option::Rate:
            options.rate = positiveNumber(text, option);
            break;
    }
}

void expectArguments(const std::vector<std::string>& words, std::size_t count) {
    if (words.size() - 1 != count) {
        throw Refusal(words[0] + (count == 0 ? " takes no arguments"
                                             : " takes " + std::to_string(count) + " argument" +
                                                   (count == 1 ? "" : "s")));
    }
}

void parseCommand(const std::vector<std::string>& words, CliOptions& options) {
    if (words.empty()) {
        throw Refusal("no command given (try --help)");
    }
    const std::string& word = words[0];
    if (word == "profile") {
        if (words.size() != 3 || (words[1] != "save" && words[1] != "load")) {
            throw Refusal("profile takes save FILE or load FILE");
        }
        options.command = words[1] == "save" ? CommandKind::ProfileSave : CommandKind::ProfileLoad;
        options.file = words[2];
        if (options.file.empty()) {
            throw Refusal("profile " + words[1] + " needs a file name");
        }
        return;
    }
    const auto command = commandOf(word);
    if (!command) {
        throw Refusal("unknown command '" + word + "' (try --help)");
    }
    options.command = *command;
    const auto rest = std::span(words).subspan(1);
    switch (*command) {
        case CommandKind::Write:
            if (rest.empty()) {
                throw Refusal("write takes NAME=HEX...");
            }
            for (const std::string& argument : rest) {
                if (auto error = parseRegisterWrite(argument, options.writes); !error.empty()) {
                    throw Refusal(error);
                }
            }
            break;
        case CommandKind::Set:
            if (rest.empty()) {
                throw Refusal("set takes FIELD=VALUE...");
            }
            for (const std::string& argument : rest) {
                if (auto error = parseFieldSetting(argument, options.fields); !error.empty()) {
                    throw Refusal(error);
                }
            }
            break;
        case CommandKind::Calibrate: {
            expectArguments(words, 1);
            bool known = false;
            for (const CalibrationName& calibration : kCalibrations) {
                if (rest[0] == calibration.name) {
                    options.calibration = calibration.command;
                    known = true;
                }
            }
            if (!known) {
                throw Refusal(
                    "calibrate takes self, self-offset, self-gain, system-offset or "
                    "system-gain: '" +
                    rest[0] + "'");
            }
            break;
        }
        case CommandKind::Analyze:
            if (rest.size() > 1) {
                throw Refusal("analyze takes at most one file");
            }
            if (!rest.empty()) {
                options.file = rest[0];
                if (options.file.empty()) {
                    throw Refusal("analyze needs a file name");
                }
            }
            break;
        default:
            expectArguments(words, 0);
            break;
    }
}

}  // namespace

bool asksForJson(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--json") {
            return true;
        }
    }
    return false;
}

ParsedCommandLine parseArguments(const std::vector<std::string>& args) {
    CliOptions options;
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (isHelp(arg)) {
            options.help = true;
            return {options, {}};
        }
        if (arg == "--version") {
            options.version = true;
            return {options, {}};
        }
    }
    try {
        const Scanned scanned = scan(args, options);
        parseCommand(scanned.words, options);
        std::set<Option> seen;
        for (const auto& [option, text] : scanned.options) {
            if (!takes(options.command, option, !options.file.empty())) {
                throw Refusal(optionName(option) + " does not apply to " + scanned.words[0] +
                              (options.command == CommandKind::Analyze ? " with a file" : ""));
            }
            if (!seen.insert(option).second) {
                throw Refusal(optionName(option) + " is given twice");
            }
            applyOption(option, text, options);
        }
    } catch (const Refusal& refusal) {
        return {std::nullopt, refusal.text};
    }
    return {options, {}};
}

std::string calibrationName(Command calibration) {
    for (const CalibrationName& entry : kCalibrations) {
        if (entry.command == calibration) {
            return std::string(entry.name);
        }
    }
    return {};
}

}  // namespace orv::cli
