#include "model/data_set.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "model/fit.h"

namespace zentrel {
namespace {

Data_Set MakeSet(const std::vector<double>& x, const std::vector<double>& y) {
  Data_Set set;
  for (size_t i = 0; i < x.size(); ++i) set.SetValue(0, static_cast<int>(i), x[i]);
  for (size_t i = 0; i < y.size(); ++i) set.SetValue(1, static_cast<int>(i), y[i]);
  return set;
}

std::vector<double> Column(const Data_Set& set, int c) {
  std::vector<double> values;
  for (int i = 0; i < set.PointCount(c); ++i) values.push_back(set.GetValue(c, i));
  return values;
}

TEST(DataSet, NewSetIsEmptyAndUnsetCellsReadZero) {
  Data_Set set;
  EXPECT_EQ(set.ColumnCount(), 0);
  EXPECT_EQ(set.lastColumn(), -1);
  EXPECT_EQ(set.PointCount(0), 0);
  EXPECT_EQ(set.GetValue(0, 0), 0.0);
  EXPECT_EQ(set.ColumnData(0), nullptr);
  EXPECT_EQ(set.ColumnMin(0), 0.0);
  EXPECT_EQ(set.ColumnMax(3), 0.0);
  EXPECT_EQ(set.NextAbove(2, 1.0), 0.0);
  EXPECT_EQ(set.name, "Unnamed");
  EXPECT_EQ(set.active, 1);
  EXPECT_EQ(set.connectLines, 1);
  EXPECT_EQ(set.color, 0u);
  EXPECT_EQ(set.symbolSize, 1.0);
  EXPECT_FALSE(set.modified);
}

TEST(DataSet, SetValueGrowsColumnsIndependently) {
  Data_Set set;
  EXPECT_EQ(set.SetValue(1, 0, 5.0), 5.0);
  EXPECT_EQ(set.ColumnCount(), 2);
  EXPECT_EQ(set.PointCount(0), 0);
  EXPECT_EQ(set.PointCount(1), 1);
  EXPECT_TRUE(set.modified);

  set.SetValue(5, 0, 7.0);
  EXPECT_EQ(set.ColumnCount(), 6);
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(set.PointCount(c), 0) << "column " << c;
  EXPECT_FALSE(set.HasValue(3, 0));
  EXPECT_TRUE(set.HasValue(5, 0));
  EXPECT_EQ(set.GetValue(5, 0), 7.0);
}

TEST(DataSet, WritingFarAheadLeavesZerosInTheGap) {
  Data_Set set;
  set.SetValue(0, 0, 1.0);
  set.SetValue(0, 450, 2.0);
  EXPECT_EQ(set.PointCount(0), 451);
  EXPECT_EQ(set.GetValue(0, 449), 0.0);
  EXPECT_EQ(set.GetValue(0, 450), 2.0);
}

TEST(DataSet, NegativeIndicesAreIgnored) {
  Data_Set set;
  set.SetValue(-1, 0, 1.0);
  set.SetValue(0, -4, 1.0);
  EXPECT_EQ(set.ColumnCount(), 0);
  EXPECT_EQ(set.GetValue(-1, -1), 0.0);
}

TEST(DataSet, MinMaxAndNextAbove) {
  Data_Set set = MakeSet({0, 1, 2, 3}, {-2, 5, 0.5, 3});
  EXPECT_EQ(set.ColumnMin(1), -2.0);
  EXPECT_EQ(set.ColumnMax(1), 5.0);
  EXPECT_EQ(set.NextAbove(1, 0.0), 0.5);
  EXPECT_EQ(set.NextAbove(1, 5.0), 5.0);  // nothing greater: x itself
  Data_Set negative = MakeSet({0, 1}, {-2, -1});
  EXPECT_EQ(negative.NextAbove(1, 0.0), 0.0);
}

TEST(DataSet, DeletePointsTakesBoundsInEitherOrder) {
  std::vector<double> x(10), y(10);
  for (int i = 0; i < 10; ++i) x[i] = i, y[i] = 10 * i;
  Data_Set forward = MakeSet(x, y), backward = MakeSet(x, y);
  forward.modified = backward.modified = false;
  forward.DeletePoints(3, 7);
  backward.DeletePoints(7, 3);
  const std::vector<double> expectedX = {0, 1, 2, 8, 9};
  EXPECT_EQ(Column(forward, 0), expectedX);
  EXPECT_EQ(Column(backward, 0), expectedX);
  EXPECT_EQ(Column(backward, 1), (std::vector<double>{0, 10, 20, 80, 90}));
  EXPECT_TRUE(forward.modified);
  backward.DeletePoint(0);
  EXPECT_EQ(Column(backward, 0), (std::vector<double>{1, 2, 8, 9}));
}

TEST(DataSet, DeletePointsRefusesWhatItCannotDo) {
  Data_Set xOnly;
  xOnly.SetValue(0, 0, 1.0);
  xOnly.SetValue(0, 1, 2.0);
  xOnly.modified = false;
  xOnly.DeletePoints(0, 0);
  EXPECT_EQ(xOnly.PointCount(0), 2);
  EXPECT_FALSE(xOnly.modified);

  Data_Set set = MakeSet({1, 2, 3}, {4, 5, 6});
  set.DeletePoints(1, 3);   // beyond the last x index
  set.DeletePoints(-1, 1);  // negative bound
  EXPECT_EQ(set.PointCount(0), 3);
}

TEST(DataSet, DeletePointsOnUnequalColumnsStaysInsideEachColumn) {
  Data_Set set = MakeSet({1, 2, 3, 4, 5}, {10, 20});
  set.SetValue(2, 0, 0.1);
  set.DeletePoints(1, 3);
  EXPECT_EQ(Column(set, 0), (std::vector<double>{1, 5}));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{10}));
  EXPECT_EQ(Column(set, 2), (std::vector<double>{0.1}));
}

TEST(DataSet, SortByXCarriesEveryColumn) {
  Data_Set set = MakeSet({3, 1, 2}, {30, 10, 20});
  set.SetValue(2, 0, 0.3), set.SetValue(2, 1, 0.1), set.SetValue(2, 2, 0.2);
  set.SetValue(4, 0, 300), set.SetValue(4, 1, 100), set.SetValue(4, 2, 200);
  EXPECT_FALSE(set.IsSortedByX());
  set.SortByX();
  EXPECT_TRUE(set.IsSortedByX());
  EXPECT_EQ(Column(set, 0), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(Column(set, 2), (std::vector<double>{0.1, 0.2, 0.3}));
  EXPECT_EQ(Column(set, 4), (std::vector<double>{100, 200, 300}));
}

TEST(DataSet, SortByXHandlesLastPointOutOfOrderAndEqualKeys) {
  Data_Set lastOut = MakeSet({1, 2, 3, 4, 0}, {1, 2, 3, 4, 0});
  lastOut.SortByX();
  EXPECT_EQ(Column(lastOut, 0), (std::vector<double>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Column(lastOut, 1), (std::vector<double>{0, 1, 2, 3, 4}));

  Data_Set ties = MakeSet({2, 1, 2, 1}, {1, 2, 3, 4});
  ties.SortByX();
  EXPECT_EQ(Column(ties, 0), (std::vector<double>{1, 1, 2, 2}));
  std::vector<double> y = Column(ties, 1);
  std::sort(y.begin(), y.begin() + 2);
  std::sort(y.begin() + 2, y.end());
  EXPECT_EQ(y, (std::vector<double>{2, 4, 1, 3}));
}

TEST(DataSet, SortByXOnSortedDataChangesNothing) {
  Data_Set set = MakeSet({1, 1, 2}, {5, 4, 3});
  set.modified = false;
  EXPECT_TRUE(set.IsSortedByX());
  set.SortByX();
  EXPECT_EQ(Column(set, 1), (std::vector<double>{5, 4, 3}));
}

TEST(DataSet, SortByXSurvivesNaNAndShortColumns) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Data_Set set = MakeSet({3, nan, 1, 2}, {30, 99, 10});  // y is one short
  set.SortByX();
  EXPECT_EQ(set.GetValue(0, 0), 1.0);
  EXPECT_EQ(set.GetValue(0, 1), 2.0);
  EXPECT_EQ(set.GetValue(0, 2), 3.0);
  EXPECT_TRUE(std::isnan(set.GetValue(0, 3)));
  EXPECT_EQ(set.GetValue(1, 0), 10.0);
  EXPECT_EQ(set.GetValue(1, 1), 0.0);  // the point that had no y
  EXPECT_EQ(set.GetValue(1, 2), 30.0);
  EXPECT_EQ(set.GetValue(1, 3), 99.0);
}

TEST(DataSet, SortByXSortsLargeReverseInput) {
  Data_Set set;
  const int n = 200000;
  for (int i = 0; i < n; ++i) set.SetValue(0, i, n - i), set.SetValue(1, i, i);
  set.SortByX();
  EXPECT_TRUE(set.IsSortedByX());
  EXPECT_EQ(set.GetValue(1, 0), n - 1.0);
}

TEST(DataSet, SwapPointsSwapsEveryColumn) {
  Data_Set set = MakeSet({1, 2, 3}, {4, 5, 6});
  set.SetValue(3, 0, 9);  // x error only on point 0
  set.SwapPoints(0, 2);
  EXPECT_EQ(Column(set, 0), (std::vector<double>{3, 2, 1}));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{6, 5, 4}));
  EXPECT_EQ(set.GetValue(3, 2), 9.0);
  EXPECT_EQ(set.GetValue(3, 0), 0.0);
  set.SwapPoints(0, 7);  // beyond every column: nothing to do, nothing broken
  EXPECT_EQ(set.PointCount(0), 3);
}

TEST(DataSet, ApplyOperationCodes) {
  struct Case {
    int code;
    double operand;
    double expected;
  };
  const Case cases[] = {{-1, 2, 3}, {0, 2, 3}, {1, 2, 5}, {2, 2, 1}, {3, 2, 6}, {4, 2, 1.5},
                        {4, 0, 3}, {4, -0.0, 3}, {5, 2, 9}, {6, 2, 3}, {99, 2, 3}};
  for (const auto& c : cases) {
    Data_Set set = MakeSet({3}, {3});
    set.ApplyOperation(c.code, c.operand, c.code, c.operand);
    EXPECT_EQ(set.GetValue(0, 0), c.expected) << "code " << c.code << " operand " << c.operand;
    EXPECT_EQ(set.GetValue(1, 0), c.expected) << "code " << c.code;
  }
  Data_Set xOnly;
  xOnly.SetValue(0, 0, 3);
  xOnly.modified = false;
  xOnly.ApplyOperation(1, 1, 1, 1);
  EXPECT_EQ(xOnly.GetValue(0, 0), 3.0);
  EXPECT_FALSE(xOnly.modified);
}

TEST(DataSet, CopyKeepsEverythingAndRebindsFits) {
  Data_Set source = MakeSet({1, 2, 3}, {4, 5, 6});
  source.SetValue(2, 0, 0.5);
  source.name = "P";
  source.comment = "measured\r\n";
  source.color = 0x00FF00;
  source.symbolSize = 2.5;
  source.connectLines = 0;
  source.active = 0;
  for (int k = 0; k < 2; ++k) {
    source.fits.push_back(std::make_unique<Fit>());
    source.fits.back()->name = "fit" + std::to_string(k);
  }
  source.ReattachFits();
  source.modified = false;

  Data_Set copy(source);
  EXPECT_EQ(Column(copy, 0), Column(source, 0));
  EXPECT_EQ(Column(copy, 2), Column(source, 2));
  EXPECT_EQ(copy.name, "P");
  EXPECT_EQ(copy.comment, "measured\r\n");
  EXPECT_EQ(copy.color, 0x00FF00u);
  EXPECT_EQ(copy.symbolSize, 2.5);
  EXPECT_EQ(copy.connectLines, 0);
  EXPECT_EQ(copy.active, 0);
  EXPECT_TRUE(copy.modified);
  ASSERT_EQ(copy.fits.size(), 2u);
  for (size_t k = 0; k < copy.fits.size(); ++k) {
    EXPECT_NE(copy.fits[k].get(), source.fits[k].get());  // the copy's own fits
    EXPECT_EQ(copy.fits[k]->iterationCount, 0);
  }
  EXPECT_EQ(copy.fits[1]->name, "fit1");
}

TEST(DataSet, ReattachFitsBindsColumnsAndDefaultRange) {
  Data_Set set = MakeSet({1, 2, 3, 4}, {5, 6, 7});
  set.fits.push_back(std::make_unique<Fit>());
  set.ReattachFits();
  const Fit& fit = *set.fits[0];
  EXPECT_EQ(fit.iterationCount, 0);
  EXPECT_EQ(fit.fitStart, 1.0);
  EXPECT_EQ(fit.fitEnd, 3.0);
}

TEST(DataSet, FitsRestartWhenColumnsMoveOrShrink) {
  Data_Set set = MakeSet({1, 2}, {3, 4});
  set.fits.push_back(std::make_unique<Fit>());
  set.ReattachFits();
  Fit& fit = *set.fits[0];
  fit.iterationCount = 4;
  for (int i = 2; i < 5000; ++i) set.SetValue(0, i, i), set.SetValue(1, i, i);  // forces reallocation
  EXPECT_EQ(fit.iterationCount, 0);
  EXPECT_EQ(fit.fitStart, 1.0);  // the range stays
  EXPECT_EQ(fit.fitEnd, 2.0);
  fit.iterationCount = 4;
  set.DeletePoints(10, 4999);
  EXPECT_EQ(fit.iterationCount, 0);
}

}  // namespace
}  // namespace zentrel
