#include "app/DataStrip.h"

#include "chart/CurrentValues.h"
#include "app/MainForm.h"
#include "chart/Chart.h"

#include "chartdata/SeriesTitle.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

#include <cmath>

namespace {

// What assistive tools see of the strip: a piece of text named by the label
// before it, whose value is what the strip paints.
class TDataStripAccessible : public QAccessibleWidget {
public:
    explicit TDataStripAccessible(TDataStrip* strip) : QAccessibleWidget(strip, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || t == QAccessible::Description)
            return static_cast<const TDataStrip*>(widget())->SpokenText();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* DataStripAccessible(const QString&, QObject* object)
{
    if (auto* strip = qobject_cast<TDataStrip*>(object))
        return new TDataStripAccessible(strip);
    return nullptr;
}

} // namespace

TDataStrip::TDataStrip(TfrmMain& main, QWidget* parent) : QWidget(parent), mMain(main)
{
    static const bool installed = (QAccessible::installFactory(DataStripAccessible), true);
    Q_UNUSED(installed);
}

QList<TDataStrip::TEntry> TDataStrip::Entries() const
{
    QList<TEntry> entries;
    const TChart& chart = *mMain.ChartAll;
    const QLocale locale;
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        if (!mMain.SeriesShown(i))
            continue;
        const double value = SeriesValueAt(chart, i, mMain.MarkSerie->X0());
        if (std::isnan(value))
            continue;
        const TFastLineSeries* series = chart.LineSeries(i);
        entries.append({TitleToDisplay(series->Title()), FormatCurrentValue(value, locale), series->SeriesColor()});
    }
    return entries;
}

QString TDataStrip::SpokenText() const
{
    QStringList parts;
    for (const TEntry& entry : Entries())
        parts.append(entry.Title + QLatin1Char(' ') + entry.Text);
    return parts.join(QStringLiteral(", "));
}

void TDataStrip::Refresh()
{
    update();
    const QString spoken = SpokenText();
    if (spoken == mSpoken)
        return;
    mSpoken = spoken;
    QAccessibleValueChangeEvent valueChange(this, spoken);
    QAccessible::updateAccessibility(&valueChange);
    QAccessibleEvent descriptionChange(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&descriptionChange);
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
