#include "export/PictureExport.h"

#include "common/AtomicFile.h"
#include "common/Exception.h"
#include "export/ChartBand.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <qcustomplot.h>

namespace {

void DrawPicture(QPaintDevice& device, TChart& chart, TDateTime cursor, const QImage& frame, QSize size,
                 const QLocale& locale)
{
    QCPPainter painter(&device);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    int top = 0;
    if (!frame.isNull() && frame.width() > 0) {
        QSize shown = frame.size().scaled(size.width(), size.height() * 2 / 3, Qt::KeepAspectRatio);
        const QRect target((size.width() - shown.width()) / 2, 0, shown.width(), shown.height());
        painter.drawImage(target, frame);
        top = shown.height();
    }
    DrawChartBand(painter, QRect(0, top, size.width(), size.height() - top), chart, cursor, locale);
}

} // namespace

TPictureFormat PictureFormatOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return TPictureFormat::Png;
    if (suffix == QLatin1String("svg"))
        return TPictureFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return TPictureFormat::Pdf;
    throw Exception(QStringLiteral("Cannot export a picture as \"%1\": the name must end in .png, .svg or .pdf.")
                        .arg(fileName));
}

QSize DefaultPictureSize(QSize frame)
{
    return {frame.width(), frame.height() * 3 / 2};
}

void ExportPicture(TChart& chart, TDateTime cursor, const QImage& frame, QSize size, const QLocale& locale,
                   const QString& fileName)
{
    const TPictureFormat format = PictureFormatOf(fileName);
    if (size.width() < 16 || size.height() < 16 || size.width() > 16384 || size.height() > 16384)
        throw Exception(QStringLiteral("Cannot export a picture of %1 x %2 pixels: each side must be from 16 to 16384.")
                            .arg(size.width())
                            .arg(size.height()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case TPictureFormat::Png: {
        QImage image(size, QImage::Format_RGB32);
        DrawPicture(image, chart, cursor, frame, size, locale);
        image.save(&buffer, "PNG");
        break;
    }
    case TPictureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        DrawPicture(svg, chart, cursor, frame, size, locale);
        break;
    }
    case TPictureFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
        DrawPicture(pdf, chart, cursor, frame, size, locale);
        break;
    }
    }
    TAtomicFile file(fileName);
    file.Write(bytes);
    file.Commit();
}
