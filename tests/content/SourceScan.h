// Shared by the content checks: the program's own source files (not the tests) and the string
// literals that name settings and text ids in them.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ContentTest
{

// A setting the code reads or writes: its name below the settings root and the type the call
// names ("Int", "Bool" or "String"), with the file that names it.
struct SettingUse
{
    std::string name;
    std::string type;
    std::string file;
};

std::string ReadText(const std::string& path);
// Every .cpp and .h below the layer folders of the source tree.
std::vector<std::string> ListSourceFiles();
// Settings named by Get/Set/ReadStored + Int/Bool/String calls with a literal name that is
// relative (a setting name) or starts with "/quor/".
std::vector<SettingUse> FindSettingUses(const std::string& text, const std::string& file);
// Literals "IDS_..." in the text.
std::set<std::string> FindTextIds(const std::string& text);

} // namespace ContentTest
