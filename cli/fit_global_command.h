#pragma once
// `zentrel-cli fit A B C --global --share I,J`: one joint fit of every file,
// the parameters I, J, … shared by all of them.

#include <string>
#include <vector>

#include "fit/fit_run.h"

namespace zentrel {

struct FitCommandOptions;

// "I,J,…" as parameter indices; the message when the text is not such a list.
std::string ParseShareList(const std::string& text, std::vector<int>& indices);

// Fits options.files jointly with the request every file would get on its
// own. Exit status: 0 when the fit converged or ran its iterations, 1 when
// it failed, 2 for options that do not go with --global.
int RunGlobalFitCommand(const FitCommandOptions& options, const FitRequest& request);

}  // namespace zentrel
