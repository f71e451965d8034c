// Stateless text utilities: bounded copies and appends on zero-terminated
// strings, formatting, and conversions between zero-terminated UTF-8, UTF-16LE
// unit arrays and Pascal strings.
//
// Conventions:
// - A size is the destination's capacity including its terminator: bytes for
//   byte buffers, 16-bit units for UTF-16 buffers.
// - Nothing here throws or logs. A refused operation says so through its
//   result and leaves its destination as each entry states: untouched, or
//   made empty (first byte or unit zero).
// - A null destination or source is refused (false, or the destination
//   returned unchanged); with size 0 nothing is ever written.
#pragma once

#include <cstddef>
#include <cstdint>

class MyString {
public:
    // Copies source with its terminator if strlen(source) < size and returns
    // true. Otherwise makes destination empty (when size > 0) and returns false.
    static bool mstrcpy_s(char* destination, uint64_t size, const char* source);

    // If count < size, copies as strncpy(destination, source, count) does and
    // returns true: at most count bytes, zero-filled up to count when the
    // source is shorter, and NOT terminated when the source has count or more
    // bytes (the caller terminates). Otherwise writes nothing and returns false.
    static bool mstrncpy_s(char* destination, uint64_t size, const char* source, uint64_t count);

    // Appends source if strlen(destination) + strlen(source) < size; otherwise
    // leaves destination unchanged, also when destination has no terminator
    // within size. Returns destination.
    static char* mstrcat_s(char* destination, uint64_t size, const char* source);

    // Appends at most count bytes of source and a terminator, as strncat does,
    // if strlen(destination) + min(strlen(source), count) < size; otherwise
    // leaves destination unchanged. Source bytes beyond count are never read.
    // Returns destination.
    static char* mstrncat_s(char* destination, uint64_t size, const char* source, uint64_t count);

    // The standard functions, unbounded; null arguments give destination
    // unchanged, 0 or null instead of a crash.
    static char* mstrcpy(char* destination, const char* source);
    static size_t mstrlen(const char* text);
    static const char* mstrstr(const char* text, const char* pattern);
    static size_t mstrcspn(const char* text, const char* rejected);

    // Formats by the printf rules into buffer. True when the whole text and
    // its terminator fit. When they do not, buffer holds the text truncated to
    // size - 1 bytes and terminated, and the result is false. With size 0
    // nothing is written and the result is false.
    static bool msprintf_s(char* buffer, uint64_t size, const char* format, ...)
        __attribute__((format(printf, 3, 4)));

    // A bounded copy of UTF-8 text: with size 0 false and nothing written;
    // otherwise destination is made empty first, then source copied if
    // strlen(source) < size (true), else left empty (false).
    static bool ConvertToUTF8(char* destination, uint64_t size, const char* source);

    static char ConvertMcharToChar(char character);

    // Converts the zero-terminated UTF-16LE source to UTF-8 in destination,
    // which holds size bytes; the source is read no further than its first
    // size units. On success the text is followed by zero bytes up to size.
    // On failure the destination is untouched when the source has no
    // terminator within size units, untouched or empty when it is not valid
    // UTF-16 (an unpaired surrogate), and made empty when the text's UTF-8
    // does not fit.
    static bool ConvertFromUTF16LEWithTileClearing(char* destination, uint64_t size, const uint16_t* source);

    // Converts the UTF-8 source to UTF-16LE units in destination, which holds
    // size units, and zero-fills it after the text. False for an empty or
    // invalid source, or one of size or more units; the destination is then
    // left with a zero first unit (untouched for invalid UTF-8).
    static bool ConvertToUTF16LEWithTileClearing(uint16_t* destination, uint64_t size, const char* source);

    // Writes source as a Pascal string into the 256-byte str255: a length
    // byte, then the UTF-8 bytes. False when they are more than 255 (str255
    // is then made empty) or source is not valid UTF-8 (str255 untouched).
    static bool ConvertToStr255(unsigned char* str255, const char* source);

    // The UTF-16 unit at index of the decoded text; 0 when index is not below
    // the text's length in units or the text is not valid UTF-8.
    uint16_t getUniChar(const char* text, uint64_t index);

    // Appends "/" to a directory path that does not yet end in "/" or "\",
    // if the longer path fits in size bytes, and returns true. Otherwise the
    // path is left untouched and the result is false (also for an empty path,
    // a path not terminated within size, or invalid UTF-8).
    static bool AddSlash(char* path, uint64_t size);

    // Diagnostic log lines, tagged with the calling thread's kind (main or
    // secondary). Implemented with the platform's logging in common/mac.
    static void DebugLog(const char* first, const char* second);
    static void DebugLogFormat(const char* format, ...);
};
