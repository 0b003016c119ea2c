#include "chart/CoverageRaster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The rounding of Qt's own blending: each of the four channels of x times
// a / 255.
QRgb ByteMul(QRgb x, unsigned a)
{
    unsigned t = (x & 0xff00ffu) * a;
    t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
    unsigned u = ((x >> 8) & 0xff00ffu) * a;
    u = (u + ((u >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
    return t | u;
}

} // namespace

void TCoverageRaster::Reset(int width, int height)
{
    mWidth = std::max(0, width);
    mHeight = std::max(0, height);
    mCells.assign(static_cast<std::size_t>(mWidth + 2) * static_cast<std::size_t>(mHeight), 0.0f);
    mRowFirst.assign(static_cast<std::size_t>(mHeight), mWidth + 2);
    mRowLast.assign(static_cast<std::size_t>(mHeight), -1);
    mFirstRow = 0;
    mLastRow = -1;
}

void TCoverageRaster::AddPolygon(const QPointF* corners, int count)
{
    if (count < 2)
        return;
    for (int i = 1; i < count; ++i)
        AddEdge(corners[i - 1], corners[i]);
    AddEdge(corners[count - 1], corners[0]);
}

void TCoverageRaster::AddEdge(QPointF from, QPointF to)
{
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(to.x()) || !std::isfinite(to.y())
        || from.y() == to.y())
        return;
    const float direction = from.y() < to.y() ? 1.0f : -1.0f;
    if (from.y() > to.y())
        std::swap(from, to);
    if (to.y() <= 0 || from.y() >= mHeight || mWidth == 0)
        return;
    // Rows above and below the area take nothing: the edge is cut to it.
    const double height = mHeight;
    const double dxdy = (to.x() - from.x()) / (to.y() - from.y());
    if (from.y() < 0)
        from = QPointF(from.x() - from.y() * dxdy, 0);
    if (to.y() > height)
        to = QPointF(to.x() - (to.y() - height) * dxdy, height);
    if (!std::isfinite(from.x()) || !std::isfinite(to.x()) || !(from.y() < to.y()))
        return;
    const double width = mWidth;
    if (from.x() >= 0 && from.x() <= width && to.x() >= 0 && to.x() <= width) {
        AddInside(from, to, direction);
        return;
    }
    // The parts left or right of the area are moved onto its edge: a
    // vertical edge there covers every pixel of the row beside it as the
    // part outside would.
    double cuts[4] = {0, 0, 0, 1};
    int count = 1;
    const double dx = to.x() - from.x();
    for (const double edge : {0.0, width}) {
        const double t = (edge - from.x()) / dx;
        if (t > 0 && t < 1)
            cuts[count++] = t;
    }
    if (count == 3 && cuts[1] > cuts[2])
        std::swap(cuts[1], cuts[2]);
    cuts[count] = 1;
    const QPointF span = to - from;
    for (int i = 0; i < count; ++i) {
        QPointF top = from + span * cuts[i];
        QPointF bottom = i + 1 == count ? to : from + span * cuts[i + 1];
        const double middle = (top.x() + bottom.x()) / 2;
        if (middle <= 0) {
            top.rx() = bottom.rx() = 0;
        } else if (middle >= width) {
            top.rx() = bottom.rx() = width;
        } else {
            top.rx() = std::clamp(top.x(), 0.0, width);
            bottom.rx() = std::clamp(bottom.x(), 0.0, width);
        }
        if (top.y() < bottom.y())
            AddInside(top, bottom, direction);
    }
}

void TCoverageRaster::AddInside(QPointF top, QPointF bottom, float direction)
{
    const float topY = static_cast<float>(top.y());
    const float bottomY = static_cast<float>(bottom.y());
    const float dxdy = static_cast<float>((bottom.x() - top.x()) / (bottom.y() - top.y()));
    // A rise too small for the slope to be a float covers nothing anyway,
    // and an infinite slope would make its columns not numbers.
    if (!std::isfinite(dxdy))
        return;
    const int firstRow = std::max(0, static_cast<int>(std::floor(topY)));
    const int lastRow = std::min(mHeight - 1, static_cast<int>(std::ceil(bottomY)) - 1);
    if (lastRow < firstRow)
        return;
    const std::size_t stride = static_cast<std::size_t>(mWidth + 2);
    const float width = static_cast<float>(mWidth);
    float y0 = std::max(static_cast<float>(firstRow), topY);
    float xa = std::clamp(static_cast<float>(top.x()) + (y0 - topY) * dxdy, 0.0f, width);
    float* cells = mCells.data() + static_cast<std::size_t>(firstRow) * stride;
    for (int row = firstRow; row <= lastRow; ++row, cells += stride) {
        const float y1 = std::min(static_cast<float>(row + 1), bottomY);
        const float dy = y1 - y0;
        const float xb = std::clamp(xa + dxdy * dy, 0.0f, width);
        const float d = dy * direction;
        const float x0 = std::min(xa, xb);
        const float x1 = std::max(xa, xb);
        // Both are at least 0: a cast rounds down.
        const int x0i = static_cast<int>(x0);
        int x1i = static_cast<int>(x1);
        x1i += static_cast<float>(x1i) < x1 ? 1 : 0;
        int last = x0i + 1;
        if (x1i <= x0i + 1) {
            // Within one pixel: its cover is the share right of the edge's
            // middle, the rest goes on to the next cell.
            const float right = (xa + xb) * 0.5f - static_cast<float>(x0i);
            cells[x0i] += d - d * right;
            cells[x0i + 1] += d * right;
        } else {
            // Across several pixels: the triangle left of the edge grows by
            // the same area in each whole pixel it crosses.
            const float s = 1 / (x1 - x0);
            const float x0f = x0 - static_cast<float>(x0i);
            const float a0 = 0.5f * s * (1 - x0f) * (1 - x0f);
            const float x1f = x1 - static_cast<float>(x1i) + 1;
            const float am = 0.5f * s * x1f * x1f;
            cells[x0i] += d * a0;
            if (x1i == x0i + 2) {
                cells[x0i + 1] += d * (1 - a0 - am);
            } else {
                const float a1 = s * (1.5f - x0f);
                cells[x0i + 1] += d * (a1 - a0);
                for (int x = x0i + 2; x < x1i - 1; ++x)
                    cells[x] += d * s;
                const float a2 = a1 + static_cast<float>(x1i - x0i - 3) * s;
                cells[x1i - 1] += d * (1 - a2 - am);
            }
            cells[x1i] += d * am;
            last = x1i;
        }
        int& rowFirst = mRowFirst[static_cast<std::size_t>(row)];
        int& rowLast = mRowLast[static_cast<std::size_t>(row)];
        rowFirst = std::min(rowFirst, x0i);
        rowLast = std::max(rowLast, last);
        xa = xb;
        y0 = y1;
    }
    if (mFirstRow > mLastRow) {
        mFirstRow = firstRow;
        mLastRow = lastRow;
    } else {
        mFirstRow = std::min(mFirstRow, firstRow);
        mLastRow = std::max(mLastRow, lastRow);
    }
}

void TCoverageRaster::Paint(QImage& image, QRgb color)
{
    const std::size_t stride = static_cast<std::size_t>(mWidth + 2);
    for (int row = mFirstRow; row <= mLastRow; ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::memset(pixels, 0, static_cast<std::size_t>(mWidth) * sizeof(QRgb));
        int& first = mRowFirst[static_cast<std::size_t>(row)];
        int& last = mRowLast[static_cast<std::size_t>(row)];
        float* cells = mCells.data() + static_cast<std::size_t>(row) * stride;
        float cover = 0;
        const int end = std::min(last, mWidth - 1);
        for (int x = first; x <= end; ++x) {
            cover += cells[x];
            cells[x] = 0;
            // As Qt's rasteriser: the cover in 256ths, cut to 255.
            const int alpha = std::min(255, static_cast<int>(std::fabs(cover) * 256.0f));
            if (alpha > 0)
                pixels[x] = alpha == 255 ? color : ByteMul(color, static_cast<unsigned>(alpha));
        }
        for (int x = std::max(first, end + 1); x <= last; ++x)
            cells[x] = 0;
        first = mWidth + 2;
        last = -1;
    }
    mFirstRow = 0;
    mLastRow = -1;
}
