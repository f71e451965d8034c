#include "cli/CommandLine.h"

#include <charconv>
#include <climits>

#include "imagefiles/PixelLimit.h"
#include "runner/PluginBundles.h"
#include "standin/host/ScratchSettings.h"

namespace cli {

namespace {

[[noreturn]] void Fail(const std::string& message) { throw UsageError(message); }

bool IsHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

// A whole decimal number from `low` to `high`, nothing else around it.
int64_t ParseNumber(const std::string& option, const std::string& text, int64_t low, int64_t high) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, value);
    if (read.ec != std::errc() || read.ptr != end || value < low || value > high) {
        const std::string range = high == INT32_MAX ? "from " + std::to_string(low) + " up"
                                                    : "from " + std::to_string(low) + " to " + std::to_string(high);
        Fail(option + ": expected a whole number " + range + ", not \"" + text + "\"");
    }
    return value;
}

// A pixel count from 1 up, as the image readers take it.
uint64_t ParsePixelLimit(const std::string& option, const std::string& text) {
    const std::optional<uint64_t> pixels = imagefiles::ParsePixelCount(text);
    if (!pixels) Fail(option + ": expected a whole number of pixels from 1 up, not \"" + text + "\"");
    return *pixels;
}

uint64_t ParseMemoryBudget(const std::string& option, const std::string& text) {
    const std::optional<uint64_t> bytes = standin::ParseByteSize(text);
    if (!bytes) Fail(standin::ByteSizeRefusal(option, text));
    return *bytes;
}

// Walks the arguments after the command, splitting "--name=value" and
// taking an option's value from the next argument otherwise.
class ArgumentWalker {
public:
    explicit ArgumentWalker(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    // Moves to the next argument; a first "--" makes everything after it an
    // input.
    bool Next() {
        while (++index_ < arguments_.size()) {
            const std::string& argument = arguments_[index_];
            if (!onlyInputs_ && argument == "--") {
                onlyInputs_ = true;
                continue;
            }
            name_ = argument;
            inlineValue_.reset();
            const size_t equals = argument.find('=');
            if (IsOption() && argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
                name_ = argument.substr(0, equals);
                inlineValue_ = argument.substr(equals + 1);
            }
            return true;
        }
        return false;
    }

    const std::string& Name() const { return name_; }

    bool IsOption() const { return !onlyInputs_ && name_.size() > 1 && name_[0] == '-'; }

    std::string Value() {
        if (inlineValue_) return NonEmpty(*inlineValue_);
        if (index_ + 1 >= arguments_.size()) Fail(name_ + ": missing value");
        return NonEmpty(arguments_[++index_]);
    }

    void NoValue() const {
        if (inlineValue_) Fail(name_ + ": takes no value");
    }

private:
    std::string NonEmpty(const std::string& value) const {
        if (value.empty()) Fail(name_ + ": empty value");
        return value;
    }

    const std::vector<std::string>& arguments_;
    size_t index_ = 0;  // the command is at 0
    std::string name_;
    std::optional<std::string> inlineValue_;
    bool onlyInputs_ = false;
};

// An option both commands take. False when `walker` holds another one.
bool ParseCommonOption(ArgumentWalker& walker, CommandLine& line) {
    if (walker.Name() != "--plugins") return false;
    line.pluginFolder = walker.Value();
    return true;
}

ToneMode ParseToneMode(const std::string& name, const std::string& value) {
    if (value == "light") return ToneMode::light;
    if (value == "coded") return ToneMode::coded;
    Fail(name + ": '" + value + "' is neither light nor coded");
}

void ParseReduceOption(ArgumentWalker& walker, CommandLine& line) {
    ReduceOptions& options = line.reduce;
    const std::string& name = walker.Name();
    if (ParseCommonOption(walker, line)) return;
    if (name == "-o" || name == "--output") {
        options.output = walker.Value();
    } else if (name == "--out-dir") {
        options.outputFolder = walker.Value();
    } else if (name == "--factor") {
        options.factor = static_cast<int32_t>(ParseNumber(name, walker.Value(), runner::kMinFactor, INT32_MAX));
    } else if (name == "--quality") {
        options.quality = static_cast<int>(ParseNumber(name, walker.Value(), 1, 100));
    } else if (name == "--tone") {
        options.tone = ParseToneMode(name, walker.Value());
    } else if (name == "--max-pixels") {
        options.maxPixels = ParsePixelLimit(name, walker.Value());
    } else if (name == "--memory") {
        options.memoryBudget = ParseMemoryBudget(name, walker.Value());
    } else if (name == "--scratch") {
        options.scratchFolder = walker.Value();
    } else if (name == "--jobs") {
        options.jobs = static_cast<int>(ParseNumber(name, walker.Value(), 1, kMaxJobs));
    } else if (name == "--record") {
        options.recordFile = walker.Value();
    } else if (name == "--replay") {
        options.replayFile = walker.Value();
    } else {
        walker.NoValue();
        if (name == "--dialog") {
            options.dialog = true;
        } else if (name == "--force") {
            options.force = true;
        } else if (name == "--in-place") {
            options.inPlace = true;
        } else if (name == "--quiet") {
            options.quiet = true;
        } else {
            Fail("reduce: unknown option " + name);
        }
    }
}

void CheckReduceOptions(const ReduceOptions& options) {
    const bool severalInputs = options.inputs.size() > 1;
    if (options.inputs.empty()) Fail("reduce: no INPUT given");
    if (!options.output.empty() && severalInputs) Fail("-o takes a single INPUT; use --out-dir for several");
    if (!options.output.empty() && !options.outputFolder.empty()) Fail("-o and --out-dir exclude each other");
    if (options.inPlace && (!options.output.empty() || !options.outputFolder.empty())) {
        Fail("--in-place excludes -o and --out-dir");
    }
    if (!options.replayFile.empty()) {
        if (options.factor) Fail("--replay takes the factor from the recorded step; drop --factor");
        if (options.dialog) Fail("--replay runs without the dialog; drop --dialog");
        if (!options.recordFile.empty()) Fail("--record and --replay exclude each other");
    }
    if (!options.recordFile.empty() && severalInputs) Fail("--record takes a single INPUT");
    if (options.jobs > 1 && options.Interactive()) {
        Fail("--jobs needs --factor (without --dialog) or --replay: the dialog handles one file at a time");
    }
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (arguments.empty()) Fail("missing command (reduce or about)");
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (IsHelp(argument)) return line;
    }
    const std::string& command = arguments[0];
    if (command == "--version") {
        if (arguments.size() > 1) Fail("--version takes no arguments");
        line.command = Command::version;
        return line;
    }
    if (command == "help") return line;
    if (command == "reduce") {
        line.command = Command::reduce;
    } else if (command == "about") {
        line.command = Command::about;
    } else {
        Fail("unknown command \"" + command + "\" (reduce or about)");
    }

    ArgumentWalker walker(arguments);
    while (walker.Next()) {
        if (!walker.IsOption()) {
            if (line.command == Command::about) Fail("about: unexpected argument " + walker.Name());
            line.reduce.inputs.push_back(walker.Name());
        } else if (line.command == Command::reduce) {
            ParseReduceOption(walker, line);
        } else if (!ParseCommonOption(walker, line)) {
            Fail("about: unknown option " + walker.Name());
        }
    }
    if (line.command == Command::reduce) CheckReduceOptions(line.reduce);
    return line;
}

}  // namespace cli
