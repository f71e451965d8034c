// Reading what a window shows: its title, texts and buttons.
#pragma once

#include <string>
#include <vector>

#ifdef __OBJC__
@class NSButton;
@class NSPopUpButton;
@class NSWindow;
#endif

namespace gui_test {

// What a window showed when it was read, each list in view order (depth
// first through the content view).
struct WindowContents {
    std::string title;
    std::vector<std::string> texts;         // string values of text fields, strings of text views
    std::vector<std::string> buttonTitles;  // titles of buttons, including any without a border

    bool HasText(const std::string& text) const;
    bool HasButton(const std::string& title) const;
};

#ifdef __OBJC__
WindowContents ReadWindowContents(NSWindow* window);

// The first button of the window titled `title`, or nil.
NSButton* FindButton(NSWindow* window, const std::string& title);

// The first pop-up button of the window, or nil.
NSPopUpButton* FindPopUpButton(NSWindow* window);
#endif

}  // namespace gui_test
