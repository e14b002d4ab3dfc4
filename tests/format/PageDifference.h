// How far two rendered pages differ, for comparisons with a reference page.
#pragma once

#include <QImage>

#include <cstdlib>
#include <utility>

namespace kelm24::test {

// Share of pixels whose grey levels differ by more than 96, and the mean difference.
inline std::pair<double, double> PageDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return {1.0, 255.0};
    qint64 far = 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
            sum += d;
            if (d > 96) ++far;
        }
    const double n = double(a.width()) * a.height();
    return {far / n, sum / n};
}

}  // namespace kelm24::test
