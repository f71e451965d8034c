#include "support/gui/WindowContents.h"

#include <algorithm>

#import <AppKit/AppKit.h>

namespace gui_test {
namespace {

std::string Utf8(NSString* text) {
    const char* bytes = [text UTF8String];
    return bytes != nullptr ? std::string(bytes) : std::string();
}

void CollectViews(NSView* view, NSMutableArray* into) {
    NSArray* subviews = [view subviews];
    for (NSUInteger index = 0; index < [subviews count]; ++index) {
        NSView* subview = [subviews objectAtIndex:index];
        [into addObject:subview];
        CollectViews(subview, into);
    }
}

NSArray* AllViews(NSWindow* window) {
    NSMutableArray* views = [NSMutableArray array];
    if (window != nil) CollectViews([window contentView], views);
    return views;
}

}  // namespace

bool WindowContents::HasText(const std::string& text) const {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool WindowContents::HasButton(const std::string& buttonTitle) const {
    return std::find(buttonTitles.begin(), buttonTitles.end(), buttonTitle) != buttonTitles.end();
}

WindowContents ReadWindowContents(NSWindow* window) {
    WindowContents contents;
    if (window == nil) return contents;
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    contents.title = Utf8([window title]);
    NSArray* views = AllViews(window);
    for (NSUInteger index = 0; index < [views count]; ++index) {
        id view = [views objectAtIndex:index];
        if ([view isKindOfClass:[NSButton class]]) {
            contents.buttonTitles.push_back(Utf8([view title]));
        } else if ([view isKindOfClass:[NSTextField class]]) {
            contents.texts.push_back(Utf8([view stringValue]));
        } else if ([view isKindOfClass:[NSTextView class]]) {
            contents.texts.push_back(Utf8([view string]));
        }
    }
    [pool release];
    return contents;
}

NSButton* FindButton(NSWindow* window, const std::string& title) {
    NSArray* views = AllViews(window);
    for (NSUInteger index = 0; index < [views count]; ++index) {
        id view = [views objectAtIndex:index];
        if ([view isKindOfClass:[NSButton class]] && Utf8([view title]) == title) return view;
    }
    return nil;
}

NSPopUpButton* FindPopUpButton(NSWindow* window) {
    NSArray* views = AllViews(window);
    for (NSUInteger index = 0; index < [views count]; ++index) {
        id view = [views objectAtIndex:index];
        if ([view isKindOfClass:[NSPopUpButton class]]) return view;
    }
    return nil;
}

}  // namespace gui_test
