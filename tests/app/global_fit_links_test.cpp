#include "app/global_fit_links.h"

#include <memory>

#include <gtest/gtest.h>

#include "model/data_set.h"
#include "model/document.h"

namespace zentrel {
namespace {

// A document of three sets with one fit each; returns their serials.
std::vector<std::uint64_t> ThreeFittedSets(CZentrelDoc& doc) {
  std::vector<std::uint64_t> serials;
  for (int s = 0; s < 3; ++s) {
    auto set = std::make_unique<Data_Set>();
    set->name = "set" + std::to_string(s);
    for (int i = 0; i < 5; ++i) {
      set->SetValue(0, i, i);
      set->SetValue(1, i, i * i);
    }
    set->fits.push_back(std::make_unique<Fit>());
    serials.push_back(set->fits.back()->serial);
    doc.AppendSet(std::move(set));
  }
  return serials;
}

TEST(GlobalFitLinks, FollowTheFitsThatStillExist) {
  CZentrelDoc doc;
  const std::vector<std::uint64_t> serials = ThreeFittedSets(doc);
  EXPECT_EQ(FindGlobalFitLink(doc, serials[0]), nullptr);
  SharedFlags shared{};
  shared[3] = true;
  LinkGlobalFits(doc, serials, shared);
  GlobalFitLink* link = FindGlobalFitLink(doc, serials[2]);
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->shared[3]);
  LinkedFits linked = ResolveGlobalFitLink(doc, *link);
  ASSERT_EQ(linked.members.size(), 3u);
  EXPECT_EQ(linked.members[1].label, "set1");
  EXPECT_EQ(linked.sets[2], doc.sets[2].get());

  // Closing a set takes its fit out of the link; the others stay linked.
  doc.CloseSet(1);
  link = FindGlobalFitLink(doc, serials[0]);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->serials, (std::vector<std::uint64_t>{serials[0], serials[2]}));
  EXPECT_EQ(ResolveGlobalFitLink(doc, *link).members.size(), 2u);

  // A new link of some of the fits replaces the old one for them.
  LinkGlobalFits(doc, {serials[2]}, SharedFlags{});
  EXPECT_EQ(FindGlobalFitLink(doc, serials[0])->serials, (std::vector<std::uint64_t>{serials[0]}));
  EXPECT_EQ(FindGlobalFitLink(doc, serials[2])->serials, (std::vector<std::uint64_t>{serials[2]}));

  // With every fit gone nothing is linked any more.
  doc.ResetDocument();
  EXPECT_EQ(FindGlobalFitLink(doc, serials[0]), nullptr);
  EXPECT_TRUE(GlobalFitLinksOf(doc).links.empty());
}

}  // namespace
}  // namespace zentrel
