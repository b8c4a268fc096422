// The algorithm lists of the manual page and README.md against the algorithm table, so that a
// new row that the documents do not name, or a name they keep after its row went, fails here.
#include "crypt/HashAlgorithm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadSource(const std::string& relative) {
    std::ifstream file(std::string(QUVIRO_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> TableNames() {
    std::vector<std::string> names;
    for (const TAlgorithmInfo& row : AlgorithmTable())
        names.emplace_back(row.Name);
    return names;
}

std::string Unescaped(std::string roff) {
    for (std::size_t at = roff.find("\\-"); at != std::string::npos; at = roff.find("\\-", at))
        roff.erase(at, 1);
    return roff;
}

struct TManualList {
    std::vector<std::string> Names;
    std::string Default; // the name followed by "(the default)"
};

// The first argument of every .B or .BR line between the two comments that enclose the list.
TManualList ManualList(const std::string& page) {
    const std::size_t start = page.find(".\\\" The names of the algorithm table");
    const std::size_t end = page.find(".\\\" End of the algorithm table's names.");
    if (start == std::string::npos || end == std::string::npos || end < start)
        return {};
    TManualList list;
    std::istringstream lines(page.substr(start, end - start));
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "(the default)," && !list.Names.empty())
            list.Default = list.Names.back();
        for (const std::string macro : {".B ", ".BR "})
            if (line.starts_with(macro)) {
                const std::string arguments = line.substr(macro.size());
                list.Names.push_back(Unescaped(arguments.substr(0, arguments.find(' '))));
            }
    }
    return list;
}

// The names in the parentheses of README's "computes the message digest (A, B, ... or Z)".
std::vector<std::string> ReadmeList(const std::string& readme) {
    const std::string opening = "computes the message digest (";
    const std::size_t start = readme.find(opening);
    if (start == std::string::npos)
        return {};
    const std::size_t from = start + opening.size();
    std::string list = readme.substr(from, readme.find(')', from) - from);
    std::replace(list.begin(), list.end(), '\n', ' ');
    for (std::size_t at = list.find(" or "); at != std::string::npos; at = list.find(" or "))
        list.replace(at, 4, ", ");
    std::vector<std::string> names;
    std::istringstream items(list);
    std::string item;
    while (std::getline(items, item, ','))
        names.push_back(item.substr(item.find_first_not_of(' ')));
    return names;
}

TEST(DocumentedAlgorithmsTest, ManualPageNamesEveryRowAndNoOther) {
    const TManualList list = ManualList(ReadSource("packaging/quviro-cli.1.in"));
    EXPECT_EQ(Sorted(list.Names), Sorted(TableNames())) << "packaging/quviro-cli.1.in, option -a";
    EXPECT_EQ(list.Default, HashAlgorithmName(DefaultAlgorithm)) << "packaging/quviro-cli.1.in, option -a";
}

TEST(DocumentedAlgorithmsTest, ReadmeNamesEveryRowAndNoOther) {
    EXPECT_EQ(Sorted(ReadmeList(ReadSource("README.md"))), Sorted(TableNames())) << "README.md, first paragraph";
}

} // namespace
