// Costs of the settings store: one start-up load, a load plus one store, and opening and
// rewriting workbooks of 10,000 and 20,000 cells (the cost must grow linearly). The baseline
// is a plain copy of the bytes of the 10,000-cell file.
#include "settings/ExcelDocument.h"
#include "app/AppFolders.h"
#include "settings/SettingsWorkbook.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TempApp {
    TempApp()
    {
        dir = fs::temp_directory_path() / "parvel_settings_bench";
        fs::remove_all(dir);
        fs::create_directories(dir / "system");
        ExcelDocument doc;
        doc.NewBook({u"Sheet1"});
        SheetGrid& g = *doc.SheetAt(0);
        const char16_t* labels[] = {u"设置项", u"照片文件夹", u"相框文件夹", u"挂件文件夹", u"图像宽度", u"图像高度", u"已检测到摄像头", u"延时拍照秒数"};
        for (std::uint32_t r = 0; r < 8; ++r)
            g.CellAt(r, 0)->SetWideText(labels[r]);
        g.CellAt(0, 1)->SetWideText(u"值");
        g.CellAt(4, 1)->SetInteger(640);
        g.CellAt(5, 1)->SetInteger(480);
        g.CellAt(6, 1)->SetInteger(0);
        g.CellAt(7, 1)->SetInteger(5);
        (void)doc.WriteBook(SettingsWorkbookPath(dir / "system"));
    }
    ~TempApp() { fs::remove_all(dir); }
    fs::path dir;
};

// A workbook of the given number of cells, 100 to a row: integers, doubles of both kinds and
// texts, a fifth of them repeated.
std::vector<std::uint8_t> WorkbookOf(int cells)
{
    ExcelDocument doc;
    doc.NewBook({u"Data"});
    SheetGrid& g = *doc.SheetAt(0);
    for (int i = 0; i < cells; ++i) {
        GridCell* c = g.CellAt(static_cast<std::uint32_t>(i / 100), static_cast<std::uint32_t>(i % 100));
        switch (i % 5) {
        case 0: c->SetInteger(i); break;
        case 1: c->SetDouble(i * 0.25); break;
        case 2: c->SetDouble(i * 3.14159); break;
        case 3: c->SetAnsiText("text " + std::to_string(i)); break;
        default: c->SetWideText(u"共享文字"); break;
        }
    }
    return doc.WriteBookToMemory().value();
}

void BM_CopyFileBytes(benchmark::State& state)
{
    const auto file = WorkbookOf(10000);
    for (auto _ : state) {
        std::vector<std::uint8_t> copy = file;
        benchmark::DoNotOptimize(copy.data());
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_CopyFileBytes);

void BM_LoadSettings(benchmark::State& state)
{
    TempApp app;
    for (auto _ : state) {
        AppFolders folders = AppFolders::FromAppDir(app.dir);
        SettingsValues values;
        if (!LoadSettings(folders, values))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(values);
    }
}
BENCHMARK(BM_LoadSettings);

void BM_LoadAndStoreSettings(benchmark::State& state)
{
    TempApp app;
    int seconds = 1;
    for (auto _ : state) {
        AppFolders folders = AppFolders::FromAppDir(app.dir);
        SettingsValues values;
        if (!LoadSettings(folders, values) || !StoreDelaySeconds(folders, values, seconds++ % 30 + 1))
            state.SkipWithError("load or store failed");
    }
}
BENCHMARK(BM_LoadAndStoreSettings);

void BM_OpenAndRewrite(benchmark::State& state)
{
    const auto file = WorkbookOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ExcelDocument doc;
        if (!doc.OpenBookFromMemory(file))
            state.SkipWithError("open failed");
        auto out = doc.WriteBookToMemory();
        benchmark::DoNotOptimize(out);
    }
    state.SetComplexityN(state.range(0));
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_OpenAndRewrite)->Arg(10000)->Arg(20000)->Arg(40000)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
