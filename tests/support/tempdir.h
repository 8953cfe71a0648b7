// A scratch folder removed at the end of the test.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

struct TempDir
{
    std::filesystem::path path;
    TempDir()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "tavelio-test-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    std::string file(const std::string &name) const { return (path / name).string(); }

    void write(const std::string &name, std::string_view bytes) const
    {
        std::ofstream(path / name, std::ios::binary).write(bytes.data(), long(bytes.size()));
    }

    std::string read(const std::string &name) const
    {
        std::ifstream in(path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Names in the folder, sorted, hidden temporaries included.
    std::string listing() const
    {
        std::string names;
        std::vector<std::string> all;
        for (const auto &entry : std::filesystem::directory_iterator(path))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        for (const auto &n : all)
            names += n + " ";
        return names;
    }
};
