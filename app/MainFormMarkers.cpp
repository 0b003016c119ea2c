// The measuring markers A and B of the main window and the measurement
// between them.
#include "app/MainForm.h"

#include "chart/Chart.h"

#include <QLabel>
#include <QListWidget>

void TfrmMain::PlaceMarker(TDateTime x)
{
    mMarkers.Place(x);
    ShowMarkers();
}

void TfrmMain::ClearMarkers()
{
    mMarkers.Clear();
    ShowMarkers();
}

bool TfrmMain::MarkedSpan(TDateTime& a, TDateTime& b) const
{
    if (!mMarkers.Complete())
        return false;
    a = std::min(*mMarkers.A, *mMarkers.B);
    b = std::max(*mMarkers.A, *mMarkers.B);
    return true;
}

bool TfrmMain::SeriesShown(int index) const
{
    const QListWidgetItem* item = lvwLegend->item(index - 1);
    return !item || item->checkState() != Qt::Unchecked;
}

void TfrmMain::ShowMarkers()
{
    TSpanMarkers& markers = ChartAll->Markers();
    markers.Clear();
    if (mMarkers.A)
        markers.SetA(*mMarkers.A);
    if (mMarkers.B)
        markers.SetB(*mMarkers.B);
    if (!mMarkers.Complete()) {
        lblMeasure->setVisible(false);
        lblMeasure->clear();
        lblMeasure->setAccessibleDescription(QString());
        return;
    }
    const QLocale locale;
    const QString header = MeasureHeaderText(*mMarkers.A, *mMarkers.B, locale);
    QString rich = header.toHtmlEscaped();
    QStringList spoken{header};
    for (int i = 1; i < ChartAll->SeriesCount(); ++i) {
        if (!ChartAll->LineSeries(i) || !SeriesShown(i))
            continue;
        const TSeriesMeasure measure = MeasureSeries(*ChartAll, i, *mMarkers.A, *mMarkers.B);
        const QString text = MeasureSeriesText(measure, locale);
        rich += QStringLiteral("&nbsp;&nbsp;&nbsp; <span style=\"color:%1\">%2</span>")
                    .arg(measure.Color.name(), text.toHtmlEscaped());
        spoken.append(text);
    }
    lblMeasure->setText(rich);
    // Screen readers hear the same as plain text.
    lblMeasure->setAccessibleDescription(spoken.join(QStringLiteral(", ")));
    lblMeasure->setVisible(true);
}
