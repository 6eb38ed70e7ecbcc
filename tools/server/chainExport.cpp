#include "chainExport.h"

#include "chainDatabase.h"

#include <fstream>
#include <sstream>

bool isSevenLowerCaseWords(std::string_view chain)
{
    int words = 0;
    bool inWord = false;
    for (const char c : chain) {
        if (c >= 'a' && c <= 'z') {
            if (!inWord)
                ++words;
            inWord = true;
        } else if (c == ' ' && inWord) {
            inWord = false;
        } else {
            return false;
        }
    }
    return inWord && words == 7;
}

std::set<std::string> packageChains(const std::filesystem::path &packageFolder)
{
    std::ifstream file(packageFolder / "chayn.tx0", std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    const std::string text = std::move(content).str();
    std::set<std::string> chains;
    if (const std::optional<ChainDatabase> database = parseChainDatabase(text)) {
        for (const QString &chain : database->chains)
            chains.insert(chain.toLatin1().toStdString());
    }
    return chains;
}

std::vector<std::string> exportableChains(const std::vector<Submission> &submissions,
                                          const std::set<std::string> &known)
{
    std::vector<std::string> result;
    std::set<std::string> seen = known;
    for (const Submission &submission : submissions) {
        if (!submission.chain)
            continue;
        std::string_view chain = *submission.chain;
        while (!chain.empty() && chain.front() == ' ')
            chain.remove_prefix(1);
        while (!chain.empty() && chain.back() == ' ')
            chain.remove_suffix(1);
        if (!isSevenLowerCaseWords(chain))
            continue;
        if (seen.insert(std::string(chain)).second)
            result.emplace_back(chain);
    }
    return result;
}
