// SPDX-License-Identifier: MIT
// Text export speed: laying the report's one page out on the character grid
// (its 59 printed lines) and turning the grid into the page's text.

#include <benchmark/benchmark.h>

#include <string>

#include "report/core/text_grid.h"

namespace {

struct PrintedLine {
    int Left;  // pixels at 96 per inch, as the sheet is designed
    int Top;
    const char* Text;
};

// The sheet's labels, filled values standing in for what the print command puts in.
const PrintedLine kSheet[] = {
    {128, 48, "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"},
    {48, 95, "Вес квадрата"},
    {47, 118, "Вес талевого блока"},
    {48, 142, "Вес каната"},
    {48, 165, "Вес крюка"},
    {48, 189, "Вес вертлюга"},
    {48, 214, "Вес бурового рукава"},
    {48, 238, "Удельный вес раствора"},
    {48, 263, "Удельный вес металла"},
    {208, 97, "12 345,67 т."},
    {208, 119, "12 345,67 т."},
    {208, 143, "12 345,67 т."},
    {208, 167, "12 345,67 т."},
    {208, 191, "12 345,67 т."},
    {208, 215, "12 345,67 т."},
    {208, 238, "12 345,67 т."},
    {208, 262, "12 345,67 т."},
    {304, 75, "L инстр."},
    {304, 97, "12 345,67 т."},
    {304, 119, "12 345,67 т."},
    {304, 143, "12 345,67 т."},
    {304, 167, "12 345,67 т."},
    {304, 191, "12 345,67 т."},
    {304, 215, "12 345,67 т."},
    {304, 238, "12 345,67 т."},
    {304, 262, "12 345,67 т."},
    {400, 75, "D инстр."},
    {400, 97, "12 345,67 т."},
    {400, 119, "12 345,67 т."},
    {400, 143, "12 345,67 т."},
    {400, 167, "12 345,67 т."},
    {400, 191, "12 345,67 т."},
    {400, 215, "12 345,67 т."},
    {400, 238, "12 345,67 т."},
    {400, 262, "12 345,67 т."},
    {495, 76, "Вес 1 метра"},
    {496, 96, "12 345,67 т."},
    {496, 119, "12 345,67 т."},
    {496, 143, "12 345,67 т."},
    {496, 167, "12 345,67 т."},
    {496, 191, "12 345,67 т."},
    {496, 215, "12 345,67 т."},
    {496, 238, "12 345,67 т."},
    {496, 262, "12 345,67 т."},
    {48, 304, "Вес талевой системы"},
    {48, 336, "Вес бурового инструмента"},
    {48, 352, "чистый"},
    {48, 376, "Вес бурового инструмента"},
    {49, 394, "с учетом вытеснения"},
    {48, 424, "Вес бурового инструмента"},
    {48, 440, "с учетом талевой системы"},
    {48, 464, "Длина инструмента"},
    {248, 304, "12 345,67 т."},
    {248, 336, "12 345,67 т."},
    {248, 384, "12 345,67 т."},
    {248, 431, "12 345,67 т."},
    {248, 464, "12 345,67 т."},
    {48, 500, "12 345,67 т."},
    {163, 500, "12 345,67 т."},
};

dw::Extended Native(int pixels)
{
    return pixels * 254.0L / 96.0L;
}

void PlaceSheet(dw::TextGrid& grid)
{
    for (const PrintedLine& line : kSheet) {
        grid.PlaceText(Native(line.Left), Native(line.Top), dw::TAlignment::taLeftJustify, line.Text);
    }
}

void BM_TextGridPlacePage(benchmark::State& state)
{
    dw::TextGrid grid;
    grid.BeginExport(10, 4200);
    for (auto _ : state) {
        grid.OpenPage();
        PlaceSheet(grid);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(kSheet)));
}
BENCHMARK(BM_TextGridPlacePage);

void BM_TextGridPlaceAndWritePage(benchmark::State& state)
{
    dw::TextGrid grid;
    grid.BeginExport(10, 4200);
    std::string page;
    for (auto _ : state) {
        grid.OpenPage();
        PlaceSheet(grid);
        page.clear();
        grid.AppendPage(page);
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_TextGridPlaceAndWritePage);

}  // namespace
