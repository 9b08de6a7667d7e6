// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/arguments.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <set>
#include <string_view>
#include <utility>

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
    {"scan", CommandKind::Scan},
    {"regs", CommandKind::Regs},
    {"write", CommandKind::Write},
    {"set", CommandKind::Set},
    {"calibrate", CommandKind::Calibrate},
    {"standby", CommandKind::Standby},
    {"wakeup", CommandKind::Wakeup},
    {"power-down", CommandKind::PowerDown},
    {"reset", CommandKind::Reset},
    {"collect", CommandKind::Collect},
    {"analyze", CommandKind::Analyze},
    {"sweep", CommandKind::Sweep},
    {"log", CommandKind::Log},
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
enum class Option { Count, Output, Gain, Vref, Rate, NoCalibrate, Blocks, Duration, KeepBlocks };

struct OptionName {
    std::string_view longName;
    std::string_view shortName;
    Option option;
    bool takesValue = true;
};

constexpr OptionName kCommandOptions[] = {
    {"--count", "-n", Option::Count},
    {"--output", "-o", Option::Output},
    {"--gain", "", Option::Gain},
    {"--vref", "", Option::Vref},
    {"--rate", "", Option::Rate},
    {"--no-calibrate", "", Option::NoCalibrate, false},
    {"--blocks", "", Option::Blocks},
    {"--for", "", Option::Duration},
    {"--keep-blocks", "", Option::KeepBlocks},
};

// The most blocks --blocks takes: what a 32-bit long holds.
constexpr long kMostBlocks = 2147483647;
// The longest --for, in milliseconds: far beyond any run, well within the
// doubles that hold whole milliseconds exactly.
constexpr double kLongestDurationMs = 1e15;

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
                    if (!option.takesValue && attached) {
                        throw Refusal(name + " takes no value");
                    }
                    scanned.options.emplace_back(option.option,
                                                 option.takesValue ? value() : std::string());
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
            return command == CommandKind::Collect || command == CommandKind::Sweep ||
                   command == CommandKind::Log || (command == CommandKind::Analyze && !hasFile);
        case Option::Output:
            return command == CommandKind::Collect || command == CommandKind::Sweep ||
                   command == CommandKind::Log;
        case Option::Gain:
        case Option::Rate:
            return command == CommandKind::Analyze || command == CommandKind::Sweep;
        case Option::Vref:
            return command == CommandKind::Analyze;
        case Option::NoCalibrate:
            return command == CommandKind::Sweep;
        case Option::Blocks:
        case Option::Duration:
        case Option::KeepBlocks:
            return command == CommandKind::Log;
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

// analyze --gain: one gain.
int analysisGain(const std::string& text) {
    const auto gain = wholeValue(text, 64);
    if (!gain || *gain < 1 || (*gain & (*gain - 1)) != 0) {
        throw Refusal("bad --gain '" + text + "' (1, 2, 4, 8, 16, 32, 64)");
    }
    return static_cast<int>(*gain);
}

// The items of a comma-separated list, each one there: "1,8,64".
std::vector<std::string_view> listItems(std::string_view text, Option option) {
    std::vector<std::string_view> items;
    for (std::string_view rest = text;;) {
        const std::size_t comma = rest.find(',');
        items.push_back(rest.substr(0, comma));
        if (items.back().empty()) {
            throw Refusal("bad " + optionName(option) + " '" + std::string(text) +
                          (option == Option::Gain ? "' (a list such as 1,8,64)"
                                                  : "' (a list such as 10,100,1000)"));
        }
        if (comma == std::string_view::npos) {
            return items;
        }
        rest.remove_prefix(comma + 1);
    }
}

// sweep --gain and --rate: lists of numbers, which planError then checks
// against the converter's own lists.
std::vector<int> gainList(const std::string& text) {
    std::vector<int> gains;
    for (const std::string_view item : listItems(text, Option::Gain)) {
        const auto gain = wholeValue(item, std::numeric_limits<int>::max());
        if (!gain) {
            throw Refusal("bad --gain '" + text + "' (a list of 1, 2, 4, 8, 16, 32, 64)");
        }
        gains.push_back(static_cast<int>(*gain));
    }
    return gains;
}

std::vector<double> rateList(const std::string& text) {
    std::vector<double> rates;
    for (const std::string_view item : listItems(text, Option::Rate)) {
        const auto rate = file_text::finiteNumber(item);
        if (!rate) {
            throw Refusal("bad --rate '" + text + "' (a list of SPS: 2.5, 5, 10 ... 30000)");
        }
        rates.push_back(*rate);
    }
    return rates;
}

// "90s", "30m", "1.5h", "2d"; a bare number is seconds. Rounded up to
// whole milliseconds.
std::chrono::milliseconds durationOf(const std::string& text) {
    constexpr std::pair<char, double> kUnits[] = {
        {'s', 1.0}, {'m', 60.0}, {'h', 3600.0}, {'d', 86400.0}};
    std::string_view number = text;
    double secondsPerUnit = 1.0;
    for (const auto& [unit, seconds] : kUnits) {
        if (number.ends_with(unit)) {
            number.remove_suffix(1);
            secondsPerUnit = seconds;
            break;
        }
    }
    const auto value = file_text::finiteNumber(number);
    const double ms = value ? std::ceil(*value * secondsPerUnit * 1000.0) : 0.0;
    if (!value || *value <= 0.0 || ms > kLongestDurationMs) {
        throw Refusal("bad --for '" + text + "' (a time such as 90s, 30m, 1.5h or 2d)");
    }
    return std::chrono::milliseconds(static_cast<std::int64_t>(ms));
}

// -n: its range is the command's.
int countOf(const std::string& text, CommandKind command) {
    const bool sweep = command == CommandKind::Sweep;
    const int least = sweep ? characterise::kLeastSweepCount : 1;
    const int most = sweep ? characterise::kMostSweepCount : kMaxDataCount;
    const auto count = wholeValue(text, most);
    if (!count || *count < least) {
        throw Refusal("bad -n '" + text + "' (a count from " + std::to_string(least) + " to " +
                      std::to_string(most) + ")");
    }
    return static_cast<int>(*count);
}

void applyOption(Option option, const std::string& text, CliOptions& options) {
    switch (option) {
        case Option::Count: {
            const int count = countOf(text, options.command);
            options.count = count;
            options.sweep.count = count;
            options.longRun.count = count;
            break;
        }
        case Option::Output:
            if (options.command == CommandKind::Collect) {
                options.output = outputKindOf(text);
            } else if (text.empty()) {
                throw Refusal("-o needs a file name");
            }
            options.outputPath = text;
            break;
        case Option::NoCalibrate:
            options.sweep.calibrate = false;
            break;
        case Option::Blocks: {
            const auto blocks = wholeValue(text, kMostBlocks);
            if (!blocks || *blocks < 1) {
                throw Refusal("bad --blocks '" + text + "' (a count from 1)");
            }
            options.longRun.blocks = static_cast<std::size_t>(*blocks);
            break;
        }
        case Option::Duration:
            options.longRun.duration = durationOf(text);
            break;
        case Option::KeepBlocks:
            if (text.empty()) {
                throw Refusal("--keep-blocks needs a folder name");
            }
            options.longRun.keepFolder = text;
            break;
        case Option::Gain:
            if (options.command == CommandKind::Sweep) {
                options.sweep.gains = gainList(text);
            } else {
                options.gain = analysisGain(text);
            }
            break;
        case Option::Vref:
            options.vref = positiveNumber(text, option);
            break;
        case Option::Rate:
            if (options.command == CommandKind::Sweep) {
                options.sweep.rates = rateList(text);
            } else {
                options.rate = positiveNumber(text, option);
            }
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

// What only the options together tell.
void checkCommand(const CliOptions& options, const std::set<Option>& seen) {
    if (options.command == CommandKind::Sweep) {
        if (const auto error = characterise::planError(options.sweep)) {
            throw Refusal(*error);
        }
    }
    if (options.command == CommandKind::Log) {
        if (!seen.contains(Option::Output)) {
            throw Refusal("log needs -o FILE, the trend it writes");
        }
        if (seen.contains(Option::Blocks) && seen.contains(Option::Duration)) {
            throw Refusal("--blocks and --for exclude each other");
        }
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
        if (options.command == CommandKind::Sweep) {
            options.sweep = characterise::defaultSweepPlan();
        }
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
        checkCommand(options, seen);
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
