#include "chart/Chart.h"

#include "chart/SummaryGraph.h"
#include "chart/TimeAxisTicker.h"
#include "common/TimeText.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QVBoxLayout>
#include <qcustomplot.h>

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

} // namespace

TChart::TChart(QWidget* parent) : QWidget(parent), mPlot(new QCustomPlot(this)), mFocusFrame(new TFocusFrame(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mPlot);

    mPlot->setInteractions(QCP::Interactions());
    mPlot->setBackground(palette().window());
    mPlot->axisRect()->setBackground(Qt::white);
    mPlot->legend->setVisible(false);

    QCPAxis* time = mPlot->xAxis;
    time->setTicker(QSharedPointer<TTimeAxisTicker>::create());
    time->setSubTicks(false);
    time->setBasePen(QPen(Qt::black, 1));
    QCPAxis* value = mPlot->yAxis;
    value->setSubTicks(false);
    value->setBasePen(QPen(Qt::black, 1));
    // Tick marks point out of the plot, as a reader of charts expects.
    for (QCPAxis* axis : {time, value})
        axis->setTickLength(0, 4);

    mPlot->addLayer(QStringLiteral("cursor"), mPlot->layer(QStringLiteral("main")), QCustomPlot::limAbove);
    mCursorLayer = mPlot->layer(QStringLiteral("cursor"));
    mCursorLayer->setMode(QCPLayer::lmBuffered);
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

QRect TChart::PlotRect() const
{
    return mPlot->axisRect()->rect().translated(mPlot->pos());
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
    mLeftAxis->AdjustNow();
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
        time->ticker()->setTickCount(count);
        mPlot->axisRect()->update(QCPLayoutElement::upPreparation);
    }
}

void TChart::PrepareGraphs()
{
    // The axes and the plot's size are set now: the graphs work out what
    // they will draw side by side, on all processors, before they draw.
    // Only graphs with more points than pixel columns have work to share.
    std::vector<TSummaryGraph*> graphs;
    for (int i = 0; i < mPlot->graphCount(); ++i) {
        auto* graph = dynamic_cast<TSummaryGraph*>(mPlot->graph(i));
        if (graph && graph->realVisibility() && graph->dataCount() > mPlot->axisRect()->width() + 2)
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
