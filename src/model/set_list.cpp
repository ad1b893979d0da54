#include "model/set_list.h"

#include <unordered_map>

#include "model/fit.h"

namespace zentrel {

SetList CopySetList(const SetList& from) {
  SetList copies;
  copies.reserve(from.size());
  std::unordered_map<const Data_Set*, Data_Set*> copyOf;
  for (const auto& set : from) {
    copies.push_back(std::make_unique<Data_Set>(*set));
    copyOf[set.get()] = copies.back().get();
  }
  for (auto& set : copies) {
    for (auto& fit : set->fits) {
      if (fit->convolutionSource == nullptr) continue;
      auto found = copyOf.find(fit->convolutionSource);
      // A source outside the list cannot be followed safely: drop it.
      fit->convolutionSource = found != copyOf.end() ? found->second : nullptr;
      if (fit->convolutionSource == nullptr) fit->setConvolutionSource(nullptr);
    }
  }
  return copies;
}

}  // namespace zentrel
