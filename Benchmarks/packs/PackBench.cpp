// SPDX-License-Identifier: MIT
// Importing each real Mechvibes test pack (target: under 1 s each), and loading a library of 20 packs.
#include "ClickoryApp/packs/PackImporter.h"
#include "ClickoryApp/platform/packimport/LinuxPackImporter.h"
#include "ClickoryCore/profiles/ImportedPack.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using clickory::PackImporter;

fs::path packs()
{
    return fs::path(CLICKORY_SHARED_DIR) / "testdata" / "mechvibes";
}

struct Library
{
    Library()
    {
        root = fs::temp_directory_path() / ("clickory-packbench-" + std::to_string(::getpid()));
        fs::remove_all(root);
    }
    ~Library() { fs::remove_all(root); }
    fs::path root;
};

void importPack(benchmark::State& state, const std::string& relative)
{
    const fs::path from = packs() / relative;
    if (!fs::exists(from))
    {
        state.SkipWithError(("the real test pack is missing: " + from.string()).c_str());
        return;
    }
    Library library;
    const PackImporter importer(library.root, clickory::linuxPackImportServices());
    for (auto _ : state)
    {
        const clickory::Expected<std::string> id = importer.importPack(from);
        if (!id)
        {
            state.SkipWithError(id.error().c_str());
            return;
        }
        benchmark::DoNotOptimize(id.value());
    }
}
BENCHMARK_CAPTURE(importPack, eg_oreo_folder, std::string("eg-oreo"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importPack, holy_pandas_folder, std::string("holy-pandas"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importPack, holy_pandas_zip, std::string("holy-pandas.zip"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importPack, nk_cream_folder, std::string("nk-cream"))->Unit(benchmark::kMillisecond);

// Twenty copies of the imported nk-cream pack (118 keys each), read back and published.
void loadLibraryOf20Packs(benchmark::State& state)
{
    Library library;
    const PackImporter importer(library.root, clickory::linuxPackImportServices());
    const clickory::Expected<std::string> id = importer.importPack(packs() / "nk-cream");
    if (!id)
    {
        state.SkipWithError(id.error().c_str());
        return;
    }
    const fs::path source = library.root / "nk-cream";
    std::ifstream in(source / "pack.json");
    clickory::ImportedPack pack =
        clickory::decodeImportedPack(std::string(std::istreambuf_iterator<char>(in), {})).value();
    for (int i = 1; i < 20; ++i)
    {
        pack.id = "copy-" + std::to_string(i);
        pack.name = "Copy " + std::to_string(i);
        const fs::path folder = library.root / pack.id;
        fs::copy(source, folder, fs::copy_options::recursive);
        std::ofstream(folder / "pack.json") << clickory::encodeImportedPack(pack);
    }
    for (auto _ : state)
    {
        const std::vector<clickory::ImportedPack> loaded = importer.loadLibrary();
        if (loaded.size() != 20)
        {
            state.SkipWithError("the library did not load 20 packs");
            return;
        }
        benchmark::DoNotOptimize(loaded.data());
    }
}
BENCHMARK(loadLibraryOf20Packs)->Unit(benchmark::kMicrosecond);

} // namespace
