// Replays the fuzzing seed corpus through the harness without libFuzzer, so the ordinary
// test run keeps every seed (and every crash once found and added) passing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main()
{
    int files = 0;
    for (const auto &entry :
         std::filesystem::directory_iterator(std::string(TAVELIO_SOURCE_DIR) + "/fuzz/corpus")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
        ++files;
    }
    // A trap in the harness ends the process before this line.
    std::printf("%d passed, 0 failed\n", files);
    return files > 0 ? 0 : 1;
}
