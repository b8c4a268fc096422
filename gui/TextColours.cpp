#include "gui/TextColours.h"

#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) + 0.0722 * Linear(colour.blueF());
}

} // namespace

double ContrastRatio(const QColor& first, const QColor& second) {
    const double a = Luminance(first);
    const double b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor ReadableOn(const QColor& designed, const QColor& background, double contrast) {
    if (ContrastRatio(designed, background) >= contrast)
        return designed;
    const QColor end = ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background) ? QColor(Qt::black)
                                                                                                    : QColor(Qt::white);
    // Mixed in steps of 1/64 towards the end colour: the first mix that has the contrast.
    constexpr int Steps = 64;
    for (int step = 1; step <= Steps; ++step) {
        const double t = static_cast<double>(step) / Steps;
        const auto mix = [t](int from, int to) { return static_cast<int>(std::lround(from + (to - from) * t)); };
        const QColor mixed(mix(designed.red(), end.red()), mix(designed.green(), end.green()),
                           mix(designed.blue(), end.blue()));
        if (ContrastRatio(mixed, background) >= contrast)
            return mixed;
    }
    return end;
}
