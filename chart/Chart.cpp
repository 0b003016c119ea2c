#include "chart/Chart.h"

#include "chart/ChartLanes.h"
#include "chart/LaneItems.h"
#include "chart/LaneValueTicker.h"
#include "chart/SummaryGraph.h"
#include "chart/TimeAxisTicker.h"
#include "common/TimeText.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace {

// The focus frame drawn over the plot while the chart has the focus; the
// mouse goes through it to the plot.
class TFocusFrame : public QWidget {
public:
    explicit TFocusFrame(QWidget* chart) : QWidget(chart)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(parentWidget());
        option.rect = rect();
        option.backgroundColor = palette().color(QPalette::Window);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
};

// The look of a lane's axes; the time axis shows its labels only where told.
void StyleLane(QCPAxisRect* rect)
{
    rect->setBackground(Qt::white);
    for (QCPAxis* axis : {rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft)}) {
        axis->setSubTicks(false);
        axis->setBasePen(QPen(Qt::black, 1));
        // Tick marks point out of the plot, as a reader of charts expects.
        axis->setTickLength(0, 4);
    }
    rect->axis(QCPAxis::atLeft)->setTicker(QSharedPointer<TLaneValueTicker>::create());
}

QCPAxis* TimeAxisOf(const QCPAxisRect* rect)
{
    return rect->axis(QCPAxis::atBottom);
}

QCPAxis* ValueAxisOf(const QCPAxisRect* rect)
{
    return rect->axis(QCPAxis::atLeft);
}

// A lane's title, in its top left corner; hidden until the lanes are shown.
QCPItemText* LaneTitle(QCPAxisRect* rect, const QFont& font)
{
    auto* title = new QCPItemText(rect->parentPlot());
    title->setLayer(QStringLiteral("axes"));
    title->setClipAxisRect(rect);
    title->position->setType(QCPItemPosition::ptAxisRectRatio);
    title->position->setAxisRect(rect);
    title->position->setCoords(0, 0);
    title->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    title->setPadding(QMargins(4, 1, 4, 1));
    title->setBrush(QColor(255, 255, 255, 200));
    title->setFont(font);
    title->setSelectable(false);
    title->setVisible(false);
    return title;
}

// Sets an axis to the range of the shown series' values, when they have any.
void FitAxis(QCPAxis* axis, const std::vector<const TChartSeries*>& series)
{
    std::vector<TValueSpan> ranges;
    for (const TChartSeries* one : series) {
        TValueSpan range{};
        if (one->Active() && one->ValueRange(range.Min, range.Max))
            ranges.push_back(range);
    }
    if (const std::optional<TValueSpan> fitted = FitValueRange(ranges))
        axis->setRange(fitted->Min, fitted->Max);
}

} // namespace

TChart::TChart(QWidget* parent) : QWidget(parent), mPlot(new QCustomPlot(this)), mFocusFrame(new TFocusFrame(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mPlot);

    mPlot->setInteractions(QCP::Interactions());
    mPlot->setBackground(palette().window());
    mPlot->legend->setVisible(false);

    QCPAxis* time = mPlot->xAxis;
    time->setTicker(QSharedPointer<TTimeAxisTicker>::create());
    QCPAxis* value = mPlot->yAxis;
    StyleLane(mPlot->axisRect());
    // The lanes' left and right edges line up whatever their value labels.
    mMarginGroup = new QCPMarginGroup(mPlot);
    mPlot->axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, mMarginGroup);

    mPlot->addLayer(QStringLiteral("cursor"), mPlot->layer(QStringLiteral("main")), QCustomPlot::limAbove);
    mCursorLayer = mPlot->layer(QStringLiteral("cursor"));
    mCursorLayer->setMode(QCPLayer::lmBuffered);
    mLanes.push_back({mPlot->axisRect(), LaneTitle(mPlot->axisRect(), font())});
    mMarkers = std::make_unique<TSpanMarkers>(*this);

    mBottomAxis = std::make_unique<TTimeAxis>(*this, time);
    mLeftAxis = std::make_unique<TValueAxis>(*this, value);
    mBottomAxis->SetMinMax(0, 101);

    mPlot->installEventFilter(this);
    connect(mPlot, &QCustomPlot::mousePress, this, &TChart::PlotMousePress);
    connect(mPlot, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
        const QPoint at = event->position().toPoint() + mPlot->pos();
        emit MouseMove(at.x(), at.y());
    });
    connect(mPlot, &QCustomPlot::mouseRelease, this, [this](QMouseEvent* event) {
        const QPoint at = event->position().toPoint() + mPlot->pos();
        emit MouseRelease(event->button(), at.x(), at.y());
    });
    connect(mPlot, &QCustomPlot::beforeReplot, this, &TChart::BeforeReplot);
    connect(mPlot, &QCustomPlot::afterLayout, this, &TChart::FitTimeTicks);
    connect(mPlot, &QCustomPlot::afterLayout, this, &TChart::FitValueTicks);
    connect(mPlot, &QCustomPlot::afterLayout, this, &TChart::PrepareGraphs);

    // Screen readers hear the chart by name, with its span and series in the
    // description; the Tab key reaches it, a click does not move the focus.
    setAccessibleName(QStringLiteral("Chart"));
    setFocusPolicy(Qt::TabFocus);
}

QString ChartDescription(double min, double max, int seriesCount, const QLocale& locale)
{
    const auto when = [&locale](double value) {
        // Values of a whole day and more carry a date.
        const QString time = LongTimeText(value, locale);
        return std::abs(value) >= 1 ? locale.toString(DateOf(value), QLocale::ShortFormat) + QLatin1Char(' ') + time
                                    : time;
    };
    return QStringLiteral("From %1 to %2, %3 series shown").arg(when(min), when(max)).arg(seriesCount);
}

TChart::~TChart()
{
    // Series remove their drawings from the plot, so they go first.
    mSeries.clear();
}

TFastLineSeries* TChart::LineSeries(int index) const
{
    return dynamic_cast<TFastLineSeries*>(Series(index));
}

void TChart::Append(std::unique_ptr<TChartSeries> series)
{
    series->Attach(this);
    mSeries.push_back(std::move(series));
    RequestReplot();
}

void TChart::FreeSeries(int index)
{
    mSeries.erase(mSeries.begin() + index);
    RequestReplot();
}

std::unique_ptr<TChartSeries> TChart::TakeSeries(int index)
{
    std::unique_ptr<TChartSeries> series = std::move(mSeries.at(static_cast<std::size_t>(index)));
    mSeries.erase(mSeries.begin() + index);
    series->Detach();
    RequestReplot();
    return series;
}

void TChart::InsertSeries(int index, std::unique_ptr<TChartSeries> series)
{
    series->Attach(this);
    mSeries.insert(mSeries.begin() + index, std::move(series));
    RequestReplot();
}

QRect TChart::PlotRect() const
{
    return LanesArea(*mPlot).translated(mPlot->pos());
}

QRect TChart::LaneRect(int lane) const
{
    return mLanes.at(static_cast<std::size_t>(lane)).Rect->rect().translated(mPlot->pos());
}

void TChart::SetLaned(bool laned)
{
    mLaned = laned;
    RequestReplot();
}

std::vector<TFastLineSeries*> TChart::ArrangeLanes()
{
    std::vector<TLaneCandidate> candidates;
    for (int i = 0; i < SeriesCount(); ++i)
        candidates.push_back({LineSeries(i) != nullptr, Series(i)->Active()});
    std::vector<TFastLineSeries*> laneSeries;
    if (mLaned) {
        for (int index : LaneSeries(candidates))
            laneSeries.push_back(LineSeries(index));
    }
    const bool shown = !laneSeries.empty();
    const std::size_t count = std::max<std::size_t>(1, laneSeries.size());
    const QCPAxisRect* lastBefore = mLanes.back().Rect;
    while (mLanes.size() < count)
        AddLane();

    // Every line on its lane's axes; a hidden one, drawing nothing, on the
    // first lane's.
    for (int i = 0; i < SeriesCount(); ++i) {
        if (TFastLineSeries* line = LineSeries(i); line && line->Graph()) {
            const auto at = std::find(laneSeries.begin(), laneSeries.end(), line);
            const QCPAxisRect* rect = mLanes[at == laneSeries.end() ? 0 : at - laneSeries.begin()].Rect;
            line->Graph()->setKeyAxis(TimeAxisOf(rect));
            line->Graph()->setValueAxis(ValueAxisOf(rect));
        }
    }
    while (mLanes.size() > count)
        RemoveLastLane();

    for (std::size_t i = 0; i < mLanes.size(); ++i) {
        QCPItemText* title = mLanes[i].Title;
        title->setVisible(shown);
        if (shown) {
            const QString text = mTitleText ? mTitleText(laneSeries[i]->Title()) : QString::fromUtf8(laneSeries[i]->Title());
            if (title->text() != text)
                title->setText(text);
            title->setColor(laneSeries[i]->SeriesColor());
        }
        // The time labels go under the bottom lane only.
        TimeAxisOf(mLanes[i].Rect)->setTickLabels(i + 1 == mLanes.size());
    }

    // The cursor and the markers span the lanes there are now.
    if (shown != mLanesShown || mLanes.back().Rect != lastBefore) {
        mLanesShown = shown;
        mMarkers->Apply();
        for (const auto& series : mSeries) {
            if (auto* shape = dynamic_cast<TChartShape*>(series.get()))
                shape->ApplyCoords();
        }
    }
    return laneSeries;
}

void TChart::AddLane()
{
    auto* rect = new QCPAxisRect(mPlot, false);
    // Its white background goes under the lines, as the first lane's does:
    // on the plot's current layer it would be drawn over the lines made
    // before it.
    rect->setLayer(mPlot->axisRect()->layer());
    QCPAxis* time = rect->addAxis(QCPAxis::atBottom);
    rect->addAxis(QCPAxis::atLeft);
    StyleLane(rect);
    time->setTicker(mPlot->xAxis->ticker());
    time->setRange(mPlot->xAxis->range());
    connect(mPlot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), time,
            qOverload<const QCPRange&>(&QCPAxis::setRange));
    rect->setMarginGroup(QCP::msLeft | QCP::msRight, mMarginGroup);
    mPlot->plotLayout()->addElement(static_cast<int>(mLanes.size()), 0, rect);
    mLanes.push_back({rect, LaneTitle(rect, font())});
}

void TChart::RemoveLastLane()
{
    const TLane lane = mLanes.back();
    mLanes.pop_back();
    mPlot->removeItem(lane.Title);
    mPlot->plotLayout()->remove(lane.Rect);
    mPlot->plotLayout()->simplify();
}

void TChart::AdjustValueAxes()
{
    const std::vector<TFastLineSeries*> laneSeries = ArrangeLanes();
    if (laneSeries.empty()) {
        std::vector<const TChartSeries*> all;
        for (const auto& series : mSeries)
            all.push_back(series.get());
        FitAxis(mPlot->yAxis, all);
        return;
    }
    for (std::size_t i = 0; i < laneSeries.size(); ++i)
        FitAxis(ValueAxisOf(mLanes[i].Rect), {laneSeries[i]});
}

void TChart::PlaceAcrossLanes(QCPItemPosition* top, double topX, QCPItemPosition* bottom, double bottomX) const
{
    const auto place = [this](QCPItemPosition* position, QCPAxisRect* rect, double x, double heightRatio) {
        position->setAxes(mPlot->xAxis, mPlot->yAxis);
        position->setAxisRect(rect);
        position->setTypeX(QCPItemPosition::ptPlotCoords);
        position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        position->setCoords(x, heightRatio);
    };
    place(top, mLanes.front().Rect, topX, 0);
    place(bottom, mLanes.back().Rect, bottomX, 1);
}

void TChart::RequestReplot()
{
    mFullReplotPending = true;
    ScheduleFlush();
}

void TChart::HoldReplots()
{
    ++mReplotHolds;
}

void TChart::ReleaseReplots()
{
    if (--mReplotHolds == 0 && mFullReplotPending)
        ScheduleFlush();
}

void TChart::RequestCursorReplot()
{
    mCursorReplotPending = true;
    ScheduleFlush();
}

void TChart::ScheduleFlush()
{
    if (mFlushQueued)
        return;
    mFlushQueued = true;
    QMetaObject::invokeMethod(this, &TChart::Flush, Qt::QueuedConnection);
}

void TChart::Flush()
{
    mFlushQueued = false;
    if (mFullReplotPending && mReplotHolds > 0)
        return;
    if (mFullReplotPending) {
        mFullReplotPending = false;
        mCursorReplotPending = false;
        mPlot->replot(QCustomPlot::rpQueuedRefresh);
    } else if (mCursorReplotPending) {
        mCursorReplotPending = false;
        mCursorLayer->replot();
    }
}

void TChart::ReplotNow()
{
    mFullReplotPending = false;
    mCursorReplotPending = false;
    mPlot->replot(QCustomPlot::rpImmediateRefresh);
}

void TChart::BeforeReplot()
{
    AdjustValueAxes();
    UpdateDescription();
}

void TChart::FitTimeTicks()
{
    // The plot's width is known only once the layout has run, after the
    // ticks were placed for the old width: when the number that fits
    // changed, the ticks are placed again before anything is drawn.
    QCPAxis* time = mPlot->xAxis;
    const QFontMetrics metrics(time->tickLabelFont());
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00:00"));
    const int count = TTimeAxisTicker::FittingTickCount(mPlot->axisRect()->width(), labelWidth);
    if (count != time->ticker()->tickCount()) {
        // The lanes' time axes share one ticker.
        time->ticker()->setTickCount(count);
        for (const TLane& lane : mLanes)
            lane.Rect->update(QCPLayoutElement::upPreparation);
    }
}

void TChart::FitValueTicks()
{
    // A lane gets as many value labels as its height has room for.
    const int labelHeight = QFontMetrics(mPlot->yAxis->tickLabelFont()).height();
    for (const TLane& lane : mLanes) {
        QCPAxisTicker& ticker = *ValueAxisOf(lane.Rect)->ticker();
        const int count = mLanesShown ? LaneTickCount(lane.Rect->height(), labelHeight) : FullHeightTickCount;
        // Labels in lanes keep within their lane.
        if (auto* laneTicker = dynamic_cast<TLaneValueTicker*>(&ticker))
            laneTicker->SetHeights(mLanesShown ? lane.Rect->height() : 0, labelHeight);
        ticker.setTickCount(count);
        lane.Rect->update(QCPLayoutElement::upPreparation);
    }
}

void TChart::PrepareGraphs()
{
    // The axes and the plot's size are set now: the graphs work out what
    // they will draw side by side, on all processors, before they draw.
    std::vector<TSummaryGraph*> graphs;
    for (int i = 0; i < mPlot->graphCount(); ++i) {
        auto* graph = dynamic_cast<TSummaryGraph*>(mPlot->graph(i));
        if (graph && graph->realVisibility())
            graphs.push_back(graph);
    }
    PrepareSummaryGraphs(graphs);
}

void TChart::UpdateDescription()
{
    int shown = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        shown += LineSeries(i) && Series(i)->Active() ? 1 : 0;
    const QString description = ChartDescription(mBottomAxis->Minimum(), mBottomAxis->Maximum(), shown, QLocale());
    // Qt tells screen readers of the change.
    if (description != accessibleDescription())
        setAccessibleDescription(description);
}

void TChart::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    mFocusFrame->setGeometry(rect());
    mFocusFrame->raise();
    mFocusFrame->show();
}

void TChart::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    mFocusFrame->hide();
}

void TChart::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu key on the focused chart opens the menu that a right click opens.
    if (event->reason() != QContextMenuEvent::Keyboard || !mPopupMenu)
        return;
    const QRect plot = PlotRect();
    mPopupMenu->popup(mapToGlobal(plot.topLeft() + QPoint(plot.width() / 2, plot.height() / 2)));
}

void TChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    mFocusFrame->setGeometry(rect());
    // Margins of 1 % of the chart's size on each side.
    const int horizontal = static_cast<int>(std::lround(width() * 0.01));
    const int vertical = static_cast<int>(std::lround(height() * 0.01));
    mPlot->plotLayout()->setMargins(QMargins(horizontal, vertical, horizontal, vertical));
    RequestReplot();
}

bool TChart::eventFilter(QObject* watched, QEvent* event)
{
    // The plot would draw itself whole at every resize; it is drawn once
    // the resizing is over instead.
    if (watched == mPlot && event->type() == QEvent::Resize) {
        mPlot->setViewport(mPlot->rect());
        RequestReplot();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TChart::PlotMousePress(QMouseEvent* event)
{
    const QPointF pos = event->position();
    const int x = static_cast<int>(pos.x()) + mPlot->x();
    const int y = static_cast<int>(pos.y()) + mPlot->y();

    TChartSeries* hit = nullptr;
    int valueIndex = -1;
    const QCPAbstractItem* item = mPlot->itemAt(pos, false);
    const QCPAbstractPlottable* plottable = item ? nullptr : mPlot->plottableAt(pos, false, &valueIndex);
    for (const auto& series : mSeries) {
        const auto* shape = dynamic_cast<const TChartShape*>(series.get());
        const auto* line = dynamic_cast<const TFastLineSeries*>(series.get());
        if ((item && shape && shape->Item() == item) || (plottable && line && line->Graph() == plottable)) {
            hit = series.get();
            break;
        }
    }
    if (hit)
        emit ClickSeries(hit, valueIndex, event->button(), event->modifiers(), x, y);
    else
        emit ClickBackground(event->button(), event->modifiers(), x, y);

    if (event->button() == Qt::RightButton && mPopupMenu)
        mPopupMenu->popup(event->globalPosition().toPoint());
}
