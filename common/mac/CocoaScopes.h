// Scope holders for Cocoa objects in C++ code paths. They release on every
// way out of a scope, including a C++ exception passing through, which a
// plain release at the end of a function would miss.
#pragma once

#ifdef __OBJC__
#import <Foundation/Foundation.h>

// An autorelease pool for the length of a scope.
class AutoreleasePoolScope {
public:
    AutoreleasePoolScope() : pool([[NSAutoreleasePool alloc] init]) {}
    ~AutoreleasePoolScope() { [pool release]; }
    AutoreleasePoolScope(const AutoreleasePoolScope&) = delete;
    AutoreleasePoolScope& operator=(const AutoreleasePoolScope&) = delete;

private:
    NSAutoreleasePool* pool;
};

// Owns one reference to an object (from alloc/init, new or copy) and gives it
// back when the scope ends. Holds nil without complaint.
template <class ObjectType>
class OwnedObject {
public:
    explicit OwnedObject(ObjectType* owned) : object(owned) {}
    ~OwnedObject() { [object release]; }
    OwnedObject(const OwnedObject&) = delete;
    OwnedObject& operator=(const OwnedObject&) = delete;

    ObjectType* get() const { return object; }

private:
    ObjectType* object;
};

#endif  // __OBJC__
