// The controller's operations addressed by control identifier: 10101 the
// factor popup, 10102 OK, 10103 Cancel. The dialog has no text items.
#include <cstring>

#include "DialogFixture.h"

namespace {

constexpr int32_t kPopup = 10101;
constexpr int32_t kOk = 10102;
constexpr int32_t kCancel = 10103;

class ControllerMappingTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        ASSERT_TRUE(LoadWindow());
    }
};

TEST_F(ControllerMappingTest, IdentifiersMapToTheirControls) {
    EXPECT_EQ([Controller() getPopUpButtonItem:kPopup], Popup());
    EXPECT_EQ([Controller() getPopUpButtonItem:kOk], nil);
    EXPECT_EQ([Controller() getButtonItem:kOk], OkButton());
    EXPECT_EQ([Controller() getButtonItem:kCancel], CancelButton());
    EXPECT_EQ([Controller() getButtonItem:kPopup], nil);
    EXPECT_EQ([Controller() getPopUpButtonItemID:Popup()], kPopup);
    EXPECT_EQ([Controller() getPopUpButtonItemID:OkButton()], 0);
    EXPECT_EQ([Controller() getPopUpButtonCurrentPos:kOk], 0);
}

TEST_F(ControllerMappingTest, SetTextFallsBackToTheButtons) {
    EXPECT_TRUE([Controller() setText:kOk :"Reduce"]);
    EXPECT_EQ(Utf8([OkButton() title]), "Reduce");

    const std::vector<std::string> before = PopupTitles();
    EXPECT_FALSE([Controller() setText:kPopup :"x"]);
    EXPECT_EQ(PopupTitles(), before);
}

TEST_F(ControllerMappingTest, GetTextFindsNoTextItemAndLeavesTheBuffer) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    for (int32_t id : {kPopup, kOk, kCancel}) {
        EXPECT_FALSE([Controller() getText:id :buffer :sizeof buffer]);
        EXPECT_FALSE([Controller() setTextAble:id :NO]);
    }
    for (char byte : buffer) EXPECT_EQ(byte, '#');
    EXPECT_TRUE([OkButton() isEnabled]);
}

TEST_F(ControllerMappingTest, PopupOperationsActOnlyOnThePopup) {
    EXPECT_TRUE([Controller() removeAllItemsPopUpButton:kPopup]);
    EXPECT_EQ([Controller() getPopUpButtonCurrentPos:kPopup], -1);  // nothing selected
    EXPECT_TRUE([Controller() addPopUpButtonText:kPopup :"\xC3\x97 2"]);  // "× 2"
    EXPECT_EQ(PopupTitles(), std::vector<std::string>{"\xC3\x97 2"});

    EXPECT_FALSE([Controller() addPopUpButtonText:kOk :"3"]);
    EXPECT_FALSE([Controller() removeAllItemsPopUpButton:kCancel]);
    EXPECT_EQ([Popup() numberOfItems], 1);
}

TEST_F(ControllerMappingTest, TextThatIsNotUtf8ChangesNoControl) {
    EXPECT_FALSE([Controller() addPopUpButtonText:kPopup :nullptr]);
    EXPECT_FALSE([Controller() addPopUpButtonText:kPopup :"\xFF\xFE"]);
    EXPECT_EQ([Popup() numberOfItems], 15);

    EXPECT_TRUE([Controller() setButtonText:kOk :nullptr]);  // the button exists
    EXPECT_EQ(Utf8([OkButton() title]), "OK");
}

TEST_F(ControllerMappingTest, SelectingAPositionNeedsAnItemThere) {
    EXPECT_TRUE([Controller() selectPopUpButtonPos:kPopup :14]);
    EXPECT_FALSE([Controller() selectPopUpButtonPos:kPopup :15]);
    EXPECT_FALSE([Controller() selectPopUpButtonPos:kPopup :-1]);
    EXPECT_FALSE([Controller() selectPopUpButtonPos:kOk :0]);
    EXPECT_EQ([Controller() getPopUpButtonCurrentPos:kPopup], 14);
}

}  // namespace
