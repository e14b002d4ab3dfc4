// A select panel's list with thousands of values: a stored condition set
// read back, and a pick window's answer taken into the list (duplicates
// dropped, columns sized). Run: build/bin/bench_controls
#include "controls/SelectPnl.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace kelm24;

namespace {

// Item numbers with every sixth one repeated in another case, and a name.
QString StoredList(int rows)
{
    QString text = QStringLiteral("sp_Discrete") + QChar(3);
    for (int i = 0; i < rows; ++i) {
        const QString number = QStringLiteral("a%1").arg(i - i % 6 * (i % 2), 6, 10, QLatin1Char('0'));
        text += (i % 2 ? number.toUpper() : number) + QChar(1) + QStringLiteral("不锈钢螺丝%1").arg(i) + QChar(4);
    }
    return text;
}

void RestoreStoredList(benchmark::State& state)
{
    const QString stored = StoredList(int(state.range(0)));
    for (auto _ : state) {
        TSelectPanel panel;
        panel.SetStyle(TSelectPanel::sp_Discrete);
        panel.SetCheckDuplicate(TSelectPanel::cd_CaseInsensitive);
        panel.RestoreStoredText(stored);
        benchmark::DoNotOptimize(panel.ItemCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RestoreStoredList)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void PickRows(benchmark::State& state)
{
    const int rows = int(state.range(0));
    Variant answer = Variant::CreateArray(0, rows - 1, 0, 2);
    for (int r = 0; r < rows; ++r) {
        answer.At(r, 0) = QStringLiteral("P%1").arg(rows - r, 6, 10, QLatin1Char('0'));
        answer.At(r, 1) = QStringLiteral("铝合金面板%1").arg(r);
        answer.At(r, 2) = QString::number(r * 1.25, 'f', 2);
    }
    for (auto _ : state) {
        TSelectPanel panel;
        panel.SetStyle(TSelectPanel::sp_Discrete);
        panel.SetSortListBox(true);
        panel.AddPickedRows(answer, true);
        benchmark::DoNotOptimize(panel.ItemCount());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(PickRows)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
