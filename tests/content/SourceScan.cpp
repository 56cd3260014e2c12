// The source-tree scan behind the content checks.
#include "tests/content/SourceScan.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace ContentTest
{

namespace
{

// The folders whose code runs in the program.
const char* const LAYERS[] = {"engine", "framework", "graphics", "audio", "gui", "scene", "game", "console", "app"};

} // namespace

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ListSourceFiles()
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const char* layer : LAYERS) {
        const fs::path folder = fs::path(BRASHWICK_SOURCE_DIR) / layer;
        if (!fs::is_directory(folder))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".cpp" || extension == ".h"))
                files.push_back(entry.path().string());
        }
    }
    return files;
}

std::vector<SettingUse> FindSettingUses(const std::string& text, const std::string& file)
{
    static const std::regex call(R"re(\b(?:Get|Set|ReadStored)(Int|Bool|String)\(\s*"([^"]+)")re");
    std::vector<SettingUse> uses;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), call); it != std::sregex_iterator(); ++it) {
        std::string name = (*it)[2].str();
        const std::string root = "/quor/";
        if (name.compare(0, root.size(), root) == 0)
            name = name.substr(root.size());
        else if (name[0] == '/')
            continue; // outside the settings (the version, the machine keys)
        uses.push_back({name, (*it)[1].str(), file});
    }
    return uses;
}

std::set<std::string> FindTextIds(const std::string& text)
{
    static const std::regex id(R"re("(IDS_[A-Z0-9_]+)")re");
    std::set<std::string> ids;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), id); it != std::sregex_iterator(); ++it)
        ids.insert((*it)[1].str());
    return ids;
}

} // namespace ContentTest
