#pragma once

#include "submissionStore.h"

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Seven words of the letters a to z, separated by single spaces.
bool isSevenLowerCaseWords(std::string_view chain);

// The chains of the package's chayn.tx0; empty when there is none.
std::set<std::string> packageChains(const std::filesystem::path &packageFolder);

// The submitted chains worth a maintainer's review: seven lower-case words once spaces at the
// ends are dropped, not in the package, each once, in the order they came.
std::vector<std::string> exportableChains(const std::vector<Submission> &submissions,
                                          const std::set<std::string> &known);
