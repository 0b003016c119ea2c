#include "app/DataStrip.h"

#include "app/CurrentValues.h"
#include "app/MainForm.h"
#include "chart/Chart.h"

#include <QListWidget>
#include <QPainter>

#include <cmath>

TDataStrip::TDataStrip(TfrmMain& main, QWidget* parent) : QWidget(parent), mMain(main)
{
}

QList<TDataStrip::TEntry> TDataStrip::Entries() const
{
    QList<TEntry> entries;
    const TChart& chart = *mMain.ChartAll;
    const QLocale locale;
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        // A series without a legend item is shown.
        const QListWidgetItem* item = mMain.lvwLegend->item(i - 1);
        if (item && item->checkState() == Qt::Unchecked)
            continue;
        const double value = SeriesValueAt(chart, i, mMain.MarkSerie->X0());
        if (std::isnan(value))
            continue;
        entries.append({FormatCurrentValue(value, locale), chart.LineSeries(i)->SeriesColor()});
    }
    return entries;
}

void TDataStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    int pos = 0;
    for (const TEntry& entry : Entries()) {
        const int width = metrics.horizontalAdvance(entry.Text);
        painter.setPen(entry.Color);
        painter.drawText(QRect(pos, 1, width, metrics.height()), Qt::AlignLeft | Qt::AlignTop, entry.Text);
        pos += width + 5;
    }
}
