#pragma once

// A folder of the test's own for pellorin-cli's --output, holding
// "numbers.txt" with an old content, and removed with all it holds.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace pellorin::test {

class OutputFolder {
public:
    OutputFolder()
        : m_folder(std::filesystem::temp_directory_path()
            / ("pellorin-output-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        std::ofstream(file()) << "old\n";
    }
    ~OutputFolder()
    {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_folder, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_folder, ignored);
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    const std::filesystem::path& path() const { return m_folder; }
    std::filesystem::path file() const { return m_folder / "numbers.txt"; }

    static std::string content(const std::filesystem::path& file)
    {
        std::ifstream in(file);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    // Every name in the folder, hidden ones too, sorted.
    std::string names() const
    {
        std::vector<std::string> all;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_folder))
            all.push_back(entry.path().lexically_relative(m_folder).string());
        std::sort(all.begin(), all.end());
        std::string joined;
        for (const std::string& name : all)
            joined += name + " ";
        return joined;
    }

private:
    std::filesystem::path m_folder;
};

} // namespace pellorin::test
