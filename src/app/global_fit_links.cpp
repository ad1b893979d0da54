#include "app/global_fit_links.h"

#include <algorithm>
#include <string>

#include "app/dialogs/global_fit_dialog.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

struct Owner {
  Data_Set* set = nullptr;
  Fit* fit = nullptr;
};

Owner FindOwner(const CZentrelDoc& doc, std::uint64_t serial) {
  for (const auto& set : doc.sets)
    if (set)
      for (const auto& fit : set->fits)
        if (fit->serial == serial) return {set.get(), fit.get()};
  return {};
}

void DropVanished(CZentrelDoc& doc, GlobalFitLinks& registry) {
  for (GlobalFitLink& link : registry.links)
    std::erase_if(link.serials, [&](std::uint64_t serial) { return FindOwner(doc, serial).fit == nullptr; });
  std::erase_if(registry.links, [](const GlobalFitLink& link) { return link.serials.empty(); });
}

}  // namespace

GlobalFitLinks::GlobalFitLinks() = default;
GlobalFitLinks::~GlobalFitLinks() = default;

GlobalFitLinks& GlobalFitLinksOf(CZentrelDoc& doc) {
  if (!doc.globalFits) doc.globalFits = std::make_unique<GlobalFitLinks>();
  return static_cast<GlobalFitLinks&>(*doc.globalFits);
}

GlobalFitLink* FindGlobalFitLink(CZentrelDoc& doc, std::uint64_t serial) {
  if (!doc.globalFits) return nullptr;
  GlobalFitLinks& registry = GlobalFitLinksOf(doc);
  DropVanished(doc, registry);
  for (GlobalFitLink& link : registry.links)
    if (std::find(link.serials.begin(), link.serials.end(), serial) != link.serials.end()) return &link;
  return nullptr;
}

GlobalFitLink& LinkGlobalFits(CZentrelDoc& doc, std::vector<std::uint64_t> serials, const SharedFlags& shared) {
  GlobalFitLinks& registry = GlobalFitLinksOf(doc);
  for (GlobalFitLink& link : registry.links)
    std::erase_if(link.serials, [&](std::uint64_t serial) {
      return std::find(serials.begin(), serials.end(), serial) != serials.end();
    });
  DropVanished(doc, registry);
  GlobalFitLink link;
  link.serials = std::move(serials);
  link.shared = shared;
  registry.links.push_back(std::move(link));
  return registry.links.back();
}

LinkedFits ResolveGlobalFitLink(CZentrelDoc& doc, const GlobalFitLink& link) {
  LinkedFits linked;
  for (std::uint64_t serial : link.serials) {
    const Owner owner = FindOwner(doc, serial);
    if (owner.fit == nullptr) continue;
    linked.members.push_back({owner.fit, FitDataOf(*owner.set), owner.set->name});
    linked.sets.push_back(owner.set);
  }
  return linked;
}

}  // namespace zentrel
