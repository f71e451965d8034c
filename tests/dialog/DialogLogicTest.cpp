#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakeController.h"
#include "dialog/DecimoraDialog.h"
#include "dialog/DecimoraDialogAdapters.h"
#include "engine/DecimoraData.h"

namespace {

using Log = std::vector<std::string>;

class DialogLogic : public ::testing::Test {
protected:
    void SetUp() override {
        fakecontroller::Reset();
        run.GetFactorNames();
    }
    void TearDown() override {
        fakecontroller::Reset();
        EXPECT_EQ(gDecimoraDialogRef, nullptr);
    }
    bool RunDialog(std::vector<int> clicks) {
        fakecontroller::state.clicks = std::move(clicks);
        DecimoraDialog dialog(&run);
        return dialog.DoModal();
    }
    static Log FillTraffic(int selected) {
        Log log = {"DialogCreate", "centerDialog", "removeAll 10101"};
        for (int factor = 2; factor <= 16; ++factor) log.push_back("add 10101 " + std::to_string(factor));
        log.push_back("select 10101 " + std::to_string(selected));
        return log;
    }
    static Log Concat(Log first, const Log& second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    }

    fakecontroller::State& controller = fakecontroller::state;
    DecimoraData run;
};

TEST_F(DialogLogic, OkTakesTheFirstItemInTheDocumentedOrder) {
    run.factor = 7;
    controller.clicks = {kButtonOKId};
    DecimoraDialog dialog(&run);
    ASSERT_TRUE(DecimoraDialogAdapter::DialogCreate());
    controller.selected = 0;  // the fill selected "7"; the user picks "2"
    EXPECT_TRUE(DecimoraDialogAdapter::DialogShowModal());
    EXPECT_EQ(run.factor, 2);
    EXPECT_EQ(controller.log, Concat(FillTraffic(5), {"DialogShowModal", "pos 10101", "end 1"}));
    EXPECT_EQ(controller.items.size(), 15u);
    EXPECT_EQ(dialog.factorCombo.itemCount, 15);
    EXPECT_STREQ(dialog.factorCombo.items[14], "16");
    EXPECT_EQ(dialog.factorCombo.items[3], run.factorNames[3]) << "items point at the run's names";
}

TEST_F(DialogLogic, OpensOnTheCurrentFactorAndOkKeepsIt) {
    run.factor = 9;
    EXPECT_TRUE(RunDialog({kButtonOKId}));
    EXPECT_EQ(controller.log, Concat(FillTraffic(7), {"DialogShowModal", "pos 10101", "end 1"}));
    EXPECT_EQ(run.factor, 9);
}

TEST_F(DialogLogic, FactorOutsideTheListOpensOnTwo) {
    run.factor = 20;
    EXPECT_TRUE(RunDialog({kButtonOKId}));
    EXPECT_EQ(controller.log[18], "select 10101 0");
    EXPECT_EQ(run.factor, 2);
}

TEST_F(DialogLogic, OkWithTheEighthItemSetsNine) {
    run.factor = 2;
    DecimoraDialog dialog(&run);
    ASSERT_TRUE(DecimoraDialogAdapter::DialogCreate());
    controller.selected = 7;  // the user picks the eighth item
    controller.clicks = {kButtonOKId};
    EXPECT_TRUE(DecimoraDialogAdapter::DialogShowModal());
    EXPECT_EQ(run.factor, 9);
}

TEST_F(DialogLogic, CancelKeepsTheFactor) {
    run.factor = 12;
    EXPECT_FALSE(RunDialog({kButtonCancelId}));
    EXPECT_EQ(run.factor, 12);
    EXPECT_EQ(controller.log, Concat(FillTraffic(10), {"DialogShowModal", "end 0"}));
}

TEST_F(DialogLogic, OtherIdentifiersChangeNothingAndDoNotEndTheLoop) {
    run.factor = 12;
    EXPECT_FALSE(RunDialog({kFactorPopupId, 0, -1, 99999}));
    EXPECT_FALSE(controller.ended);
    EXPECT_EQ(run.factor, 12);
    EXPECT_EQ(controller.log.back(), "DialogShowModal");

    controller.log.clear();
    EXPECT_TRUE(RunDialog({kFactorPopupId, kButtonOKId}));
    EXPECT_EQ(Log(controller.log.end() - 2, controller.log.end()), (Log{"pos 10101", "end 1"}));
}

TEST_F(DialogLogic, OkWithoutASelectionKeepsTheFactorAndStillEndsWithOk) {
    run.factor = 12;
    DecimoraDialog dialog(&run);
    ASSERT_TRUE(DecimoraDialogAdapter::DialogCreate());
    controller.clicks = {kButtonOKId};
    for (int position : {-1, 15, 1000}) {
        controller.selected = position;
        EXPECT_TRUE(DecimoraDialogAdapter::DialogShowModal()) << position;
        EXPECT_EQ(run.factor, 12) << position;
    }
}

TEST_F(DialogLogic, WindowThatDoesNotLoadIsNotShown) {
    controller.windowLoads = false;
    EXPECT_FALSE(RunDialog({kButtonOKId}));
    EXPECT_EQ(controller.log, Log{"DialogCreate"});
}

TEST_F(DialogLogic, RefusedItemsAreSkippedAndTheFillGoesOn) {
    controller.refusedItem = "5";
    DecimoraDialog dialog(&run);
    ASSERT_TRUE(DecimoraDialogAdapter::DialogCreate());
    EXPECT_EQ(dialog.factorCombo.itemCount, 14);
    EXPECT_STREQ(dialog.factorCombo.items[3], "6");
    EXPECT_EQ(std::count_if(controller.log.begin(), controller.log.end(),
                            [](const std::string& call) { return call.rfind("add ", 0) == 0; }),
              15);
}

TEST_F(DialogLogic, ClicksWithoutADialogAreIgnored) {
    fakecontroller::Install();
    DecimoraDialogButtonAdapter::OnClicked(kButtonOKId);
    DecimoraDialogButtonAdapter::OnClicked(kButtonCancelId);
    EXPECT_TRUE(controller.log.empty());
}

TEST_F(DialogLogic, DestructionForgetsTheDialogButLeavesTheController) {
    fakecontroller::Install();
    {
        DecimoraDialog dialog(&run);
        EXPECT_EQ(gDecimoraDialogRef, &dialog);
        EXPECT_EQ(dialog.data, &run);
        EXPECT_EQ(dialog.factorCombo.controlId, kFactorPopupId);
        EXPECT_EQ(dialog.factorCombo.itemCount, 0);
    }
    EXPECT_EQ(gDecimoraDialogRef, nullptr);
    EXPECT_TRUE(fakecontroller::HasController());
    EXPECT_TRUE(controller.log.empty());
}

TEST_F(DialogLogic, WithoutAControllerTheAdaptersDoNothing) {
    EXPECT_FALSE(fakecontroller::HasController());
    EXPECT_EQ(DecimoraDialogComboBoxAdapter::GetCurrentPosition(kFactorPopupId), 0);
    EXPECT_FALSE(DecimoraDialogComboBoxAdapter::AddPosition(kFactorPopupId, "2"));
    EXPECT_FALSE(DecimoraDialogComboBoxAdapter::RemoveAllPosition(kFactorPopupId));
    EXPECT_FALSE(DecimoraDialogComboBoxAdapter::SetCurrentPosition(kFactorPopupId, 0));
    EXPECT_FALSE(DecimoraDialogTextAdapter::SetText(kButtonOKId, "OK"));
    EXPECT_FALSE(DecimoraDialogTextAdapter::SetToolTip(kButtonOKId, "OK"));
    EXPECT_FALSE(DecimoraDialogAdapter::EndDialog(kDialogCodeOK));
    DecimoraDialogAdapter::CenterDialog();
    DecimoraDialogAdapter::SetTitle("Decimora");

    MyComboBox combo(kFactorPopupId);
    EXPECT_FALSE(combo.Add("2"));
    EXPECT_EQ(combo.itemCount, 0);
    EXPECT_TRUE(combo.SetPos(3));
    EXPECT_TRUE(controller.log.empty());
}

// --- MyComboBox -----------------------------------------------------------

TEST_F(DialogLogic, ComboStopsAtTwoHundredFiftyFiveItems) {
    fakecontroller::Install();
    MyComboBox combo(kFactorPopupId);
    for (int i = 0; i < 254; ++i) ASSERT_TRUE(combo.Add("x"));
    EXPECT_EQ(combo.itemCount, 254);
    EXPECT_TRUE(combo.Add("last")) << "the 255th item";
    EXPECT_EQ(combo.itemCount, 255);
    EXPECT_STREQ(combo.items[254], "last");
    const size_t calls = controller.log.size();
    EXPECT_FALSE(combo.Add("over"));
    EXPECT_EQ(combo.itemCount, 255);
    EXPECT_EQ(combo.items[255], nullptr);
    EXPECT_EQ(controller.log.size(), calls) << "the platform is not asked";
}

TEST_F(DialogLogic, ComboClearResetsTheModelAndTheControl) {
    fakecontroller::Install();
    MyComboBox combo(kFactorPopupId);
    combo.Add("2");
    combo.Add("3");
    combo.position = 4;
    combo.Clear();
    EXPECT_EQ(combo.itemCount, 0);
    EXPECT_EQ(combo.position, 0);
    EXPECT_TRUE(controller.items.empty());
    EXPECT_EQ(controller.log.back(), "removeAll 10101");
}

TEST_F(DialogLogic, ComboSetPosSelectsAndAlwaysSucceeds) {
    fakecontroller::Install();
    MyComboBox combo(kFactorPopupId);
    combo.Add("2");
    combo.Add("3");
    EXPECT_TRUE(combo.SetPos(1));
    EXPECT_EQ(controller.selected, 1);
    EXPECT_TRUE(combo.SetPos(9)) << "out of range: the control refuses, the model does not mind";
    EXPECT_EQ(controller.selected, 1);
    EXPECT_EQ(combo.position, 0) << "position is written only by construction and Clear";
}

}  // namespace
