#include "fuzz/checks/BoundedStringChecks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/MyString.h"
#include "common/SafeString.h"
#include "fuzz/checks/ContractViolation.h"
#include "fuzz/checks/ExactBuffer.h"
#include "fuzz/checks/FuzzInput.h"
#include "fuzz/checks/TextInputs.h"

namespace fuzzing {
namespace {

constexpr size_t kMaxText = 80;
constexpr uint64_t kMaxSize = 128;
constexpr int kMaxOperations = 16;

// The position of the first zero byte of `bytes`, or npos.
size_t TerminatorOf(const std::string& bytes) { return bytes.find('\0'); }

void CheckCopy(FuzzInput& in) {
    const std::string source = NonZeroBytes(in, kMaxText);
    ByteBuffer sourceBuffer(source + '\0');
    const uint64_t size = in.SizeNear(source.size() + 1, kMaxSize);
    ByteBuffer destination(Destination(NonZeroBytes(in, kMaxText), size));

    const bool copied = MyString::mstrcpy_s(destination.data(), size, sourceBuffer.data());

    std::string expected = destination.BeforeText();
    const bool fits = source.size() < size;
    if (fits) {
        expected.replace(0, source.size() + 1, source + '\0');
    } else if (size > 0) {
        expected[0] = '\0';
    }
    Expect(copied == fits, "mstrcpy_s: true exactly when strlen(source) < size");
    Expect(destination.Text() == expected, "mstrcpy_s: copy with terminator, or first byte zeroed, nothing else");
    Expect(sourceBuffer.Unchanged(), "mstrcpy_s: the source is left alone");
}

void CheckCountedCopy(FuzzInput& in) {
    const std::string source = NonZeroBytes(in, kMaxText);
    const bool terminated = in.Flag();
    ByteBuffer sourceBuffer(terminated ? source + '\0' : source);
    const uint64_t size = in.SizeNear(source.size() + 1, kMaxSize);
    uint64_t count = in.CountNear(size - std::min<uint64_t>(size, 1), kMaxSize);
    // strncpy reads up to a terminator or count bytes: an unterminated
    // source must hold count bytes whenever the copy may happen.
    if (!terminated && count < size) count = std::min<uint64_t>(count, source.size());
    ByteBuffer destination(Destination(NonZeroBytes(in, kMaxText), size));

    const bool copied = MyString::mstrncpy_s(destination.data(), size, sourceBuffer.data(), count);

    std::string expected = destination.BeforeText();
    if (count < size) {
        const size_t taken = std::min<size_t>(static_cast<size_t>(count), source.size());
        expected.replace(0, static_cast<size_t>(count),
                         source.substr(0, taken) + std::string(static_cast<size_t>(count) - taken, '\0'));
    }
    Expect(copied == (count < size), "mstrncpy_s: true exactly when count < size");
    Expect(destination.Text() == expected, "mstrncpy_s: count bytes as strncpy writes them, nothing else");
}

void CheckAppend(FuzzInput& in) {
    const std::string existing = NonZeroBytes(in, kMaxText);
    const std::string source = NonZeroBytes(in, kMaxText);
    ByteBuffer sourceBuffer(source + '\0');
    const uint64_t size = in.SizeNear(existing.size() + source.size() + 1, kMaxSize);
    ByteBuffer destination(Destination(existing, size));

    const char* result = MyString::mstrcat_s(destination.data(), size, sourceBuffer.data());

    std::string expected = destination.BeforeText();
    const size_t used = TerminatorOf(expected);
    if (used != std::string::npos && used + source.size() < size) {
        expected.replace(used, source.size() + 1, source + '\0');
    }
    Expect(result == destination.data(), "mstrcat_s: returns the destination");
    Expect(destination.Text() == expected,
           "mstrcat_s: appends when strlen(destination) + strlen(source) < size, else leaves it unchanged");
}

void CheckCountedAppend(FuzzInput& in) {
    const std::string existing = NonZeroBytes(in, kMaxText);
    const std::string source = NonZeroBytes(in, kMaxText);
    const bool terminated = in.Flag();
    ByteBuffer sourceBuffer(terminated ? source + '\0' : source);
    uint64_t count = in.CountNear(source.size(), kMaxSize);
    // Source bytes beyond count are never read, so an unterminated source
    // needs only count bytes.
    if (!terminated) count = std::min<uint64_t>(count, source.size());
    const auto added = static_cast<size_t>(std::min<uint64_t>(source.size(), count));
    const uint64_t size = in.SizeNear(existing.size() + added + 1, kMaxSize);
    ByteBuffer destination(Destination(existing, size));

    const char* result = MyString::mstrncat_s(destination.data(), size, sourceBuffer.data(), count);

    std::string expected = destination.BeforeText();
    const size_t used = TerminatorOf(expected);
    if (used != std::string::npos && used + added < size) {
        expected.replace(used, added + 1, source.substr(0, added) + '\0');
    }
    Expect(result == destination.data(), "mstrncat_s: returns the destination");
    Expect(destination.Text() == expected,
           "mstrncat_s: appends min(strlen(source), count) bytes and a terminator when they fit, else nothing");
}

void CheckUnbounded(FuzzInput& in) {
    const std::string text = NonZeroBytes(in, kMaxText);
    const std::string other = NonZeroBytes(in, 6);
    ByteBuffer textBuffer(text + '\0');
    ByteBuffer otherBuffer(other + '\0');
    Expect(MyString::mstrlen(textBuffer.data()) == text.size(), "mstrlen: as strlen");
    Expect(MyString::mstrstr(textBuffer.data(), otherBuffer.data()) == std::strstr(textBuffer.data(), otherBuffer.data()),
           "mstrstr: as strstr");
    Expect(MyString::mstrcspn(textBuffer.data(), otherBuffer.data()) ==
               std::strcspn(textBuffer.data(), otherBuffer.data()),
           "mstrcspn: as strcspn");

    const std::string previous = NonZeroBytes(in, kMaxText);
    ByteBuffer destination(Destination(previous, text.size() + 1 + in.Number(4)));
    std::string expected = destination.BeforeText();
    expected.replace(0, text.size() + 1, text + '\0');
    Expect(MyString::mstrcpy(destination.data(), textBuffer.data()) == destination.data(),
           "mstrcpy: returns the destination");
    Expect(destination.Text() == expected, "mstrcpy: as strcpy");
}

// Runs `subject` (msprintf_s with one format) and compares the buffer with
// what `reference` (snprintf with the same format) gives.
template <class Reference, class Subject>
void CheckFormatCase(FuzzInput& in, Reference reference, Subject subject) {
    const int length = reference(nullptr, 0);
    if (length < 0) return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    reference(&text[0], text.size());
    text.resize(static_cast<size_t>(length));
    const uint64_t size = in.SizeNear(text.size() + 1, kMaxSize);
    ByteBuffer buffer(Filler(in, size));

    const bool complete = subject(buffer.data(), size);

    std::string expected = buffer.BeforeText();
    if (size > 0) {
        const size_t kept = std::min<size_t>(text.size(), static_cast<size_t>(size) - 1);
        expected.replace(0, kept + 1, text.substr(0, kept) + '\0');
    }
    Expect(complete == (size > 0 && text.size() < size), "msprintf_s: true exactly when text and terminator fit");
    Expect(buffer.Text() == expected, "msprintf_s: the text cut to size - 1 bytes and terminated, nothing after");
}

void CheckFormat(FuzzInput& in) {
    const int which = in.Byte() % 6;
    const std::string first = NonZeroBytes(in, kMaxText);
    const std::string second = NonZeroBytes(in, 16);
    const auto number = static_cast<int>(in.Number(UINT32_MAX));
    const char* a = first.c_str();
    const char* b = second.c_str();
    switch (which) {
        case 0:
            CheckFormatCase(
                in, [&](char* out, size_t n) { return std::snprintf(out, n, "%s", a); },
                [&](char* out, uint64_t n) { return MyString::msprintf_s(out, n, "%s", a); });
            break;
        case 1:
            CheckFormatCase(
                in, [&](char* out, size_t n) { return std::snprintf(out, n, "http://%s/%s", a, b); },
                [&](char* out, uint64_t n) { return MyString::msprintf_s(out, n, "http://%s/%s", a, b); });
            break;
        case 2:
            CheckFormatCase(
                in, [&](char* out, size_t n) { return std::snprintf(out, n, "%d", number); },
                [&](char* out, uint64_t n) { return MyString::msprintf_s(out, n, "%d", number); });
            break;
        case 3:
            CheckFormatCase(
                in, [&](char* out, size_t n) { return std::snprintf(out, n, "%s:%08x:%s", a, unsigned(number), b); },
                [&](char* out, uint64_t n) { return MyString::msprintf_s(out, n, "%s:%08x:%s", a, unsigned(number), b); });
            break;
        case 4:
            CheckFormatCase(
                in, [&](char* out, size_t n) { return std::snprintf(out, n, "%.*s|%-5d", number & 63, a, number); },
                [&](char* out, uint64_t n) { return MyString::msprintf_s(out, n, "%.*s|%-5d", number & 63, a, number); });
            break;
        default:
            // %c of a zero byte puts a terminator inside the text.
            CheckFormatCase(
                in, [&](char* out, size_t n) { return std::snprintf(out, n, "%c%s%%", number & 0xFF, a); },
                [&](char* out, uint64_t n) { return MyString::msprintf_s(out, n, "%c%s%%", number & 0xFF, a); });
            break;
    }
}

void CheckSafeCopy(FuzzInput& in) {
    const std::string source = NonZeroBytes(in, kMaxText);
    const bool terminated = in.Flag();
    ByteBuffer sourceBuffer(terminated ? source + '\0' : source);
    const uint64_t size = in.SizeNear(source.size() + 1, kMaxSize);
    uint64_t count = in.CountNear(size - std::min<uint64_t>(size, 1), kMaxSize);
    if (!terminated && count < size) count = std::min<uint64_t>(count, source.size());
    ByteBuffer destination(Destination(NonZeroBytes(in, kMaxText), size));

    strncpy_s(destination.data(), size, sourceBuffer.data(), count);

    std::string expected = destination.BeforeText();
    if (count < size) {
        const size_t taken = std::min<size_t>(static_cast<size_t>(count), source.size());
        expected.replace(0, static_cast<size_t>(count) + 1,
                         source.substr(0, taken) + std::string(static_cast<size_t>(count) - taken + 1, '\0'));
    } else if (size > 0) {
        expected[0] = '\0';
    }
    Expect(destination.Text() == expected,
           "strncpy_s: strncpy of count bytes and a terminator at count, or the destination emptied");
}

void CheckSafeLength(FuzzInput& in) {
    const std::string bytes = in.Bytes(kMaxText);
    ByteBuffer text(bytes);
    const size_t zero = TerminatorOf(bytes);
    uint64_t limit = in.CountNear(bytes.size(), kMaxSize);
    // Only the first limit bytes may be read: without a terminator the array
    // is all there is.
    if (zero == std::string::npos) limit = std::min<uint64_t>(limit, bytes.size());

    const uint64_t length = strnlen_s(text.data(), limit);

    const uint64_t expected = zero != std::string::npos && zero < limit ? zero : 0;
    Expect(length == expected, "strnlen_s: bytes before a zero within limit, else 0");
}

void CheckSafeAppend(FuzzInput& in) {
    const std::string existing = NonZeroBytes(in, kMaxText);
    const std::string source = NonZeroBytes(in, kMaxText);
    ByteBuffer sourceBuffer(source + '\0');
    const uint64_t size = in.SizeNear(existing.size() + source.size() + 1, kMaxSize);
    ByteBuffer destination(Destination(existing, size));

    const char* result = strcat_s(destination.data(), size, sourceBuffer.data());

    std::string expected = destination.BeforeText();
    const size_t used = TerminatorOf(expected);
    if (used != std::string::npos && used + source.size() < size) {
        expected.replace(used, source.size() + 1, source + '\0');
    }
    Expect(result == destination.data(), "strcat_s: returns the destination");
    Expect(destination.Text() == expected,
           "strcat_s: appends to a terminated destination when the result fits, else leaves it unchanged");
}

uint64_t ReferenceFind(const std::string& data, const std::string& pattern, uint64_t start, uint64_t end) {
    if (pattern.empty()) {
        for (uint64_t p = start; p < end; ++p) {
            if (data[static_cast<size_t>(p)] == '\0') return p;
        }
        return UINT64_MAX;
    }
    for (uint64_t p = start; p < end && pattern.size() <= end - p; ++p) {
        if (data.compare(static_cast<size_t>(p), pattern.size(), pattern) == 0) return p;
    }
    return UINT64_MAX;
}

void CheckFind(FuzzInput& in) {
    const std::string data = in.Bytes(kMaxText);
    std::string pattern;
    if (in.Flag() && !data.empty()) {
        // Taken from the data, so that matches are common.
        const size_t at = static_cast<size_t>(in.Number(data.size() - 1));
        pattern = data.substr(at, static_cast<size_t>(in.Number(6)));
        pattern = pattern.substr(0, TerminatorOf(pattern));
    } else {
        pattern = NonZeroBytes(in, 6);
    }
    // The search may read [start, end) only: the data array ends at end.
    const uint64_t end = std::min<uint64_t>(in.SizeNear(data.size(), kMaxText), data.size());
    const uint64_t start = in.CountNear(0, end + 2);
    ByteBuffer dataBuffer(data.substr(0, static_cast<size_t>(end)));
    ByteBuffer patternBuffer(pattern + '\0');

    const uint64_t found = findstr(reinterpret_cast<const unsigned char*>(dataBuffer.data()), patternBuffer.data(),
                                   start, end);

    Expect(found == ReferenceFind(data, pattern, start, end),
           "findstr: the lowest position in [start, end) where the whole pattern lies before end, else all bits set");
}

using Operation = void (*)(FuzzInput&);
constexpr Operation kOperations[] = {
    CheckCopy,   CheckCountedCopy, CheckAppend,     CheckCountedAppend, CheckUnbounded,
    CheckFormat, CheckSafeCopy,    CheckSafeLength, CheckSafeAppend,    CheckFind,
};
constexpr size_t kOperationCount = sizeof kOperations / sizeof kOperations[0];

}  // namespace

void CheckBoundedStrings(const unsigned char* data, size_t size) {
    FuzzInput in(data, size);
    for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) kOperations[in.Byte() % kOperationCount](in);
}

}  // namespace fuzzing
