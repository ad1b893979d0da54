#pragma once
// The link between the fits of a global fit, kept in the document for the
// session so the same fits can be refitted together: which fits (by
// serial, so a destroyed fit simply leaves its link), which parameters
// they share, and the engine's state of the joint run. The graph file does
// not store it: each fit is saved as an ordinary fit holding its share of
// the joint result.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "fit/global_fit.h"
#include "model/document.h"

namespace zentrel {

struct GlobalFitLink {
  std::vector<std::uint64_t> serials;  // one fit per set, in the order they are fitted
  SharedFlags shared{};
  std::shared_ptr<GlobalFitWorkspace> work = std::make_shared<GlobalFitWorkspace>();
};

class GlobalFitDialogModel;

class GlobalFitLinks : public DocumentCompanion {
 public:
  GlobalFitLinks();
  ~GlobalFitLinks() override;
  std::vector<GlobalFitLink> links;
  // The Global Fit dialog's state, made on first use
  // (app/dialogs/global_fit_dialog.h).
  std::unique_ptr<GlobalFitDialogModel> dialog;
};

GlobalFitLinks& GlobalFitLinksOf(CZentrelDoc& doc);

// The link that holds the fit with this serial, or null. Links whose fits
// are all gone are dropped on the way; a link that lost some of its fits
// keeps the others.
GlobalFitLink* FindGlobalFitLink(CZentrelDoc& doc, std::uint64_t serial);

// Links these fits (replacing any link that held one of them) with a fresh
// engine state.
GlobalFitLink& LinkGlobalFits(CZentrelDoc& doc, std::vector<std::uint64_t> serials, const SharedFlags& shared);

// The fits of a link with the columns of their sets, for the engine; the
// sets are in the same order. Fits that no longer exist are left out.
struct LinkedFits {
  std::vector<GlobalFitMember> members;
  std::vector<Data_Set*> sets;
};
LinkedFits ResolveGlobalFitLink(CZentrelDoc& doc, const GlobalFitLink& link);

}  // namespace zentrel
