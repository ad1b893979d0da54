#include "view/interaction.h"

#include <gtest/gtest.h>

#include "model/document.h"

namespace zentrel {
namespace {

// A plot of 100 x 100 device units showing 0..10 in both directions: ten
// device units per data unit, y growing upwards from the bottom edge.
class Interaction : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.graph.SetRange(0, 0, 10, 10);
    view = MakeViewport(doc, {0, 0, 100, -100});
    view.plotRect = {0, 100, 100, 0};
  }
  CZentrelDoc doc;
  Viewport view;
};

TEST_F(Interaction, AClickSelectsOnePointAndTheTwoUnitRuleGovernsEachDirection) {
  SetSelectionFromDrag(doc, view, 30, 40, 30, 40);
  EXPECT_EQ(doc.selectionX1, 3);
  EXPECT_EQ(doc.selectionX2, 3);
  EXPECT_EQ(doc.selectionY1, 4);
  EXPECT_EQ(doc.selectionY2, 4);

  // 2 units wide is no extent; 50 high is.
  SetSelectionFromDrag(doc, view, 30, 20, 32, 70);
  EXPECT_EQ(doc.selectionX1, 3);
  EXPECT_EQ(doc.selectionX2, 3);
  EXPECT_EQ(doc.selectionY1, 2);
  EXPECT_EQ(doc.selectionY2, 7);

  // 3 units is an extent.
  SetSelectionFromDrag(doc, view, 30, 20, 33, 22);
  EXPECT_DOUBLE_EQ(doc.selectionX2, 3.3);
  EXPECT_EQ(doc.selectionY2, doc.selectionY1);
}

TEST_F(Interaction, PanesInCartesianAndPolarMode) {
  doc.cursorX = 1.5;
  doc.cursorY = -0.000123456;
  auto panes = CursorPanes(doc);
  EXPECT_EQ(panes.first, "X:1.5");
  EXPECT_EQ(panes.second, "Y:-0.0001235");

  doc.graph.polar = 1;
  doc.cursorX = 0, doc.cursorY = -1;
  panes = CursorPanes(doc);
  EXPECT_EQ(panes.first, "R:1");
  EXPECT_EQ(panes.second, "Th:270");

  doc.cursorX = -1, doc.cursorY = 0;
  EXPECT_EQ(CursorPanes(doc).second, "Th:180");
  doc.graph.polarOrigin = 200;
  EXPECT_EQ(CursorPanes(doc).second, "Th:340");

  doc.graph.radians = 1;
  doc.graph.polarOrigin = 0;
  doc.cursorX = 0, doc.cursorY = 2;
  panes = CursorPanes(doc);
  EXPECT_EQ(panes.first, "R:2");
  EXPECT_EQ(panes.second, "Th:1.571");
}

TEST_F(Interaction, PolarAngleQuadrantsAndOrigin) {
  EXPECT_NEAR(PolarPaneAngle(1, 1, false, 0), 45, 1e-5);
  EXPECT_NEAR(PolarPaneAngle(-1, 1, false, 0), 135, 1e-5);
  EXPECT_NEAR(PolarPaneAngle(-1, -1, false, 0), 225, 1e-5);
  EXPECT_NEAR(PolarPaneAngle(1, -1, false, 0), 315, 1e-5);
  EXPECT_NEAR(PolarPaneAngle(1, 0, false, 90), 270, 1e-5);
  // The origin of x = 0, y = 0 counts as straight down.
  EXPECT_NEAR(PolarPaneAngle(0, 0, false, 0), 270, 1e-5);
  EXPECT_NEAR(PolarPaneAngle(1, -1, true, 0), 5.4977871, 1e-6);
  EXPECT_NEAR(PolarPaneAngle(1, 1, true, 1), 6.2831854 - (1 - 0.78539818), 1e-6);
}

TEST_F(Interaction, LeftDragSelectsOrderedRectangleAndPublishesTheCursor) {
  ViewMouse mouse;
  EXPECT_TRUE(mouse.leftDown(doc, {80, 70}).repaint);
  EXPECT_EQ(mouse.buttonState(), ViewMouse::kLeftDrag);
  auto effect = mouse.move(doc, view, {20, 10});
  EXPECT_TRUE(effect.rubberBand);
  EXPECT_EQ(mouse.cursorPos(), (DevicePoint{20, 10}));
  EXPECT_EQ(doc.cursorX, 2);
  EXPECT_EQ(doc.cursorY, 1);
  effect = mouse.leftUp(doc, view, {20, 10});
  EXPECT_FALSE(effect.repaint);  // the outline stays until the next repaint
  EXPECT_EQ(mouse.buttonState(), 0);
  EXPECT_EQ(doc.selectionX1, 2);
  EXPECT_EQ(doc.selectionX2, 8);
  EXPECT_EQ(doc.selectionY1, 1);
  EXPECT_EQ(doc.selectionY2, 7);
}

TEST_F(Interaction, RightButtonFreezesTheCursorAndRepaintsOnRelease) {
  ViewMouse mouse;
  mouse.move(doc, view, {50, 50});
  mouse.rightDown();
  const auto effect = mouse.move(doc, view, {90, 90});
  EXPECT_FALSE(effect.rubberBand);
  EXPECT_EQ(mouse.cursorPos(), (DevicePoint{50, 50}));
  EXPECT_EQ(doc.cursorX, 5);
  EXPECT_TRUE(mouse.rightUp().repaint);
  mouse.move(doc, view, {90, 90});
  EXPECT_EQ(doc.cursorX, 9);
}

TEST_F(Interaction, AReleaseWithoutItsPressLeavesTheSelection) {
  ViewMouse mouse;
  doc.selectionX1 = doc.selectionX2 = 1;
  mouse.leftUp(doc, view, {30, 30});
  EXPECT_EQ(doc.selectionX1, 1);
  EXPECT_EQ(doc.selectionX2, 1);
}

}  // namespace
}  // namespace zentrel
