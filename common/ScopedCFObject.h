// Owns one CoreFoundation reference from a Create or Copy call and releases it
// when the scope ends; a null reference is simply not released.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

template <class Reference>
class ScopedCFObject {
public:
    explicit ScopedCFObject(Reference owned) noexcept : reference(owned) {}
    ~ScopedCFObject() {
        if (reference != nullptr) CFRelease(reference);
    }
    ScopedCFObject(const ScopedCFObject&) = delete;
    ScopedCFObject& operator=(const ScopedCFObject&) = delete;

    Reference get() const noexcept { return reference; }
    explicit operator bool() const noexcept { return reference != nullptr; }

private:
    Reference reference;
};
