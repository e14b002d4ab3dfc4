// Converting a report's data (10,000 rows by 20 text columns) between the
// simplified and traditional forms, as the format form does for a Big5
// interface. Run: build/bin/bench_i18n
#include "i18n/CodeConverter.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace kelm24;

namespace {

constexpr int Rows = 10000;
constexpr int Columns = 20;

// Receipt lines: document numbers, dates and amounts beside item, supplier,
// warehouse and unit names that repeat across the rows, and a remark per row.
Variant ReceiptData()
{
    static const QString items[] = {QStringLiteral("不锈钢螺丝"), QStringLiteral("铝合金面板"), QStringLiteral("电源供应器"),
                                    QStringLiteral("包装纸箱"), QStringLiteral("显示器支架"), QStringLiteral("数据线")};
    static const QString suppliers[] = {QStringLiteral("华东电子有限公司"), QStringLiteral("广州五金贸易"), QStringLiteral("台北精密工业")};
    Variant data = Variant::CreateArray(0, Rows - 1, 0, Columns - 1);
    for (int r = 0; r < Rows; ++r) {
        data.At(r, 0) = QStringLiteral("进货单");
        data.At(r, 1) = QStringLiteral("PR%1").arg(20240000 + r / 8);
        data.At(r, 2) = QStringLiteral("20240305");
        data.At(r, 3) = suppliers[r % 3];
        data.At(r, 4) = QStringLiteral("A%1").arg(r % 500, 5, 10, QLatin1Char('0'));
        data.At(r, 5) = items[r % 6] + QString::number(r % 500);
        data.At(r, 6) = QStringLiteral("规格%1号").arg(r % 40);
        data.At(r, 7) = r % 2 ? QStringLiteral("个") : QStringLiteral("箱");
        data.At(r, 8) = QString::number(r % 97 + 1);
        data.At(r, 9) = QString::number((r % 311) * 1.25, 'f', 2);
        data.At(r, 10) = QString::number((r % 97 + 1) * (r % 311) * 1.25, 'f', 2);
        data.At(r, 11) = QStringLiteral("新台币");
        data.At(r, 12) = QStringLiteral("原料仓库%1").arg(r % 4);
        data.At(r, 13) = r % 5 ? QStringLiteral("已审核") : QStringLiteral("未审核");
        data.At(r, 14) = QStringLiteral("验收合格");
        data.At(r, 15) = QStringLiteral("采购员%1").arg(r % 12);
        data.At(r, 16) = QStringLiteral("签核完成");
        data.At(r, 17) = QStringLiteral("第%1行备注：请于发票到达后付款").arg(r);
        data.At(r, 18) = QStringLiteral("Y");
        data.At(r, 19) = QStringLiteral("20240331");
    }
    return data;
}

// Every cell a Chinese text of its own: nothing repeats.
Variant DistinctData()
{
    static const QString words[] = {QStringLiteral("进货"), QStringLiteral("发票"), QStringLiteral("数量"),
                                    QStringLiteral("审核"), QStringLiteral("仓库"), QStringLiteral("单价")};
    Variant data = Variant::CreateArray(0, Rows - 1, 0, Columns - 1);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) data.At(r, c) = words[(r + c) % 6] + QString::number(r * Columns + c) + words[c % 6];
    return data;
}

// Worst case: the Chinese of every cell is a run of its own, so nothing
// converted before helps (characters drawn from a pool of receipt words).
Variant DistinctChineseData()
{
    static const QString pool = QStringLiteral("进货单发票数量审核仓库单价金额供应商采购品号规格备注验收合格币别税额");
    Variant data = Variant::CreateArray(0, Rows - 1, 0, Columns - 1);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) {
            QString text;
            for (int n = r * Columns + c + 1; n > 0; n /= static_cast<int>(pool.size())) text += pool.at(n % pool.size());
            data.At(r, c) = text + QStringLiteral("第") + QString::number(c) + QStringLiteral("栏");
        }
    return data;
}

void ConvertReport(benchmark::State& state, Variant (*make)())
{
    const Variant data = make();
    for (auto _ : state) {
        // A fresh converter per run: no text is cached from the last one.
        TCodeConverter converter(nullptr, "936", "950", "950");
        Variant shown = converter.ToDisplay(data);
        benchmark::DoNotOptimize(shown);
    }
    state.counters["cells"] = Rows * Columns;
}

BENCHMARK_CAPTURE(ConvertReport, receipt_data_10000x20, &ReceiptData)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(ConvertReport, distinct_texts_10000x20, &DistinctData)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(ConvertReport, distinct_chinese_10000x20, &DistinctChineseData)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
