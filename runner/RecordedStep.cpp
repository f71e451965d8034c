// The text form of a recorded step: formatting, and a strict parser that
// accepts exactly what the formatter writes (see RecordedStep.h).
#include "runner/RecordedStep.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <variant>

namespace runner {

namespace {

constexpr std::string_view kHeader = "decimora step 1";

bool IsPrintableAscii(char c) { return c >= 0x20 && c <= 0x7E; }

bool IsPrintableCode(uint32_t code) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (!IsPrintableAscii(static_cast<char>((code >> shift) & 0xFF))) return false;
    }
    return true;
}

std::string FormatCode(uint32_t code) {
    if (IsPrintableCode(code)) {
        return std::string{'\'',
                           static_cast<char>(code >> 24),
                           static_cast<char>(code >> 16),
                           static_cast<char>(code >> 8),
                           static_cast<char>(code),
                           '\''};
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    return hex;
}

// The shortest decimal text that reads back as the same double.
std::string FormatDouble(double value) {
    char text[64];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

std::string FormatValue(const standin::DescriptorValue& value) {
    if (const int32_t* integer = std::get_if<int32_t>(&value)) return "integer " + std::to_string(*integer);
    if (const double* real = std::get_if<double>(&value)) return "float " + FormatDouble(*real);
    if (const standin::UnitFloat* unitFloat = std::get_if<standin::UnitFloat>(&value)) {
        return "unitFloat " + FormatCode(unitFloat->unit) + " " + FormatDouble(unitFloat->value);
    }
    const standin::Enumerated& enumerated = std::get<standin::Enumerated>(value);
    return "enumerated " + FormatCode(enumerated.type) + " " + FormatCode(enumerated.value);
}

// Reads the fields of one line from left to right; every mismatch throws
// with the line's number and what was expected there.
class LineReader {
public:
    LineReader(std::string_view line, int number) : line_(line), number_(number) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw RecordedStepError("line " + std::to_string(number_) + ": " + what);
    }

    void Literal(std::string_view text) {
        if (line_.substr(position_, text.size()) != text) Fail("expected \"" + std::string(text) + "\"");
        position_ += text.size();
    }

    void Blank() {
        if (position_ >= line_.size() || line_[position_] != ' ') Fail("expected one blank between fields");
        ++position_;
    }

    void End() const {
        if (position_ != line_.size()) Fail("unexpected text after the last field");
    }

    bool AtEnd() const { return position_ == line_.size(); }

    // A word of lower- and upper-case letters.
    std::string Word() {
        const size_t start = position_;
        while (position_ < line_.size() && std::isalpha(static_cast<unsigned char>(line_[position_]))) ++position_;
        if (position_ == start) Fail("expected a value type");
        return std::string(line_.substr(start, position_ - start));
    }

    uint32_t Code() {
        const std::string_view rest = line_.substr(position_);
        if (rest.size() >= 6 && rest[0] == '\'' && rest[5] == '\'') {
            uint32_t code = 0;
            for (size_t i = 1; i <= 4; ++i) {
                if (!IsPrintableAscii(rest[i])) Fail("a quoted code holds an unprintable character");
                code = (code << 8) | static_cast<unsigned char>(rest[i]);
            }
            position_ += 6;
            return code;
        }
        if (rest.size() >= 10 && rest.substr(0, 2) == "0x") {
            uint32_t code = 0;
            for (size_t i = 2; i < 10; ++i) {
                const char c = rest[i];
                const bool digit = c >= '0' && c <= '9';
                const bool letter = c >= 'A' && c <= 'F';
                if (!digit && !letter) Fail("expected eight upper-case hexadecimal digits after 0x");
                code = (code << 4) | static_cast<uint32_t>(digit ? c - '0' : c - 'A' + 10);
            }
            position_ += 10;
            return code;
        }
        Fail("expected a four-character code such as 'Rt  ' or 0x00010001");
    }

    int32_t Integer() {
        int32_t value = 0;
        const char* begin = line_.data() + position_;
        const char* end = line_.data() + line_.size();
        const std::from_chars_result read = std::from_chars(begin, end, value);
        if (read.ec == std::errc::result_out_of_range) Fail("integer out of the 32-bit range");
        if (read.ec != std::errc() || read.ptr == begin) Fail("expected an integer");
        position_ += static_cast<size_t>(read.ptr - begin);
        return value;
    }

    double Number() {
        double value = 0;
        const char* begin = line_.data() + position_;
        const char* end = line_.data() + line_.size();
        const std::from_chars_result read = std::from_chars(begin, end, value);
        if (read.ec != std::errc() || read.ptr == begin || !std::isfinite(value)) Fail("expected a finite number");
        position_ += static_cast<size_t>(read.ptr - begin);
        return value;
    }

private:
    std::string_view line_;
    int number_;
    size_t position_ = 0;
};

void ParseEntry(LineReader& reader, standin::Descriptor& descriptor) {
    const uint32_t key = reader.Code();
    if (descriptor.HasKey(key)) reader.Fail("key " + FormatCode(key) + " appears twice");
    reader.Blank();
    const std::string type = reader.Word();
    reader.Blank();
    if (type == "integer") {
        descriptor.PutInteger(key, reader.Integer());
    } else if (type == "float") {
        descriptor.PutFloat(key, reader.Number());
    } else if (type == "unitFloat") {
        const uint32_t unit = reader.Code();
        reader.Blank();
        descriptor.PutUnitFloat(key, unit, reader.Number());
    } else if (type == "enumerated") {
        const uint32_t enumerationType = reader.Code();
        reader.Blank();
        descriptor.PutEnumerated(key, enumerationType, reader.Code());
    } else {
        reader.Fail("unknown value type \"" + type + "\" (integer, float, unitFloat or enumerated)");
    }
    reader.End();
}

}  // namespace

std::string FormatRecordedStep(const RecordedStep& step) {
    std::string text = std::string(kHeader) + "\nevent " + FormatCode(step.event) + "\n";
    for (const auto& [key, value] : step.descriptor.Entries())
        text += FormatCode(key) + " " + FormatValue(value) + "\n";
    return text;
}

RecordedStep ParseRecordedStep(const std::string& text) {
    if (text.size() > kMaxRecordedStepBytes) {
        throw RecordedStepError("larger than " + std::to_string(kMaxRecordedStepBytes) + " bytes");
    }
    if (text.empty()) throw RecordedStepError("the file is empty");

    RecordedStep step;
    const std::string_view all(text);
    size_t start = 0;
    int number = 1;
    for (; start < all.size(); ++number) {
        const size_t end = all.find('\n', start);
        const bool terminated = end != std::string_view::npos;
        LineReader reader(all.substr(start, terminated ? end - start : std::string_view::npos), number);
        start = terminated ? end + 1 : all.size();
        if (number == 1) {
            reader.Literal(kHeader);
            reader.End();
        } else if (number == 2) {
            reader.Literal("event");
            reader.Blank();
            step.event = reader.Code();
            reader.End();
        } else {
            if (reader.AtEnd()) reader.Fail("blank line");
            ParseEntry(reader, step.descriptor);
        }
        if (!terminated) reader.Fail("the line does not end with a newline");
    }
    if (number <= 2) throw RecordedStepError("the event line is missing");
    return step;
}

}  // namespace runner
